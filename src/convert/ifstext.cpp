#include "convert/ifstext.h"

#include "document/fractaldocument.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace Vorlane {

namespace {

constexpr int numbersPerMap = 7;

class IfsTextParser
{
public:
    std::variant<QList<IfsBlock>, IfsTextError> parse(const QByteArray &text)
    {
        if (text.size() > maxIfsTextSize)
            return IfsTextError{QStringLiteral("the file is larger than %1 bytes").arg(maxIfsTextSize)};
        for (qsizetype start = 0; start <= text.size() && m_error.isEmpty();) {
            const qsizetype newline = text.indexOf('\n', start);
            const qsizetype end = newline < 0 ? text.size() : newline;
            ++m_line;
            readLine(text.mid(start, end - start));
            start = end + 1;
        }
        if (m_error.isEmpty())
            finish();
        if (!m_error.isEmpty())
            return IfsTextError{m_error};
        return m_blocks;
    }

private:
    void fail(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("line %1: %2").arg(m_line).arg(message);
    }

    void readLine(QByteArray line)
    {
        if (line.size() > maxIfsLineLength)
            return fail(QStringLiteral("the line is longer than %1 characters").arg(maxIfsLineLength));
        line.truncate(line.indexOf(';') < 0 ? line.size() : line.indexOf(';'));
        line.replace('{', " { ").replace('}', " } ");
        const QList<QByteArray> tokens = line.simplified().split(' ');
        for (const QByteArray &token : tokens) {
            if (!m_error.isEmpty() || token.isEmpty())
                continue;
            if (token == "{")
                openBlock();
            else if (token == "}")
                closeBlock();
            else if (m_inBlock)
                m_numbers.append(token);
            else
                addNameToken(token);
        }
        endMapLine();
    }

    void addNameToken(const QByteArray &token)
    {
        if (m_name.isEmpty())
            m_nameLine = m_line;
        m_name += (m_name.isEmpty() ? QString() : QStringLiteral(" ")) + QString::fromLatin1(token);
        if (m_name.size() > maxIfsNameLength)
            fail(QStringLiteral("a block name is longer than %1 characters").arg(maxIfsNameLength));
    }

    void openBlock()
    {
        if (m_inBlock)
            return fail(QStringLiteral("'{' inside block '%1'; is its '}' missing?").arg(m_blocks.constLast().name));
        if (m_name.isEmpty())
            return fail(QStringLiteral("'{' without a block name before it"));
        if (m_blocks.size() >= maxIfsBlocks)
            return fail(QStringLiteral("more than %1 blocks").arg(maxIfsBlocks));
        m_blocks.append({m_name, m_nameLine, {}});
        m_name.clear();
        m_inBlock = true;
    }

    void closeBlock()
    {
        if (!m_inBlock)
            return fail(QStringLiteral("'}' without a block to close"));
        endMapLine();
        m_inBlock = false;
    }

    void endMapLine()
    {
        if (m_numbers.isEmpty() || !m_error.isEmpty())
            return;
        IfsBlock &block = m_blocks.last();
        const QString where = QStringLiteral("block '%1', map %2: ").arg(block.name).arg(block.maps.size() + 1);
        if (m_numbers.size() != numbersPerMap)
            return fail(where + QStringLiteral("%1 numbers where a map has seven, a b c d e f p")
                                    .arg(m_numbers.size()));
        if (block.maps.size() >= maxTransformations)
            return fail(where + QStringLiteral("more than %1 maps, the most a Vorlane fractal holds")
                                    .arg(maxTransformations));
        double values[numbersPerMap];
        for (int i = 0; i < numbersPerMap; ++i) {
            bool ok = false;
            values[i] = m_numbers.at(i).toDouble(&ok);
            if (!ok || !std::isfinite(values[i]))
                return fail(where + QStringLiteral("'%1' is not a finite number")
                                        .arg(QString::fromLatin1(m_numbers.at(i))));
        }
        if (values[6] < 0.0)
            return fail(where + QStringLiteral("the probability %1 is negative").arg(values[6]));
        block.maps.append({{values[0], values[1], values[2], values[3], values[4], values[5]}, values[6], m_line});
        m_numbers.clear();
    }

    void finish()
    {
        if (m_inBlock)
            return fail(QStringLiteral("block '%1' from line %2 is not closed with '}'")
                            .arg(m_blocks.constLast().name)
                            .arg(m_blocks.constLast().line));
        if (!m_name.isEmpty())
            return fail(QStringLiteral("'%1' is not followed by '{'").arg(m_name));
        if (m_blocks.isEmpty())
            fail(QStringLiteral("no block of maps"));
    }

    QList<IfsBlock> m_blocks;
    QList<QByteArray> m_numbers;
    QString m_name;
    QString m_error;
    int m_nameLine = 0;
    int m_line = 0;
    bool m_inBlock = false;
};

} // namespace

QString exchangeNumber(double value)
{
    return QString::number(value + 0.0, 'g', QLocale::FloatingPointShortest);
}

std::variant<QList<IfsBlock>, IfsTextError> parseIfsText(const QByteArray &text)
{
    return IfsTextParser().parse(text);
}

QByteArray writeIfsText(const QList<IfsBlock> &blocks, const QStringList &comments)
{
    QStringList lines;
    for (const QString &comment : comments)
        lines.append(QStringLiteral("; ") + comment);
    for (const IfsBlock &block : blocks) {
        lines.append(block.name + QStringLiteral(" {"));
        for (const IfsMap &map : block.maps) {
            const AffineMap &m = map.map;
            lines.append(QStringLiteral("  ")
                         + QStringList{exchangeNumber(m.a), exchangeNumber(m.b), exchangeNumber(m.c), exchangeNumber(m.d),
                                       exchangeNumber(m.e), exchangeNumber(m.f), exchangeNumber(map.probability)}
                               .join(QLatin1Char(' ')));
        }
        lines.append(QStringLiteral("}"));
    }
    return lines.join(QLatin1Char('\n')).toLatin1() + '\n';
}

} // namespace Vorlane
