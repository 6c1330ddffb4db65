#include "common/twips.h"
#include "support/mainwindowfixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Vorlane;

class TestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyEntryRunsItsButtonsCommand_data();
    void everyEntryRunsItsButtonsCommand();
    void menusHoldTheirEntriesInOrder();
    void buttonPicturesAreSharpAtAnyDensity_data();
    void buttonPicturesAreSharpAtAnyDensity();
    void etchedLinesFrameTheToolbar();

private:
    std::unique_ptr<MainWindowFixture> m_f;
};

void TestCommands::init()
{
    m_f = std::make_unique<MainWindowFixture>();
}

void TestCommands::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
}

void TestCommands::everyEntryRunsItsButtonsCommand_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("toolTip");
    const auto entry = [](const char *name, const char *menu, const char *caption,
                          const QKeySequence &shortcut) -> QTestData & {
        return QTest::newRow(name) << menu << caption << shortcut;
    };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    const QRect none;
    entry("flnw", "file", "&New", ctrl(Qt::Key_N)) << "nw" << QRect(90, 75, 450, 435) << "New";
    entry("flopn", "file", "&Open...", ctrl(Qt::Key_O)) << "opn" << QRect(540, 55, 450, 450) << "Open";
    entry("flsv", "file", "&Save", ctrl(Qt::Key_S)) << "sav" << QRect(990, 55, 450, 450) << "Save";
    entry("flsavas", "file", "Save &As...", {}) << "" << none << "";
    entry("svbmp", "file", "Save As b&mp...", ctrl(Qt::Key_M)) << "" << none << "";
    entry("exit", "file", "E&xit", ctrl(Qt::Key_X)) << "" << none << "";
    entry("trns", "edit", "&Transformation...", ctrl(Qt::Key_T))
        << "Cmd2" << QRect(1530, 55, 450, 450) << "Edit current transformations ";
    entry("bstrn", "edit", "&Base Field...", ctrl(Qt::Key_B)) << "Cmd3" << QRect(1980, 55, 450, 450) << "Edit base field";
    entry("styl", "edit", "Style...", {}) << "Cmd4" << QRect(2430, 55, 450, 450)
                                          << "Edit background and foreground colour(s)";
    entry("setng", "edit", "Settings...", {}) << "Command1" << QRect(3510, 55, 450, 450) << "Edit settings";
    entry("start", "run", "Sta&rt", ctrl(Qt::Key_R)) << "Cmd1" << QRect(2970, 55, 450, 450) << "Start rendering";
    // After the specified entries, behind a separator.
    entry("showMaps", "run", "Show &Maps", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)) << "" << none << "";
    entry("zoomIn", "run", "Zoom &In", ctrl(Qt::Key_Plus)) << "" << none << "";
    entry("zoomOut", "run", "Zoom &Out", ctrl(Qt::Key_Minus)) << "" << none << "";
    entry("fitPicture", "run", "&Fit Picture", ctrl(Qt::Key_0)) << "" << none << "";
    entry("renderAutomatically", "run", "Render &Automatically", {}) << "" << none << "";
    entry("levels", "run", "Show &Levels...", {}) << "" << none << "";
    entry("slowMotion", "run", "&Slow Motion...", {}) << "" << none << "";
    entry("colourByMap", "run", "&Colour by Map", {}) << "" << none << "";
    entry("dimension", "run", "Fractal &Dimension...", {}) << "" << none << "";
    entry("fullScreen", "run", "F&ull Screen", QKeySequence(Qt::Key_F11)) << "" << none << "";
    entry("mapList", "run", "Map Lis&t", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)) << "" << none << "";
    entry("tellfriend", "vrnet", "Tell a &Friend about VR", ctrl(Qt::Key_F)) << "" << none << "";
    entry("vrws", "vrnet", "Vorlane &Website", ctrl(Qt::Key_W)) << "" << none << "";
    entry("vrg", "vrnet", "Vorlane &Gallery", ctrl(Qt::Key_G)) << "" << none << "";
    entry("eml", "vrnet", "Send &email", ctrl(Qt::Key_E)) << "" << none << "";
    entry("progsite", "vrnet", "The Vorlane &Team's Site", ctrl(Qt::Key_P)) << "" << none << "";
    entry("incnt", "hlp", "Vorlane 2.0 Help", QKeySequence(Qt::Key_F1)) << "" << none << "";
    entry("abt", "hlp", "&About Vorlane 2.0", ctrl(Qt::Key_A)) << "" << none << "";
}

void TestCommands::everyEntryRunsItsButtonsCommand()
{
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, button);
    QFETCH(QRect, twips);
    QFETCH(QString, toolTip);
    QAction *command = m_f->command(QLatin1String(QTest::currentDataTag()));
    QVERIFY(command);
    QCOMPARE(command->text(), caption);
    QCOMPARE(command->shortcut(), shortcut);
    QVERIFY(command->isEnabled());
    auto *entries = m_f->window->findChild<QMenu *>(menu);
    QVERIFY(entries && entries->actions().contains(command));

    // Only whether the key and the button reach the command counts here, not
    // what the command then does.
    QObject::disconnect(command, &QAction::triggered, nullptr, nullptr);
    QObject::disconnect(command, &QAction::toggled, nullptr, nullptr);
    QSignalSpy triggered(command, &QAction::triggered);
    int expected = 0;
    if (!shortcut.isEmpty()) {
        QTest::keySequence(m_f->window.get(), shortcut);
        QCOMPARE(triggered.size(), ++expected);
    }
    if (!button.isEmpty()) {
        auto *picture = m_f->window->findChild<QToolButton *>(button);
        QVERIFY(picture);
        QCOMPARE(picture->defaultAction(), command);
        QCOMPARE(picture->toolTip(), toolTip);
        QCOMPARE(picture->geometry(), twipsToPixels(twips));
        QTest::mouseClick(picture, Qt::LeftButton);
        QCOMPARE(triggered.size(), ++expected);
    }
}

void TestCommands::menusHoldTheirEntriesInOrder()
{
    const QList<std::pair<QString, QStringList>> menus{
        {QStringLiteral("&File"), {"flnw", "flopn", "flsv", "flsavas", "dash2", "svbmp", "dash1", "exit"}},
        {QStringLiteral("&Edit"), {"trns", "bstrn", "dash3", "styl", "setng", "dash6", "undo", "redo"}},
        {QStringLiteral("&Render"),
         {"start", "dash7", "poster", "dash8", "showMaps", "zoomIn", "zoomOut", "fitPicture", "renderAutomatically",
          "dash10", "levels", "slowMotion", "colourByMap", "dimension", "fullScreen", "dash11", "mapList"}},
        {QStringLiteral("VR on net"), {"tellfriend", "dash5", "vrws", "vrg", "Dash4", "eml", "progsite"}},
        {QStringLiteral("&Help"), {"incnt", "abt"}},
    };
    const QList<QAction *> bar = m_f->window->menuBar()->actions();
    QCOMPARE(bar.size(), menus.size());
    QSet<QKeySequence> shortcuts;
    for (qsizetype i = 0; i < menus.size(); ++i) {
        QCOMPARE(bar.at(i)->text(), menus.at(i).first);
        QStringList names;
        QSet<QChar> mnemonics;
        for (const QAction *entry : bar.at(i)->menu()->actions()) {
            QCOMPARE(entry->isSeparator(), entry->objectName().startsWith(QLatin1String("dash"), Qt::CaseInsensitive));
            QVERIFY(!entry->isIconVisibleInMenu() || entry->icon().isNull());
            names.append(entry->objectName());
            // Each letter and key reaches one entry only.
            const qsizetype mark = entry->text().indexOf(QLatin1Char('&'));
            if (mark >= 0) {
                const QChar letter = entry->text().at(mark + 1).toLower();
                QVERIFY2(!mnemonics.contains(letter), qPrintable(entry->text()));
                mnemonics.insert(letter);
            }
            for (const QKeySequence &shortcut : entry->shortcuts()) {
                QVERIFY2(!shortcuts.contains(shortcut), qPrintable(entry->text()));
                shortcuts.insert(shortcut);
            }
        }
        QCOMPARE(names, menus.at(i).second);
    }
}

void TestCommands::buttonPicturesAreSharpAtAnyDensity_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("button"); // empty: set by the panning buttons
    const std::pair<const char *, const char *> pictures[] = {
        {"new", "nw"},         {"open", "opn"},      {"save", "sav"}, {"transformations", "Cmd2"},
        {"basefield", "Cmd3"}, {"colours", "Cmd4"},  {"render", "Cmd1"}, {"settings", "Command1"},
        {"up", ""},            {"down", ""},         {"left", ""},    {"right", ""},
    };
    for (const auto &[picture, button] : pictures)
        QTest::newRow(picture) << QLatin1String(":/icons/%1.svg").arg(QLatin1String(picture)) << button;
}

void TestCommands::buttonPicturesAreSharpAtAnyDensity()
{
    QFETCH(QString, picture);
    QFETCH(QString, button);
    // Without Qt's SVG icon engine the pictures come out empty.
    const QIcon icon(picture);
    for (const qreal density : {1.0, 2.0}) {
        const QImage image = icon.pixmap(QSize(24, 24), density).toImage();
        QCOMPARE(image.size(), QSize(24, 24) * density);
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 0;
        }
        QVERIFY2(inked > image.width(), qPrintable(picture));
    }
    if (!button.isEmpty()) {
        auto *shown = m_f->window->findChild<QToolButton *>(button);
        QVERIFY(shown);
        QCOMPARE(shown->icon().pixmap(QSize(24, 24)).toImage(), icon.pixmap(QSize(24, 24)).toImage());
    }
}

void TestCommands::etchedLinesFrameTheToolbar()
{
    QWidget *client = m_f->window->centralWidget();
    const QImage shown = client->grab().toImage();
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb light = client->palette().color(QPalette::Base).rgb();
    const QRgb background = client->palette().color(QPalette::Window).rgb();
    QVERIFY(light != background);
    const auto pixel = [&shown](int xTwips, int yTwips) {
        return shown.pixel(twipsToPixels(xTwips), twipsToPixels(yTwips)) | 0xFF000000u;
    };
    for (const int x : {1455, 2910, 3450, 4770})
        QCOMPARE(pixel(x, 30), grey);
    for (const int x : {1485, 2925, 3465})
        QCOMPARE(pixel(x, 300), light);
    QCOMPARE(pixel(1470, 300), background);
    for (const int x : {0, 1470, 4000, 4980})
        QCOMPARE(pixel(x, 540), grey);
    // The rule stops at the advertisement: it would strike through "Click Here".
    for (const int x : {4995, 6600, pixelsToTwips(shown.width() - 1)})
        QVERIFY(pixel(x, 540) != grey);
    QCOMPARE(pixel(1470, 555), background);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
