#pragma once

#include "common/twips.h"

#include <QFrame>
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

// A new named control of parent, at its place in the design, given in twips.
template <typename Control>
Control *placed(QWidget *parent, const char *name, const QRect &twips)
{
    auto *control = named(new Control(parent), name);
    control->setGeometry(twipsToPixels(twips));
    return control;
}

// The twip places of a window's controls are designed around an 8-point font.
inline void useDesignFont(QWidget *window)
{
    QFont designFont = window->font();
    designFont.setPointSize(8);
    window->setFont(designFont);
}

inline QLabel *namedLabel(QWidget *parent, const char *name, const QString &caption)
{
    return named(new QLabel(caption, parent), name);
}

// A sunken horizontal line between groups of controls.
inline QFrame *addSeparatorLine(QWidget *parent, const char *name)
{
    auto *line = named(new QFrame(parent), name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace Vorlane
