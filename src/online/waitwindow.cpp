#include "online/waitwindow.h"

#include "widgets/namedcontrols.h"
#include "common/numbertext.h"
#include "online/windowparts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace Vorlane {

namespace {

const QString restingCaption = QStringLiteral("Connecting");
const QString longestCaption = QStringLiteral("Connecting.......");

} // namespace

WaitWindow::WaitWindow(QWidget *owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("waitfrm"));
    setWindowTitle(restingCaption);

    m_message = namedLabel(this, "wt", QStringLiteral("Please wait while Vorlane connects to the server."));
    setBold(m_message);

    auto *attemptLine = new QHBoxLayout;
    attemptLine->addWidget(namedLabel(this, "Label1", QStringLiteral("Attempting to connect ...")));
    attemptLine->addStretch();
    attemptLine->addWidget(namedLabel(this, "Label2", QStringLiteral("Attempt number")));
    m_attemptNumber = namedLabel(this, "atnolbl", QStringLiteral("0"));
    attemptLine->addWidget(m_attemptNumber);
    attemptLine->addWidget(namedLabel(this, "Label4", QStringLiteral("of  10")));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(16);
    layout->addWidget(m_message);
    layout->addLayout(attemptLine);
    setMinimumWidth(460);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(tickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &WaitWindow::advanceCaption);
    m_timer->start();
}

void WaitWindow::showAttempt(int attempt)
{
    m_attemptNumber->setText(numToField(attempt));
}

void WaitWindow::showSuccess()
{
    m_message->setText(QStringLiteral("Connecting to the server successful. Thank you."));
}

void WaitWindow::advanceCaption()
{
    const QString caption = windowTitle();
    setWindowTitle(caption == longestCaption ? restingCaption : caption + QLatin1Char('.'));
}

} // namespace Vorlane
