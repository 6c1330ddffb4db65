#include "waitwindow.h"

#include "common/numbertext.h"

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

    m_message = addLabel("wt", QStringLiteral("Please wait while Vorlane connects to the server."));
    QFont bold = m_message->font();
    bold.setBold(true);
    m_message->setFont(bold);

    auto *attemptLine = new QHBoxLayout;
    attemptLine->addWidget(addLabel("Label1", QStringLiteral("Attempting to connect ...")));
    attemptLine->addStretch();
    attemptLine->addWidget(addLabel("Label2", QStringLiteral("Attempt number")));
    m_attemptNumber = addLabel("atnolbl", QStringLiteral("0"));
    attemptLine->addWidget(m_attemptNumber);
    attemptLine->addWidget(addLabel("Label4", QStringLiteral("of  10")));

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

QLabel *WaitWindow::addLabel(const char *name, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    return label;
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
