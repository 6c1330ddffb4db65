#include "app/mainwindow.h"
#include "document/colour.h"
#include "render/canvasview.h"
#include "support/pictures.h"
#include "support/scripteddialogs.h"
#include "support/testfolder.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace Vorlane;

class TestEditorCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void editorsOpenModallyFromButtonMenuAndShortcut_data();
    void editorsOpenModallyFromButtonMenuAndShortcut();
    void editorShowsTheDocumentAsItIsNow();
    void acceptedColoursClearTheCanvasesAndShowAtTheNextRendering();
    void acceptedSettingsShowAtTheNextRendering();

private:
    // Runs command, which opens a modal window, and hands that window to act
    // while it is shown; the window is closed afterwards if act left it open.
    void whileModal(const std::function<void()> &command, const std::function<void(QDialog *)> &act);
    void clickButton(const char *name);
    void chooseFromMenu(const QString &menu, const QString &entry);

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ProgramState> m_state;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestEditorCommands::init()
{
    m_folder = std::make_unique<TestFolder>();
    m_state = std::make_unique<ProgramState>();
    m_state->appDir = m_folder->appDir();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_window = std::make_unique<MainWindow>(*m_state, *m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->initialiseDocument();
}

void TestEditorCommands::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
    m_window.reset();
}

void TestEditorCommands::whileModal(const std::function<void()> &command, const std::function<void(QDialog *)> &act)
{
    bool acted = false;
    QTimer timer; // on the stack, so it cannot fire once this returns
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        acted = true;
        act(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    timer.start(0);
    command();
    QVERIFY2(acted, "no modal window opened");
}

void TestEditorCommands::clickButton(const char *name)
{
    auto *button = m_window->findChild<QToolButton *>(QLatin1String(name));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestEditorCommands::chooseFromMenu(const QString &menuTitle, const QString &entry)
{
    for (QAction *menuAction : m_window->menuBar()->actions()) {
        if (menuAction->text() != menuTitle)
            continue;
        for (QAction *action : menuAction->menu()->actions()) {
            if (action->text() == entry) {
                action->trigger();
                return;
            }
        }
    }
    QFAIL(qPrintable(QLatin1String("no menu entry ") + entry));
}

void TestEditorCommands::editorsOpenModallyFromButtonMenuAndShortcut_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("window");
    QTest::newRow("Cmd2") << "button Cmd2" << "Form2";
    QTest::newRow("&Transformation...") << "menu &Transformation..." << "Form2";
    QTest::newRow("Ctrl+T") << "key Ctrl+T" << "Form2";
    QTest::newRow("Command1") << "button Command1" << "Form7";
    QTest::newRow("Settings...") << "menu Settings..." << "Form7";
    QTest::newRow("Cmd4") << "button Cmd4" << "Form5";
    QTest::newRow("Style...") << "menu Style..." << "Form5";
}

void TestEditorCommands::editorsOpenModallyFromButtonMenuAndShortcut()
{
    QFETCH(QString, how);
    QFETCH(QString, window);
    const QString what = how.section(QLatin1Char(' '), 1);
    const auto command = [&] {
        if (how.startsWith(QLatin1String("button")))
            clickButton(what.toLatin1().constData());
        else if (how.startsWith(QLatin1String("menu")))
            chooseFromMenu(QStringLiteral("&Edit"), what);
        else
            QTest::keySequence(m_window.get(), QKeySequence(what));
    };
    whileModal(command, [&](QDialog *dialog) {
        QCOMPARE(dialog->objectName(), window);
        QCOMPARE(dialog->parentWidget(), m_window.get());
        QVERIFY(dialog->isModal());
    });
    QVERIFY2(!m_window->findChild<QDialog *>(window), "the window is made afresh at every opening");
    QCOMPARE(m_state->modified, qint16(0));
}

void TestEditorCommands::editorShowsTheDocumentAsItIsNow()
{
    whileModal([this] { clickButton("Command1"); }, [](QDialog *dialog) {
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QStringLiteral(" 20"));
    });
    m_state->document.settings.resolution = 12;
    whileModal([this] { clickButton("Command1"); }, [](QDialog *dialog) {
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QStringLiteral(" 12"));
    });
}

void TestEditorCommands::acceptedColoursClearTheCanvasesAndShowAtTheNextRendering()
{
    const qint32 background = m_state->document.colours.backColour;
    const QString blankPath = m_folder->filePath(QStringLiteral("BLANK.BMP"));
    m_window->startRendering();
    QVERIFY(QFile::remove(blankPath));
    whileModal([this] { clickButton("Cmd4"); }, [](QDialog *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Cmdaccept")), Qt::LeftButton);
    });
    QCOMPARE(m_state->modified, qint16(1));
    QVERIFY(isFilledWith(m_window->visibleCanvas()->canvas().persistentImage(), background));
    QVERIFY(isFilledWith(m_window->hiddenCanvas()->canvas().persistentImage(), background));
    QVERIFY(isFilledWith(readBitmap(blankPath), background));

    const qint32 night = rgbColour(0, 0, 40);
    m_dialogs->colourAnswers.enqueue(night);
    whileModal([this] { chooseFromMenu(QStringLiteral("&Edit"), QStringLiteral("Style...")); }, [](QDialog *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("change3")), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Cmdaccept")), Qt::LeftButton);
    });
    QVERIFY(isFilledWith(readBitmap(blankPath), night));
    m_window->startRendering();
    const QImage rendered = readBitmap(m_folder->filePath(QStringLiteral("TEMP.BMP")));
    QVERIFY(!isFilledWith(rendered, night));
    QCOMPARE(RasterCanvas::fromRgb(rendered.pixel(0, 0)), night);
}

void TestEditorCommands::acceptedSettingsShowAtTheNextRendering()
{
    whileModal([this] { chooseFromMenu(QStringLiteral("&Edit"), QStringLiteral("Settings...")); }, [](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("Text4"))->setText(QStringLiteral("0"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QCOMPARE(m_state->document.settings.totalPoints, 0);
    m_window->startRendering();
    QVERIFY(isFilledWith(readBitmap(m_folder->filePath(QStringLiteral("TEMP.BMP"))), m_state->document.colours.backColour));
}

QTEST_MAIN(TestEditorCommands)
#include "tst_editorcommands.moc"
