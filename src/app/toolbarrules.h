#pragma once

#include <QWidget>

namespace Vorlane {

// The etched lines that frame the toolbar: grey lines paired with lines in
// the system's window colour, upright from the top of the client area down to
// the grey rule under the toolbar, which ends where the advertisement begins.
// Lies behind the buttons, follows the client area's width and lets the mouse
// through.
class ToolbarRules : public QWidget
{
public:
    explicit ToolbarRules(QWidget *client);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fitToClient();
};

} // namespace Vorlane
