#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace Vorlane {

// waitfrm: shown, not modal, while the net-info update connects. Its caption
// grows a point every 200 ms up to seven and starts again.
class WaitWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int tickMilliseconds = 200;

    explicit WaitWindow(QWidget *owner = nullptr);

    // atnolbl shows the number of the attempt running.
    void showAttempt(int attempt);
    // wt tells that a valid net-info file arrived.
    void showSuccess();
    // One tick of Timer1.
    void advanceCaption();

private:
    QLabel *m_message;
    QLabel *m_attemptNumber;
    QTimer *m_timer;
};

} // namespace Vorlane
