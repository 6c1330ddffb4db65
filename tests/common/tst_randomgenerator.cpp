#include "common/randomgenerator.h"

#include <QTest>

#include <random>
#include <vector>

using namespace Vorlane;

class TestRandomGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesTheStandardEngine_data();
    void matchesTheStandardEngine();
    void skipsAsDrawingWould_data();
    void skipsAsDrawingWould();
};

void TestRandomGenerator::matchesTheStandardEngine_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("the program's") << quint32(RandomGenerator::defaultSeed);
    QTest::newRow("zero") << 0u;
    QTest::newRow("all ones") << 0xffffffffu;
    QTest::newRow("odd") << 123456789u;
}

// Output for output over many twists of the state, and the 10000th output
// of the default seed the standard itself names.
void TestRandomGenerator::matchesTheStandardEngine()
{
    QFETCH(quint32, seed);
    RandomGenerator ours(seed);
    std::mt19937 standard(seed);
    for (int i = 0; i < 1'000'000; ++i) {
        const std::uint32_t expected = standard();
        if (ours.nextWord() != expected)
            QFAIL(qPrintable(QStringLiteral("output %1 differs").arg(i)));
    }
    if (seed == RandomGenerator::defaultSeed) {
        RandomGenerator fresh;
        fresh.discard(9999);
        QCOMPARE(fresh.nextWord(), 4123659995u);
    }
}

void TestRandomGenerator::skipsAsDrawingWould_data()
{
    QTest::addColumn<QList<quint64>>("skips");
    QTest::newRow("nothing") << QList<quint64>{0, 0};
    QTest::newRow("within a twist") << QList<quint64>{1, 5, 600};
    QTest::newRow("to a twist's end") << QList<quint64>{623, 1};
    QTest::newRow("across twists") << QList<quint64>{624, 625, 1247, 1248};
    QTest::newRow("far") << QList<quint64>{3'000'017, 2, 999'999};
}

// Skips, and blocks of numbers drawn at once, mixed with draws leave the
// generator where the draws alone would; a block holds the numbers the draws
// give.
void TestRandomGenerator::skipsAsDrawingWould()
{
    QFETCH(QList<quint64>, skips);
    RandomGenerator skipping;
    std::mt19937 standard;
    for (const quint64 skip : skips) {
        skipping.discard(skip);
        standard.discard(skip);
        QCOMPARE(skipping.nextWord(), standard());
    }
    RandomGenerator drawing;
    for (const quint64 skip : skips) {
        for (quint64 i = 0; i <= skip; ++i)
            drawing.nextWord();
    }
    QVERIFY(skipping == drawing);
    QCOMPARE(skipping.next(), drawing.next());

    RandomGenerator filling;
    RandomGenerator oneByOne;
    for (const quint64 skip : skips) {
        std::vector<float> block(skip + 1);
        filling.fill(block.data(), block.size());
        for (const float number : block) {
            if (number != oneByOne.next())
                QFAIL("a block's number differs");
        }
    }
    QVERIFY(filling == oneByOne);
}

QTEST_GUILESS_MAIN(TestRandomGenerator)
#include "tst_randomgenerator.moc"
