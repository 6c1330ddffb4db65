#pragma once

#include <QToolButton>

namespace Vorlane {

// A toolbar arrow that acts while it is held: on the press of any mouse
// button, and on that button's release wherever the pointer then is.
class ArrowButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ArrowButton(QWidget *parent = nullptr);

Q_SIGNALS:
    // modifierState: Shift 1, Ctrl 2, Alt 4, added together.
    void pressedWith(int modifierState);
    void releasedAnywhere();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace Vorlane
