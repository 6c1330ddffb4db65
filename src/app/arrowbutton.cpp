#include "app/arrowbutton.h"

#include "app/panning.h"

#include <QMouseEvent>

namespace Vorlane {

namespace {

int modifierState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? ShiftKey : 0) | (modifiers & Qt::ControlModifier ? CtrlKey : 0)
        | (modifiers & Qt::AltModifier ? AltKey : 0);
}

} // namespace

ArrowButton::ArrowButton(QWidget *parent)
    : QToolButton(parent)
{
}

void ArrowButton::mousePressEvent(QMouseEvent *event)
{
    // Every mouse button counts here, and a press is not the start of a click,
    // so QToolButton's own handling (left button, click on release) is skipped.
    setDown(true);
    event->accept();
    Q_EMIT pressedWith(modifierState(event->modifiers()));
}

void ArrowButton::mouseReleaseEvent(QMouseEvent *event)
{
    setDown(false);
    event->accept();
    Q_EMIT releasedAnywhere();
}

} // namespace Vorlane
