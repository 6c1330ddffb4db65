#include "app/splashwindow.h"
#include "ui/systemdialogs.h"
#include "document/datafolder.h"
#include "document/programfiles.h"
#include "document/programstate.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
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
