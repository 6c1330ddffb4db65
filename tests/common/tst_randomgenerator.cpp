#include "common/randomgenerator.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <functional>
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
    void longSkipsLandWhereTwistsDo_data();
    void longSkipsLandWhereTwistsDo();
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
// of the default seed the standard itself names. The twist in lanes, which
// the generator takes where it can, and the plain one agree word for word.
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
    if (!RandomGenerator::hasTwistLanes())
        return;
    std::array<std::uint32_t, RandomGenerator::stateSize> plain;
    std::generate(plain.begin(), plain.end(), std::ref(standard));
    std::array<std::uint32_t, RandomGenerator::stateSize> inLanes = plain;
    for (int twist = 0; twist < 3; ++twist) {
        RandomGenerator::twistWordsPlainly(plain.data());
        RandomGenerator::twistWordsInLanes(inLanes.data());
        QCOMPARE(inLanes, plain);
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

void TestRandomGenerator::longSkipsLandWhereTwistsDo_data()
{
    QTest::addColumn<int>("drawsBefore");
    QTest::addColumn<quint64>("count");
    QTest::addColumn<quint32>("standardWordAfter");
    constexpr quint64 threshold = RandomGenerator::jumpThreshold;
    QTest::newRow("fresh, from the shortest jump") << 0 << threshold << 1411631495u;
    QTest::newRow("within a twist") << 17 << threshold + 1 << 2293811443u;
    QTest::newRow("at a twist's last word") << 623 << quint64(10'000'000) << 2075331144u;
    QTest::newRow("at a twist's end, to one") << 624 << (quint64(1) << 23) + 623 << 3466412138u;
    QTest::newRow("a stopped run of 2^31 points") << 300 << (quint64(1) << 31) + 5 << 492326248u;
    // The word found by twisting for minutes.
    QTest::newRow("2^40") << 1 << (quint64(1) << 40) + 3 << 3504992438u;
}

// A long skip jumps; it must leave the whole state, the position in it
// included, where twisting through every number does, and the next number
// must be the standard engine's.
void TestRandomGenerator::longSkipsLandWhereTwistsDo()
{
    QFETCH(int, drawsBefore);
    QFETCH(quint64, count);
    QFETCH(quint32, standardWordAfter);
    RandomGenerator jumping;
    for (int i = 0; i < drawsBefore; ++i)
        jumping.nextWord();
    RandomGenerator twisting = jumping;
    jumping.discard(count);
    // Twisting through the longer skips would take minutes under the sanitizers.
    if (count < quint64(1) << 24) {
        for (quint64 left = count; left > 0;) {
            const quint64 skip = std::min<quint64>(left, RandomGenerator::jumpThreshold - 1);
            twisting.discard(skip);
            left -= skip;
        }
        QVERIFY(jumping == twisting);
    }
    QCOMPARE(jumping.nextWord(), standardWordAfter);
}

QTEST_GUILESS_MAIN(TestRandomGenerator)
#include "tst_randomgenerator.moc"
