#include "common/numbertext.h"

#include <QTest>

#include <limits>

using namespace Vorlane;

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void floatToField_data();
    void floatToField();
    void integerToField();
    void fieldToNumber_data();
    void fieldToNumber();
    void fieldToNumberIgnoresLocale();
};

void TestNumberText::floatToField_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 20.0f << " 20";
    QTest::newRow("negative whole") << -10.0f << "-10";
    QTest::newRow("zero") << 0.0f << " 0";
    QTest::newRow("negative zero") << -0.0f << " 0";
    QTest::newRow("below one") << 0.5f << " .5";
    QTest::newRow("negative below one") << -0.25f << "-.25";
    QTest::newRow("seven digits of 0.6f") << 0.6f << " .6";
    QTest::newRow("seven digits of 0.45f") << 0.45f << " .45";
    QTest::newRow("rounded to seven") << 3.14159265f << " 3.141593";
    QTest::newRow("fraction and whole") << 1234.5f << " 1234.5";
    QTest::newRow("largest plain") << 1234567.0f << " 1234567";
    QTest::newRow("exponent large") << 12345678.0f << " 1.234568E+07";
    QTest::newRow("exponent whole") << 1e7f << " 1E+07";
    QTest::newRow("small plain") << 0.0001f << " .0001";
    QTest::newRow("exponent small") << 0.00001f << " 1E-05";
    QTest::newRow("largest float") << std::numeric_limits<float>::max() << " 3.402823E+38";
}

void TestNumberText::floatToField()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(numToField(value), text);
}

void TestNumberText::integerToField()
{
    QCOMPARE(numToField(20), QStringLiteral(" 20"));
    QCOMPARE(numToField(-32768), QStringLiteral("-32768"));
    QCOMPARE(numToField(qint64(1966079)), QStringLiteral(" 1966079"));
    QCOMPARE(numToField(qint16(4)), QStringLiteral(" 4"));
    QCOMPARE(numToField(0.1), QStringLiteral(" .1")); // a double keeps fifteen digits
}

void TestNumberText::fieldToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("words") << "abc" << 0.0;
    QTest::newRow("plain") << "20" << 20.0;
    QTest::newRow("leading blank") << " 20" << 20.0;
    QTest::newRow("blanks inside") << "1 2\t3\n4" << 1234.0;
    QTest::newRow("fraction") << " .5" << 0.5;
    QTest::newRow("negative") << "-2.25" << -2.25;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("stops at letter") << "12abc" << 12.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "1.5E3" << 1500.0;
    QTest::newRow("exponent d") << "2d-2" << 0.02;
    QTest::newRow("exponent lower case") << "2e+1" << 20.0;
    QTest::newRow("exponent without digits") << "3e" << 3.0;
    QTest::newRow("exponent sign only") << "3e-" << 3.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("comma is no point") << "1,5" << 1.0;
    QTest::newRow("overflow") << "1e999" << std::numeric_limits<double>::max();
    QTest::newRow("negative overflow") << "-1e999" << -std::numeric_limits<double>::max();
    QTest::newRow("underflow") << "1e-999" << 0.0;
}

void TestNumberText::fieldToNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(fieldToNum(text), number);
}

void TestNumberText::fieldToNumberIgnoresLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German));
    setlocale(LC_ALL, "de_DE.UTF-8");
    QCOMPARE(fieldToNum(QStringLiteral("2.5")), 2.5);
    QCOMPARE(numToField(2.5f), QStringLiteral(" 2.5"));
    setlocale(LC_ALL, "C");
    QLocale::setDefault(previous);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
