#include "app/mapcanvas.h"
#include "support/mainwindowfixture.h"
#include "support/modalwindows.h"

#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>

using namespace Vorlane;

class TestMapList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rowsShowTheNumbersAndWeights_data();
    void rowsShowTheNumbersAndWeights();
    void rowFollowsTheFrameAndOpensTheEditor_data();
    void rowFollowsTheFrameAndOpensTheEditor();

private:
    QTableWidget *table() const { return m_f->window->findChild<QTableWidget *>(QStringLiteral("mapTable")); }

    std::unique_ptr<MainWindowFixture> m_f;
};

// Hidden until its entry is checked, which the next window remembers.
void TestMapList::init()
{
    // Settings of the test's own, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane")).clear();
    m_f = std::make_unique<MainWindowFixture>();
    QVERIFY(!table()->isVisible());
    m_f->run(QStringLiteral("mapList"));
    QVERIFY(table()->isVisible());
    QVERIFY(UnshownMainWindowFixture().command(QStringLiteral("mapList"))->isChecked());
    QVERIFY(m_f->window->readDocumentFile(QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(QStringLiteral("Fern.vrf"))));
}

void TestMapList::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
}

void TestMapList::rowsShowTheNumbersAndWeights_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");
    // The Fern's weights .7225, .102, .102 and .0048 of .9313; the
    // translations as the editor shows them on this canvas.
    QTest::newRow("frond") << 0 << QStringList{"Tr 1    ", " .85", " .85", "-2.5", " 0", " .1323408", "77.6"};
    QTest::newRow("left leaf") << 1 << QStringList{"Tr 2    ", " .3", " .34", " 49", " 0", " .1323408", "11.0"};
    QTest::newRow("right leaf") << 2 << QStringList{"Tr 3    ", " .3", " .34", "-49", " 0", " .03639371", "11.0"};
    QTest::newRow("stem") << 3 << QStringList{"Tr 4    ", " .03", " .16", " 0", " 0", " 0", "0.5"};
}

void TestMapList::rowsShowTheNumbersAndWeights()
{
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QCOMPARE(table()->rowCount(), 4);
    QStringList shown;
    for (int column = 0; column < table()->columnCount(); ++column)
        shown.append(table()->item(row, column)->text());
    QCOMPARE(shown, cells);
}

void TestMapList::rowFollowsTheFrameAndOpensTheEditor_data()
{
    QTest::addColumn<int>("map");
    for (const int map : {0, 2, 3})
        QTest::addRow("map %d", map) << map;
}

void TestMapList::rowFollowsTheFrameAndOpensTheEditor()
{
    QFETCH(int, map);
    MapCanvas &frames = m_f->window->mapCanvas();
    frames.selectMap(map);
    QCOMPARE(table()->selectionModel()->selectedRows(), QModelIndexList{table()->model()->index(map, 0)});

    // The row double-clicked wins over the frame chosen before.
    const int row = (map + 1) % 4;
    int opened = -1;
    whenModalShows(m_f->window.get(), QStringLiteral("Form2"), [&opened](QWidget *editor) {
        opened = editor->findChild<QComboBox *>(QStringLiteral("Lst1"))->currentIndex();
        editor->close();
    });
    const QPoint cell = table()->visualItemRect(table()->item(row, 1)).center();
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(opened, row);
    QCOMPARE(frames.selectedMap(), row);
}

QTEST_MAIN(TestMapList)
#include "tst_maplist.moc"
