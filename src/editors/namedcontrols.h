#pragma once

#include <QLabel>
#include <QLatin1String>

namespace Vorlane {

// A control named as the window's design names it, so that its name reads
// the same in the code, the tests and the window's object tree.
template <typename Control>
Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

inline QLabel *namedLabel(QWidget *parent, const char *name, const QString &caption)
{
    return named(new QLabel(caption, parent), name);
}

} // namespace Vorlane
