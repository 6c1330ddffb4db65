#pragma once

#include "surroundings/programfiles.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QTimer;

namespace Vorlane {

class MainWindow;
class UserDialogs;
struct ProgramState;

// startupfrm, the program's first window: the start-up picture and two lines
// of text for about two seconds. On the second tick of its timer it hides,
// beeps, loads the main window and then deletes itself, so it is made with new.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int tickMilliseconds = 1000;

    SplashWindow(ProgramState &state, UserDialogs &dialogs, LaunchOptions launch, QWidget *parent = nullptr);

    // Timer1's tick.
    void tick();

    QTimer *timer() const { return m_timer; }
    // The main window once it has been loaded.
    MainWindow *mainWindow() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void loadMainWindow();

    ProgramState &m_state;
    UserDialogs &m_dialogs;
    LaunchOptions m_launch;
    QImage m_picture;
    QTimer *m_timer;
    qint16 m_ticks = 0;
    QPointer<MainWindow> m_mainWindow;
};

} // namespace Vorlane
