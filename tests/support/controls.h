#pragma once

#include <QAbstractButton>
#include <QLatin1String>
#include <QTest>
#include <QWidget>
#include <QtGlobal>

namespace Vorlane {

// The control of window named name; a missing one ends the test run, since
// nothing that follows could be checked.
template <typename Control = QWidget>
Control *findControl(const QWidget *window, const char *name)
{
    auto *found = window->findChild<Control *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no control %s", qPrintable(window->objectName()), name);
    return found;
}

// Clicks the button of window named name, as the user does.
inline void clickButton(const QWidget *window, const char *name)
{
    QTest::mouseClick(findControl<QAbstractButton>(window, name), Qt::LeftButton);
}

} // namespace Vorlane
