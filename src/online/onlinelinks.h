#pragma once

#include "netinfo/netinfo.h"

#include <QObject>
#include <QStringList>

#include <chrono>
#include <memory>

class QLabel;
class QWidget;

namespace Vorlane {

class ClickableLabel;
class HttpFetcher;
class UserDialogs;
class WaitWindow;
struct ProgramState;

// The main window's online side: the net-info addresses and their update, the
// advertisement picture Image1 with its "Click Here" label, the web, e-mail
// and help commands and the about window. Every command reads the addresses
// when it runs, so an update changes them at once.
class OnlineLinks : public QObject
{
    Q_OBJECT

public:
    OnlineLinks(ProgramState &state, UserDialogs &dialogs, QWidget *window);
    ~OnlineLinks() override;

    // Puts Image1 and Label2 on the main window's client area, right of the
    // toolbar.
    void placeAdvertisement(QWidget *client);
    ClickableLabel *adPicture() const { return m_adPicture; }
    // The web addresses and where to update them.
    NetInfo &netInfo() { return m_netInfo; }

    // Where the update looks for the web file; the built-in mirrors unless
    // set. Takes effect at fillNetInfoSources.
    void setMirrors(const QStringList &mirrors) { m_mirrors = mirrors; }
    // How long one transfer may take; 10 s unless set.
    void setTransferTimeout(std::chrono::milliseconds timeout);

    // The start-up steps, in the order the main window's loading runs them.
    void fillNetInfoSources();
    void setDefaultAddresses();
    // Counts this start; when the update is due, offers it.
    void updateIfDue();
    void readNetInfoFile();
    // Image1 plays appDir + "vornad.gif" afresh.
    void playAdPicture();

    // Asks whether to update the net info and, on OK, updates it with the
    // wait window on the screen.
    void offerUpdate();

    // The commands.
    void tellAFriend();
    void openSite();
    void openGallery();
    void sendMail();
    void openAuthorPage();
    void openHelp();
    void showAbout();

private:
    void runUpdate(WaitWindow &wait);

    ProgramState &m_state;
    NetInfo m_netInfo; // the web addresses and where to update them
    UserDialogs &m_dialogs;
    QWidget *m_window;
    std::unique_ptr<HttpFetcher> m_fetcher;
    QStringList m_mirrors;
    ClickableLabel *m_adPicture = nullptr;
};

} // namespace Vorlane
