#include "common/randomgenerator.h"
#include "common/rounding.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace Vorlane;

class TestRounding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void halfToEvenInto16Bits_data();
    void halfToEvenInto16Bits();
    void roundingDownAndIntoFloats();
    void randomNumbersAreRepeatableAnd24Bit();
};

void TestRounding::halfToEvenInto16Bits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 to even") << 2.5 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4;
    QTest::newRow("-2.5 to even") << -2.5 << -2;
    QTest::newRow("-3.5 to even") << -3.5 << -4;
    QTest::newRow("just below half") << 2.4999999 << 2;
    QTest::newRow("largest") << 32767.4 << 32767;
    QTest::newRow("above largest saturates") << 32767.5 << 32767;
    QTest::newRow("far above") << 1e12 << 32767;
    QTest::newRow("smallest") << -32768.5 << -32768;
    QTest::newRow("below smallest saturates") << -40000.0 << -32768;
    QTest::newRow("nan") << std::nan("") << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 32767;
}

void TestRounding::halfToEvenInto16Bits()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(cint16(value)), expected);
}

void TestRounding::roundingDownAndIntoFloats()
{
    QCOMPARE(floorToInt(-0.5), qint64(-1));
    QCOMPARE(floorToInt(152.5), qint64(152));
    QCOMPARE(floorToInt(-100.0), qint64(-100));
    QVERIFY(fitsInt16(32767.49));
    QVERIFY(!fitsInt16(32767.5));
    QVERIFY(fitsInt16(-32768.5)); // rounds to the even -32768
    QCOMPARE(toSingle(0.1), 0.1f);
    QCOMPARE(toSingleSaturated(1e300), std::numeric_limits<float>::max());
    QCOMPARE(toSingleSaturated(-1e300), -std::numeric_limits<float>::max());
    QCOMPARE(toSingleSaturated(std::nan("")), 0.0f);
    QCOMPARE(cint32(3e9), std::numeric_limits<qint32>::max());
    QCOMPARE(cint32(6.5), 6);
    QCOMPARE(int(addInt16Saturated(32760, 20)), 32767);
    QCOMPARE(int(addInt16Saturated(-32760, -20)), -32768);
}

void TestRounding::randomNumbersAreRepeatableAnd24Bit()
{
    RandomGenerator first;
    RandomGenerator second;
    // The first output of std::mt19937 with its default seed is 3499211612.
    QCOMPARE(first.next(), float(3499211612u >> 8) / 16777216.0f);
    second.next();
    for (int i = 0; i < 10000; ++i) {
        const float value = first.next();
        QCOMPARE(value, second.next());
        QVERIFY(value >= 0.0f && value < 1.0f);
        QCOMPARE(std::ldexp(double(value), 24), std::floor(std::ldexp(double(value), 24)));
    }
}

QTEST_GUILESS_MAIN(TestRounding)
#include "tst_rounding.moc"
