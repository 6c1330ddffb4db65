#include "online/aboutwindow.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "document/colour.h"
#include "online/linklabel.h"
#include "netinfo/netinfo.h"
#include "online/windowparts.h"

#include "common/randomgenerator.h"
#include "document/fractaldocument.h"
#include "render/exact/documentpicture.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace Vorlane {

namespace {

constexpr qint32 linkColour = rgbColour(0, 0, 128);
constexpr int iconSize = 48;

// The program's icon, or the start-up tree when the program has none.
QPixmap programIcon()
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull())
        return icon.pixmap(iconSize, iconSize);
    RandomGenerator random;
    FractalDocument tree = startupDocument(0.0f, 0.0f, rgbColour(254, 253, 245));
    tree.centreX = 0;
    tree.centreY = 300;
    constexpr float zoom = 0.12f;
    return QPixmap::fromImage(renderDocumentPicture(tree, QSize(iconSize, iconSize), random, zoom));
}

} // namespace

AboutWindow::AboutWindow(const NetInfo &netInfo, UserDialogs &dialogs, QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vorlane 2.0"));
    setMouseTracking(true);

    QLabel *icon = namedLabel(this, "picIcon", QString());
    icon->setPixmap(programIcon());
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    QLabel *title = namedLabel(this, "lblTitle", QStringLiteral("Vorlane 2.0"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QLabel *version = namedLabel(this, "lblVersion", QStringLiteral("Version:  " VORLANE_VERSION));
    QLabel *description = namedLabel(this, "lblDescription",
                                        QStringLiteral("Two Dimentional Linear  Fractal Structure Creator "));
    description->setWordWrap(true);

    m_authorLink = named(new LinkLabel(authorName(), linkColour, this), "HLink1");
    m_authorLink->setUrl(mailLink(netInfo.authorMail));
    connect(m_authorLink, &LinkLabel::activated, this,
            [&dialogs](const QString &url) { openAddressFromFile(dialogs, url); });
    auto *createdBy = new QHBoxLayout;
    createdBy->setSpacing(8);
    createdBy->addWidget(namedLabel(this, "Label1", QStringLiteral("Created by")));
    createdBy->addWidget(m_authorLink);
    createdBy->addStretch();

    auto *ok = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *note = named(new QPushButton(QStringLiteral("Note from the progremmer..."), this), "Command1");
    connect(note, &QPushButton::clicked, this, [this] { done(noteRequested); });
    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(ok);
    buttons->addWidget(note);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setHorizontalSpacing(18);
    layout->addWidget(icon, 0, 0, 4, 1);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(description, 2, 1);
    layout->addLayout(createdBy, 3, 1);
    layout->addWidget(addSeparatorLine(this, "Line1"), 4, 0, 1, 2);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(namedLabel(this, "lblDisclaimer", QString()), 1);
    bottom->addLayout(buttons);
    layout->addLayout(bottom, 5, 0, 1, 2);
    setFixedSize(sizeHint().expandedTo(QSize(460, 0)));
}

void AboutWindow::mouseMoveEvent(QMouseEvent *event)
{
    QDialog::mouseMoveEvent(event);
    m_authorLink->setHovered(false);
}

} // namespace Vorlane
