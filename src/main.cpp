#include "app/mainwindow.h"
#include "app/systemdialogs.h"
#include "document/programstate.h"
#include "online/onlinelinks.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationName(QStringLiteral("Vorlane"));

    Vorlane::ProgramState state;
    state.appDir = QDir::toNativeSeparators(QApplication::applicationDirPath() + QLatin1Char('/'));
    Vorlane::SystemDialogs dialogs;
    Vorlane::MainWindow window(state, dialogs);
    Vorlane::OnlineLinks &online = window.online();
    online.fillNetInfoSources();
    online.setDefaultAddresses();
    online.updateIfDue();
    window.show();
    online.readNetInfoFile();
    window.initialiseDocument();
    online.playAdPicture();
    return application.exec();
}
