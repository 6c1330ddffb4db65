#include "convert/ifstext.h"

#include "document/fractaldocument.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <optional>
#include <utility>

namespace Vorlane {

namespace {

constexpr int numbersPerMap = 7;
constexpr int numbersPerThreeDMap = 13;

// A block's numbers as they come, whatever the lines; every map's worth
// becomes a map.
class BlockNumbers
{
public:
    explicit BlockNumbers(IfsBlock block)
        : m_block(std::move(block))
    {
    }

    // Why the token cannot be the block's next number, or an empty text.
    QString add(const QByteArray &token, int line)
    {
        if (m_pending.isEmpty())
            m_mapLine = line;
        if (!m_block.threeD && m_pending.isEmpty() && m_block.maps.size() >= maxTransformations)
            return where() + QStringLiteral("more than %1 maps, the most a Vorlane fractal holds").arg(maxTransformations);
        bool ok = false;
        const double value = token.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return where() + QStringLiteral("'%1' is not a finite number%2")
                                 .arg(escapedControls(QString::fromUtf8(token)),
                                      ok || !m_pending.isEmpty() ? QString() : QStringLiteral("; is a '}' missing?"));
        m_pending.append(value);
        ++m_count;
        return m_pending.size() == perMap() ? endMap() : QString();
    }

    // The block, or why its numbers do not end in a whole map.
    std::variant<IfsBlock, QString> finish() const
    {
        if (!m_pending.isEmpty())
            return QStringLiteral("block '%1': %2 numbers, which is not a whole number of maps (%3 numbers a map%4)")
                .arg(escapedControls(m_block.name))
                .arg(m_count)
                .arg(perMap())
                .arg(m_block.threeD ? QString() : QStringLiteral(": a b c d e f p"));
        return m_block;
    }

    const IfsBlock &block() const { return m_block; }
    bool isEmpty() const { return m_count == 0; }

private:
    int perMap() const { return m_block.threeD ? numbersPerThreeDMap : numbersPerMap; }

    QString where() const
    {
        return QStringLiteral("block '%1', map %2: ").arg(escapedControls(m_block.name)).arg(m_block.mapCount() + 1);
    }

    QString endMap()
    {
        const QList<double> v = std::exchange(m_pending, {});
        if (v.constLast() < 0.0)
            return where() + QStringLiteral("the probability %1 is negative").arg(v.constLast());
        if (m_block.threeD)
            ++m_block.threeDMapCount;
        else
            m_block.maps.append({{v[0], v[1], v[2], v[3], v[4], v[5]}, v[6], m_mapLine});
        return QString();
    }

    IfsBlock m_block;
    QList<double> m_pending;
    qsizetype m_count = 0;
    int m_mapLine = 0;
};

bool isNumber(const QByteArray &token)
{
    bool ok = false;
    token.toDouble(&ok);
    return ok;
}

class IfsTextParser
{
public:
    explicit IfsTextParser(const QString &legacyName)
        : m_legacy(IfsBlock{legacyName, 1, {}})
    {
    }

    std::variant<QList<IfsBlock>, IfsTextError> parse(QByteArray text)
    {
        if (text.size() > maxIfsTextSize)
            return IfsTextError{QStringLiteral("the file is larger than %1 bytes").arg(maxIfsTextSize)};
        if (text.startsWith("\xff\xfe") || text.startsWith("\xfe\xff"))
            return IfsTextError{QStringLiteral("the file is UTF-16 text, and it must be UTF-8 or ASCII text")};
        if (text.startsWith("\xef\xbb\xbf"))
            text.remove(0, 3);
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
        if (m_error.isEmpty() && !message.isEmpty())
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
            else if (m_block)
                fail(m_block->add(token, m_line));
            else
                addOutsideToken(token);
        }
    }

    // Outside a block a token belongs to the next block's name, unless the
    // text turns out to be numbers alone, the layout without braces.
    void addOutsideToken(const QByteArray &token)
    {
        if (m_name.isEmpty())
            m_nameLine = m_line;
        // A byte-order mark alone decodes to nothing, and must not leave two
        // blanks in the name, which would not read back the same.
        const QString part = QString::fromUtf8(token);
        if (m_name.size() <= maxIfsNameLength && !part.isEmpty())
            m_name += (m_name.isEmpty() ? QString() : QStringLiteral(" ")) + part;
        m_onlyNumbers = m_onlyNumbers && isNumber(token);
        if (m_onlyNumbers && m_blocks.isEmpty() && m_legacyError.isEmpty())
            m_legacyError = m_legacy.add(token, m_line);
        if (!m_onlyNumbers && m_name.size() > maxIfsNameLength)
            fail(QStringLiteral("a block name is longer than %1 characters").arg(maxIfsNameLength));
    }

    void openBlock()
    {
        if (m_block)
            return fail(QStringLiteral("'{' inside block '%1'; is its '}' missing?")
                            .arg(escapedControls(m_block->block().name)));
        if (m_name.isEmpty())
            return fail(QStringLiteral("'{' without a block name before it"));
        if (m_name.size() > maxIfsNameLength)
            return fail(QStringLiteral("a block name is longer than %1 characters").arg(maxIfsNameLength));
        if (m_blocks.size() >= maxIfsBlocks)
            return fail(QStringLiteral("more than %1 blocks").arg(maxIfsBlocks));
        static const QRegularExpression threeDMarker(QStringLiteral("\\s*\\(3d\\)$"),
                                                     QRegularExpression::CaseInsensitiveOption);
        IfsBlock block{m_name, m_nameLine, {}};
        block.threeD = block.name.contains(threeDMarker);
        block.name.remove(threeDMarker);
        m_block.emplace(block);
        m_name.clear();
        m_onlyNumbers = true;
    }

    void closeBlock()
    {
        if (!m_block)
            return fail(QStringLiteral("'}' without a block to close"));
        addBlock(*m_block);
        m_block.reset();
    }

    void addBlock(const BlockNumbers &numbers)
    {
        const auto finished = numbers.finish();
        if (const auto *message = std::get_if<QString>(&finished))
            return fail(*message);
        m_blocks.append(std::get<IfsBlock>(finished));
    }

    void finish()
    {
        if (m_block)
            return fail(QStringLiteral("block '%1' from line %2 is not closed with '}'")
                            .arg(escapedControls(m_block->block().name))
                            .arg(m_block->block().line));
        if (m_blocks.isEmpty() && m_onlyNumbers && !m_legacy.isEmpty()) {
            fail(m_legacyError);
            return addBlock(m_legacy);
        }
        if (!m_name.isEmpty())
            return fail(QStringLiteral("'%1' is not followed by '{'").arg(escapedControls(m_name)));
        if (m_blocks.isEmpty())
            fail(QStringLiteral("no block of maps"));
    }

    QList<IfsBlock> m_blocks;
    std::optional<BlockNumbers> m_block; // the open block
    BlockNumbers m_legacy;
    QString m_legacyError;
    QString m_name;
    QString m_error;
    int m_nameLine = 0;
    int m_line = 0;
    bool m_onlyNumbers = true;
};

} // namespace

QString escapedControls(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

QString exchangeNumber(double value)
{
    return QString::number(value + 0.0, 'g', QLocale::FloatingPointShortest);
}

std::variant<QList<IfsBlock>, IfsTextError> parseIfsText(const QByteArray &text, const QString &legacyName)
{
    return IfsTextParser(legacyName).parse(text);
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
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

} // namespace Vorlane
