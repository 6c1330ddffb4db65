#include "app/splashwindow.h"
#include "app/systemdialogs.h"
#include "document/programfiles.h"
#include "document/programstate.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationName(QStringLiteral("Vorlane"));

    Vorlane::ProgramState state;
    Vorlane::SystemDialogs dialogs;
    const Vorlane::LaunchOptions launch{QApplication::applicationDirPath(),
                                        Vorlane::documentPathArgument(QApplication::arguments())};
    auto *splash = new Vorlane::SplashWindow(state, dialogs, launch);
    splash->show();
    return application.exec();
}
