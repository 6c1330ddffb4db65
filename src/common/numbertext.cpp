#include "common/numbertext.h"

#include <QByteArray>
#include <QLocale>

#include <cmath>
#include <limits>

namespace Vorlane {

namespace {

constexpr int singleDigits = 7;
constexpr int doubleDigits = 15;
// Magnitudes from 10^-4 up to below 10^digits are written without exponent.
constexpr int smallestPlainExponent = -4;

QString withSign(bool negative, const QString &magnitude)
{
    return (negative ? QLatin1String("-") : QLatin1String(" ")) + magnitude;
}

QString trimmedMantissa(QString digits)
{
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return digits;
}

QString plainText(const QString &digits, int exponent)
{
    if (exponent < 0)
        return QLatin1String(".") + QString(-exponent - 1, QLatin1Char('0')) + digits;
    const int integerDigits = exponent + 1;
    if (digits.size() <= integerDigits)
        return digits + QString(integerDigits - digits.size(), QLatin1Char('0'));
    return digits.left(integerDigits) + QLatin1Char('.') + digits.mid(integerDigits);
}

QString exponentText(const QString &digits, int exponent)
{
    QString mantissa = digits.left(1);
    if (digits.size() > 1)
        mantissa += QLatin1Char('.') + digits.mid(1);
    const QString power = QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
    return mantissa + QLatin1Char('E') + (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) + power;
}

QString floatingText(double value, int significantDigits)
{
    if (std::isnan(value))
        return QStringLiteral(" NaN");
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    if (std::isinf(magnitude))
        return withSign(negative, QStringLiteral("INF"));
    if (magnitude == 0)
        return QStringLiteral(" 0");

    // "d.ddddddde+XX": the rounded significant digits and the decimal exponent.
    const QString scientific = QString::number(magnitude, 'e', significantDigits - 1);
    const qsizetype ePos = scientific.indexOf(QLatin1Char('e'));
    const QString digits = trimmedMantissa(scientific.left(ePos).remove(QLatin1Char('.')));
    const int exponent = scientific.mid(ePos + 1).toInt();

    const bool plain = exponent >= smallestPlainExponent && exponent < significantDigits;
    return withSign(negative, plain ? plainText(digits, exponent) : exponentText(digits, exponent));
}

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The longest prefix of text that reads as a number, in the C locale's form.
QByteArray numberPrefix(const QString &text)
{
    QByteArray number;
    qsizetype i = 0;
    const auto at = [&text](qsizetype pos) { return pos < text.size() ? text.at(pos) : QChar(); };

    if (at(i) == QLatin1Char('+') || at(i) == QLatin1Char('-'))
        number += char(text.at(i++).unicode());
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isDigit(c)) {
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        number += char(c.unicode());
    }
    if (!seenDigit)
        return QByteArray();

    const QChar e = at(i).toUpper();
    if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
        qsizetype j = i + 1;
        QByteArray power = "e";
        if (at(j) == QLatin1Char('+') || at(j) == QLatin1Char('-'))
            power += char(text.at(j++).unicode());
        const qsizetype firstPowerDigit = j;
        while (isDigit(at(j)))
            power += char(text.at(j++).unicode());
        if (j > firstPowerDigit)
            number += power;
    }
    return number;
}

} // namespace

QString numToField(float value)
{
    return floatingText(value, singleDigits);
}

QString numToField(double value)
{
    return floatingText(value, doubleDigits);
}

QString numToField(int value)
{
    return numToField(qint64(value));
}

QString numToField(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1String(" ") + QString::number(value);
}

double fieldToNum(const QString &text)
{
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (!isSkipped(c))
            compact += c;
    }
    const QByteArray number = numberPrefix(compact);
    if (number.isEmpty())
        return 0.0;
    // The C locale reads "." whatever the user's locale; it gives an infinity on overflow.
    const double value = QLocale::c().toDouble(QLatin1String(number));
    constexpr double largest = std::numeric_limits<double>::max();
    return std::isinf(value) ? (value < 0 ? -largest : largest) : value;
}

} // namespace Vorlane
