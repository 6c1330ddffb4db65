#include "app/splashwindow.h"

#include "widgets/dialogs.h"
#include "app/mainwindow.h"
#include "app/startuppicture.h"

#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace Vorlane {

namespace {

const QSize splashSize(480, 300);

} // namespace

SplashWindow::SplashWindow(ProgramState &state, UserDialogs &dialogs, LaunchOptions launch, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_launch(std::move(launch))
    , m_picture(startupPicture(splashSize))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("startupfrm"));
    setFixedSize(splashSize);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, splashSize, screen()->availableGeometry()));

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(tickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::tick);
    m_ticks = 0;
    m_timer->start();
}

void SplashWindow::tick()
{
    ++m_ticks;
    if (m_ticks != 2)
        return;
    m_timer->stop();
    hide();
    m_dialogs.beep();
    loadMainWindow();
    deleteLater();
}

void SplashWindow::loadMainWindow()
{
    m_mainWindow = new MainWindow(m_state, m_dialogs);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_mainWindow->load(m_launch);
}

MainWindow *SplashWindow::mainWindow() const
{
    return m_mainWindow;
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    painter.setPen(QColor(235, 235, 245));
    QFont title = font();
    title.setPointSize(20);
    title.setBold(true);
    painter.setFont(title);
    const QRect text = rect().adjusted(0, 0, 0, -16);
    painter.drawText(text.adjusted(0, 0, 0, -28), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Vorlane 2.0"));
    painter.setFont(font());
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignBottom, tr("Linear fractals by random iteration"));
}

} // namespace Vorlane
