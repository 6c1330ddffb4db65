#include "common/carryless.h"

#include <QTest>

#include <vector>

using namespace Vorlane;

class TestCarryless : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void multipliesWithoutCarries_data();
    void multipliesWithoutCarries();
};

void TestCarryless::multipliesWithoutCarries_data()
{
    QTest::addColumn<QList<quint64>>("factor");
    QTest::addColumn<quint64>("multiplier");
    QTest::newRow("by zero") << QList<quint64>{0xffffffffffffffffu} << quint64(0);
    QTest::newRow("by one") << QList<quint64>{0x8000000000000001u, 7} << quint64(1);
    QTest::newRow("(x + 1)^2 = x^2 + 1") << QList<quint64>{3} << quint64(3);
    QTest::newRow("top bits, into the next word") << QList<quint64>{0x8000000000000000u, 0, 0x8000000000000000u}
                                                  << quint64(0x8000000000000000u);
    QTest::newRow("all ones, odd word count") << QList<quint64>{~0ull, ~0ull, ~0ull} << ~quint64(0);
    QTest::newRow("mixed, even word count")
        << QList<quint64>{0x0123456789abcdefu, 0xfedcba9876543210u, 0x5555aaaa3333ccccu, 0x9908b0df9d2c5680u}
        << quint64(0xefc60000deadbeefu);
}

// Both ways of multiplying add the product bit by bit would give, on top of
// what the words already hold.
void TestCarryless::multipliesWithoutCarries()
{
    QFETCH(QList<quint64>, factor);
    QFETCH(quint64, multiplier);
    const std::vector<std::uint64_t> words(factor.begin(), factor.end());
    const std::vector<std::uint64_t> before{0x1111u, 0x2222u, 0x3333u, 0x4444u, 0x5555u};
    std::vector<std::uint64_t> expected = before;
    for (qsizetype word = 0; word < factor.size(); ++word) {
        for (int bit = 0; bit < 64; ++bit) {
            if ((factor[word] >> bit) & 1) {
                expected[word] ^= multiplier << bit;
                expected[word + 1] ^= bit == 0 ? 0 : multiplier >> (64 - bit);
            }
        }
    }
    std::vector<std::uint64_t> byShifts = before;
    addCarrylessProductByShifts(byShifts.data(), words.data(), words.size(), multiplier);
    QCOMPARE(byShifts, expected);
    std::vector<std::uint64_t> byProcessor = before;
    addCarrylessProduct(byProcessor.data(), words.data(), words.size(), multiplier);
    QCOMPARE(byProcessor, expected);
}

QTEST_GUILESS_MAIN(TestCarryless)
#include "tst_carryless.moc"
