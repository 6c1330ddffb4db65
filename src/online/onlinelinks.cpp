#include "online/onlinelinks.h"

#include "online/aboutwindow.h"
#include "common/filestore.h"
#include "widgets/dialogs.h"
#include "common/twips.h"
#include "surroundings/programstate.h"
#include "online/httpfetcher.h"
#include "netinfo/launchcount.h"
#include "online/linklabel.h"
#include "netinfo/netinfodownload.h"
#include "online/notewindow.h"
#include "online/waitwindow.h"
#include "online/windowparts.h"

#include <QBuffer>
#include <QDir>
#include <QMovie>
#include <QScreen>

namespace Vorlane {

namespace {

const QString tellAFriendLink = QStringLiteral(
    "mailto:Type_email_address_of_your_friend_here?subject=Download Vorlane 2.0 - The amazing fractal graphic program");

const QRect adPictureTwips(4995, 30, 1650, 450);
const QRect clickHereTwips(4995, 480, 1650, 225);

void centreOnScreen(QWidget *window)
{
    window->adjustSize();
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace

OnlineLinks::OnlineLinks(ProgramState &state, UserDialogs &dialogs, QWidget *window)
    : QObject(window)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_window(window)
    , m_fetcher(std::make_unique<HttpFetcher>())
    , m_mirrors(defaultMirrors())
{
}

OnlineLinks::~OnlineLinks() = default;

void OnlineLinks::placeAdvertisement(QWidget *client)
{
    m_adPicture = new ClickableLabel(QString(), client);
    m_adPicture->setObjectName(QStringLiteral("Image1"));
    m_adPicture->setGeometry(twipsToPixels(adPictureTwips));
    m_adPicture->setScaledContents(true);
    connect(m_adPicture, &ClickableLabel::clicked, this, &OnlineLinks::openSite);

    auto *clickHere = new ClickableLabel(QStringLiteral("Click Here"), client);
    clickHere->setObjectName(QStringLiteral("Label2"));
    clickHere->setGeometry(twipsToPixels(clickHereTwips));
    clickHere->setAlignment(Qt::AlignCenter);
    connect(clickHere, &ClickableLabel::clicked, this, &OnlineLinks::openSite);
}

void OnlineLinks::setTransferTimeout(std::chrono::milliseconds timeout)
{
    m_fetcher->setTimeout(timeout);
}

void OnlineLinks::fillNetInfoSources()
{
    Vorlane::fillNetInfoSources(m_netInfo, m_mirrors);
}

void OnlineLinks::setDefaultAddresses()
{
    Vorlane::setDefaultAddresses(m_netInfo);
}

void OnlineLinks::updateIfDue()
{
    if (isUpdateDue(countLaunch()))
        offerUpdate();
}

void OnlineLinks::readNetInfoFile()
{
    Vorlane::readNetInfoFile(m_state.appDir + QLatin1String("vornet.dat"), m_netInfo);
}

void OnlineLinks::playAdPicture()
{
    if (!m_adPicture)
        return;
    // The movie plays from memory, so the file stays free to be renamed. A
    // picture too costly to play is not played at all.
    QByteArray picture =
        readRegularFile(m_state.appDir + QLatin1String("vornad.gif"), maxPictureBytes).value_or(QByteArray());
    if (!isPlayablePicture(picture))
        picture.clear();
    QMovie *previous = m_adPicture->movie();
    auto *movie = new QMovie(m_adPicture);
    auto *buffer = new QBuffer(movie);
    buffer->setData(picture);
    movie->setDevice(buffer);
    m_adPicture->setMovie(movie);
    movie->start();
    delete previous;
}

void OnlineLinks::offerUpdate()
{
    const MessageRequest confirmation{
        QStringLiteral("The net informations used by Vorlane has to be updated. This will take a few seconds. "
                       "Please make sure that you are connected to the Internet. If not connect now. "
                       "Then click the OK botton below."),
        QStringLiteral("Connection Confirmation for updating Net-info"),
        MessageIcon::NoIcon,
        {MessageButton::Ok, MessageButton::Cancel},
        MessageButton::Ok};
    if (m_dialogs.showMessage(m_window, confirmation) != MessageButton::Ok)
        return;
    WaitWindow wait(m_window);
    centreOnScreen(&wait);
    wait.show();
    runUpdate(wait);
}

void OnlineLinks::runUpdate(WaitWindow &wait)
{
    NetInfoDownload download(m_state.appDir, [this](const QString &address, qint64 maxBytes) {
        return m_fetcher->fetch(address, maxBytes);
    });
    if (!download.fetchNetInfo(m_netInfo.netAddr, [&wait](int attempt) { wait.showAttempt(attempt); })) {
        m_dialogs.showMessage(&wait, {QStringLiteral("An error occured while connecting"),
                                      QStringLiteral("Connection Error"), MessageIcon::Critical, {MessageButton::Ok},
                                      MessageButton::Ok});
        download.restoreNetInfo();
        return;
    }
    wait.showSuccess();
    resetLaunchCount();
    download.dropNetInfoBackup();
    readNetInfoFile();
    download.replacePicture(m_netInfo.adAddr);
    playAdPicture();
}

void OnlineLinks::tellAFriend()
{
    m_dialogs.openLink(tellAFriendLink);
}

void OnlineLinks::openSite()
{
    openAddressFromFile(m_dialogs, m_netInfo.siteAddr);
}

void OnlineLinks::openGallery()
{
    openAddressFromFile(m_dialogs, m_netInfo.galleryAddr);
}

void OnlineLinks::sendMail()
{
    openAddressFromFile(m_dialogs, mailLink(m_netInfo.authorMail));
}

void OnlineLinks::openAuthorPage()
{
    openAddressFromFile(m_dialogs, m_netInfo.authorPage);
}

void OnlineLinks::openHelp()
{
    m_dialogs.openLink(QDir::toNativeSeparators(m_state.appDir + QLatin1String("help/VR2_Help.html")));
}

void OnlineLinks::showAbout()
{
    AboutWindow about(m_netInfo, m_dialogs, m_window);
    if (about.exec() != AboutWindow::noteRequested)
        return;
    NoteWindow note(m_netInfo, m_dialogs, m_window);
    note.exec();
}

} // namespace Vorlane
