#include "render/chaos/mapcolours.h"

#include <QSet>
#include <QTest>

#include <cstdlib>

using namespace Vorlane;

namespace {

// Manhattan distance between two colours, 0 to 765.
int colourDistance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

} // namespace

class TestMapColours : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mapsTellApart_data();
    void mapsTellApart();
};

void TestMapColours::mapsTellApart_data()
{
    QTest::addColumn<int>("maps");
    QTest::addColumn<int>("leastDistance");
    // The few maps of a usual document differ at a glance; all 50 still differ.
    QTest::newRow("the first 4") << 4 << 180;
    QTest::newRow("the first 10") << 10 << 90;
    QTest::newRow("all 50") << 50 << 18;
}

void TestMapColours::mapsTellApart()
{
    QFETCH(int, maps);
    QFETCH(int, leastDistance);
    int least = 765;
    for (int a = 0; a < maps; ++a) {
        QCOMPARE(qAlpha(mapColour(a)), 255);
        for (int b = a + 1; b < maps; ++b)
            least = std::min(least, colourDistance(mapColour(a), mapColour(b)));
    }
    QVERIFY2(least >= leastDistance, qPrintable(QString::number(least)));
    QCOMPARE(mapColour(maps), mapColour(maps + 50));
}

QTEST_GUILESS_MAIN(TestMapColours)
#include "tst_mapcolours.moc"
