#include "online/notewindow.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "document/colour.h"
#include "online/linklabel.h"
#include "netinfo/netinfo.h"
#include "online/windowparts.h"

#include <QEvent>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace Vorlane {

namespace {

constexpr qint32 linkColour = rgbColour(0, 0, 192);

const QString note = QStringLiteral(
    "Hello, and thank you for trying Vorlane 2.0!\n\n"
    "We made this program because linear fractals are a joy to watch as they grow: a small drawing and a few "
    "simple maps are all it takes to raise a tree, a fern or a snowflake, point by point. We hope you have as "
    "much fun playing with it as we had making it.\n\n"
    "If you made a fractal you are proud of, found something that does not work as it should, or have an idea "
    "for the next version, please write to us. Every message is read. You will also find new fractals, tips and "
    "news on our web page.\n\n"
    "Happy fractal making!\n"
    "The Vorlane team");

LinkLabel *addLink(QWidget *parent, const char *name, const QString &caption)
{
    return named(new LinkLabel(caption, linkColour, parent), name);
}

} // namespace

NoteWindow::NoteWindow(const NetInfo &netInfo, UserDialogs &dialogs, QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Note From the Programmer"));
    setMouseTracking(true);

    auto *text = new QPlainTextEdit(note, this);
    text->setObjectName(QStringLiteral("Text1"));
    text->setReadOnly(true);
    text->setMinimumSize(440, 230);

    QLabel *name = namedLabel(this, "Label1", authorName() + QLatin1String(" :"));
    setBold(name);
    QLabel *addressLine = namedLabel(this, "Label2", QStringLiteral("Write to us or visit us on the web:"));
    QLabel *mailLabel = namedLabel(this, "Label3", QStringLiteral("Email Address : "));
    m_mailLink = addLink(this, "HLink1", netInfo.authorMail);
    m_mailLink->setUrl(mailLink(netInfo.authorMail));
    m_pageLink = addLink(this, "HLink2", netInfo.authorPage);
    m_pageLink->setUrl(netInfo.authorPage);
    for (LinkLabel *link : {m_mailLink, m_pageLink}) {
        connect(link, &LinkLabel::activated, this,
                [&dialogs](const QString &url) { openAddressFromFile(dialogs, url); });
    }
    // Passing over the labels beside the e-mail link lets it go.
    for (QLabel *neighbour : {addressLine, mailLabel}) {
        neighbour->setMouseTracking(true);
        neighbour->installEventFilter(this);
    }

    QLabel *aboutHeading = namedLabel(this, "Label4", QStringLiteral("About the programmer:"));
    setBold(aboutHeading);

    auto *contact = new QGridLayout;
    contact->setHorizontalSpacing(12);
    contact->addWidget(mailLabel, 0, 0);
    contact->addWidget(m_mailLink, 0, 1);
    contact->addWidget(namedLabel(this, "Label8", QStringLiteral("Web site address:")), 1, 0);
    contact->addWidget(m_pageLink, 1, 1);
    contact->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addWidget(text);
    layout->addWidget(addSeparatorLine(this, "Line1"));
    layout->addWidget(name);
    layout->addWidget(addressLine);
    layout->addLayout(contact);
    layout->addWidget(addSeparatorLine(this, "Line2"));
    layout->addWidget(aboutHeading);
    layout->addWidget(namedLabel(this, "Label5", authorName()));
    layout->addWidget(namedLabel(this, "Label6", QStringLiteral("A small team of people who love fractals, "
                                                                   "clear pictures and tidy code.")));
    layout->addWidget(namedLabel(this, "Label7", QStringLiteral("Vorlane 2.0 is written in C++ with Qt.")));
    setFixedSize(sizeHint());
}

void NoteWindow::mouseMoveEvent(QMouseEvent *event)
{
    QDialog::mouseMoveEvent(event);
    m_mailLink->setHovered(false);
    m_pageLink->setHovered(false);
}

bool NoteWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove)
        return QDialog::eventFilter(watched, event);
    // Only the e-mail link lets go here; the move must not reach the
    // background, which would let both go.
    m_mailLink->setHovered(false);
    event->accept();
    return true;
}

} // namespace Vorlane
