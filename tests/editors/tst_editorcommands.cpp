#include "document/colour.h"
#include "widgets/canvasview.h"
#include "support/controls.h"
#include "support/mainwindowfixture.h"
#include "support/pictures.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

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
    void chooseFromMenu(const QString &menu, const QString &entry);

    std::unique_ptr<MainWindowFixture> m_f;
};

void TestEditorCommands::init()
{
    m_f = std::make_unique<MainWindowFixture>();
}

void TestEditorCommands::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
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

void TestEditorCommands::chooseFromMenu(const QString &menuTitle, const QString &entry)
{
    for (QAction *menuAction : m_f->window->menuBar()->actions()) {
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
            clickButton(m_f->window.get(), what.toLatin1().constData());
        else if (how.startsWith(QLatin1String("menu")))
            chooseFromMenu(QStringLiteral("&Edit"), what);
        else
            QTest::keySequence(m_f->window.get(), QKeySequence(what));
    };
    whileModal(command, [&](QDialog *dialog) {
        QCOMPARE(dialog->objectName(), window);
        QCOMPARE(dialog->parentWidget(), m_f->window.get());
        QVERIFY(dialog->isModal());
    });
    QVERIFY2(!m_f->window->findChild<QDialog *>(window), "the window is made afresh at every opening");
    QVERIFY(!m_f->session().isModified());
}

void TestEditorCommands::editorShowsTheDocumentAsItIsNow()
{
    whileModal([this] { clickButton(m_f->window.get(), "Command1"); }, [](QDialog *dialog) {
        QCOMPARE(findControl<QLineEdit>(dialog, "Text1")->text(), QStringLiteral(" 20"));
    });
    editDocument(m_f->session(), [](FractalDocument &document) { document.settings.resolution = 12; });
    whileModal([this] { clickButton(m_f->window.get(), "Command1"); }, [](QDialog *dialog) {
        QCOMPARE(findControl<QLineEdit>(dialog, "Text1")->text(), QStringLiteral(" 12"));
    });
}

void TestEditorCommands::acceptedColoursClearTheCanvasesAndShowAtTheNextRendering()
{
    const qint32 background = m_f->session().document().colours.backColour;
    const QString blankPath = m_f->folder.filePath(QStringLiteral("BLANK.BMP"));
    m_f->window->startRendering();
    QVERIFY(QFile::remove(blankPath));
    whileModal([this] { clickButton(m_f->window.get(), "Cmd4"); },
               [](QDialog *dialog) { clickButton(dialog, "Cmdaccept"); });
    QVERIFY(m_f->session().isModified());
    QVERIFY(isFilledWith(m_f->window->visibleCanvas()->canvas().persistentImage(), background));
    QVERIFY(isFilledWith(m_f->window->hiddenCanvas()->canvas().persistentImage(), background));
    QVERIFY(isFilledWith(readBitmap(blankPath), background));

    const qint32 night = rgbColour(0, 0, 40);
    m_f->dialogs.colourAnswers.enqueue(night);
    whileModal([this] { chooseFromMenu(QStringLiteral("&Edit"), QStringLiteral("Style...")); }, [](QDialog *dialog) {
        clickButton(dialog, "change3");
        clickButton(dialog, "Cmdaccept");
    });
    QVERIFY(isFilledWith(readBitmap(blankPath), night));
    m_f->window->startRendering();
    const QImage rendered = readBitmap(m_f->folder.filePath(QStringLiteral("TEMP.BMP")));
    QVERIFY(!isFilledWith(rendered, night));
    QCOMPARE(colourAt(rendered, 0, 0), night);
}

void TestEditorCommands::acceptedSettingsShowAtTheNextRendering()
{
    whileModal([this] { chooseFromMenu(QStringLiteral("&Edit"), QStringLiteral("Settings...")); }, [](QDialog *dialog) {
        findControl<QLineEdit>(dialog, "Text4")->setText(QStringLiteral("0"));
        clickButton(dialog, "Command1");
    });
    QCOMPARE(m_f->session().document().settings.totalPoints, 0);
    m_f->window->startRendering();
    QVERIFY(isFilledWith(readBitmap(m_f->folder.filePath(QStringLiteral("TEMP.BMP"))),
                         m_f->session().document().colours.backColour));
}

QTEST_MAIN(TestEditorCommands)
#include "tst_editorcommands.moc"
