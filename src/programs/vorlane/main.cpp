#include "app/splashwindow.h"
#include "widgets/systemdialogs.h"
#include "surroundings/datafolder.h"
#include "surroundings/programfiles.h"
#include "surroundings/programstate.h"

#include <QApplication>
#include <QIcon>

#include <csignal>

int main(int argc, char *argv[])
{
    // Past a file-size limit a write then fails and is reported, instead of
    // ending the program with the unsaved document.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationName(QStringLiteral("Vorlane"));
    QApplication::setDesktopFileName(QStringLiteral("vorlane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vorlane.svg")));

    Vorlane::ProgramState state;
    Vorlane::SystemDialogs dialogs;
    const Vorlane::LaunchOptions launch{QApplication::applicationDirPath(),
                                        Vorlane::documentPathArgument(QApplication::arguments()),
                                        Vorlane::userDataFolder()};
    auto *splash = new Vorlane::SplashWindow(state, dialogs, launch);
    splash->show();
    return application.exec();
}
