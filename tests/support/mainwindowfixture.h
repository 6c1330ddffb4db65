#pragma once

#include "app/mainwindow.h"
#include "surroundings/programstate.h"
#include "scripteddialogs.h"
#include "sessionstate.h"
#include "testfolder.h"

#include <QAction>
#include <QTest>

#include <memory>

namespace Vorlane {

// A main window in a program folder of its own, with its dialogs answered by
// script; not shown yet, and holding no document.
struct UnshownMainWindowFixture
{
    UnshownMainWindowFixture()
    {
        state.appDir = folder.appDir();
        window = std::make_unique<MainWindow>(state, dialogs);
    }

    // The command behind a menu entry, found by the entry's name.
    QAction *command(const QString &name) const { return window->findChild<QAction *>(name); }
    void run(const QString &name) const { command(name)->trigger(); }
    DocumentSession &session() const { return window->session(); }

    TestFolder folder;
    ProgramState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

// That window shown, holding the start-up document.
struct MainWindowFixture : UnshownMainWindowFixture
{
    MainWindowFixture()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->initialiseDocument();
    }
};

} // namespace Vorlane
