#include "gifencoder.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace Vorlane {

namespace {

constexpr int maxCodes = 4096;

void appendWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
}

QRgb cubeColour(QRgb rgb)
{
    const auto level = [](int component, int levels) { return (component * (levels - 1) + 127) / 255 * 255 / (levels - 1); };
    return qRgb(level(qRed(rgb), 6), level(qGreen(rgb), 7), level(qBlue(rgb), 6));
}

// The colour table shared by every frame, and each colour's index in it.
class Palette
{
public:
    explicit Palette(const QList<GifFrame> &frames)
    {
        QList<QRgb> exact;
        for (const GifFrame &frame : frames)
            collect(frame.image, exact, false);
        m_reduced = exact.size() > 256;
        if (m_reduced) {
            m_colours.clear();
            m_index.clear();
            for (const GifFrame &frame : frames)
                collect(frame.image, m_colours, true);
        } else {
            m_colours = exact;
        }
        m_bits = 1;
        while ((1 << m_bits) < m_colours.size())
            ++m_bits;
        m_colours.resize(1 << m_bits, qRgb(0, 0, 0));
    }

    int bits() const { return m_bits; }
    const QList<QRgb> &colours() const { return m_colours; }
    int indexOf(QRgb rgb) const { return m_index.value((m_reduced ? cubeColour(rgb) : rgb) & 0xffffff); }

private:
    void collect(const QImage &image, QList<QRgb> &colours, bool reduce)
    {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x) {
                const QRgb colour = (reduce ? cubeColour(line[x]) : line[x]) & 0xffffff;
                if (!m_index.contains(colour)) {
                    m_index.insert(colour, int(colours.size()));
                    colours.append(colour);
                }
            }
        }
    }

    QList<QRgb> m_colours;
    QHash<QRgb, int> m_index;
    bool m_reduced = false;
    int m_bits = 1;
};

// Variable-length LZW codes packed from the lowest bit up, cut into
// sub-blocks of at most 255 bytes.
class CodeWriter
{
public:
    void write(int code, int size)
    {
        m_buffer |= quint32(code) << m_bitCount;
        m_bitCount += size;
        while (m_bitCount >= 8) {
            m_bytes.append(char(m_buffer & 0xff));
            m_buffer >>= 8;
            m_bitCount -= 8;
        }
    }

    QByteArray blocks()
    {
        if (m_bitCount > 0)
            m_bytes.append(char(m_buffer & 0xff));
        QByteArray out;
        for (qsizetype start = 0; start < m_bytes.size(); start += 255) {
            const QByteArray block = m_bytes.mid(start, 255);
            out.append(char(block.size())).append(block);
        }
        return out.append('\0');
    }

private:
    QByteArray m_bytes;
    quint32 m_buffer = 0;
    int m_bitCount = 0;
};

QByteArray compress(const std::vector<quint8> &indices, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    CodeWriter writer;
    std::vector<qint16> table(size_t(maxCodes) * 256, -1);
    int nextCode = endCode + 1;
    int codeSize = minCodeSize + 1;

    // A decoder widens its codes one code later than the table grows, so
    // the width is raised after a code is written, before its entry is made.
    const auto put = [&](int code) {
        writer.write(code, codeSize);
        if (nextCode >= (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };

    put(clearCode);
    int prefix = indices.front();
    for (size_t i = 1; i < indices.size(); ++i) {
        const int pixel = indices[i];
        qint16 &entry = table[size_t(prefix) * 256 + size_t(pixel)];
        if (entry >= 0) {
            prefix = entry;
            continue;
        }
        put(prefix);
        prefix = pixel;
        if (nextCode >= maxCodes - 1) {
            put(clearCode);
            std::fill(table.begin(), table.end(), qint16(-1));
            nextCode = endCode + 1;
            codeSize = minCodeSize + 1;
        } else {
            entry = qint16(nextCode++);
        }
    }
    put(prefix);
    put(endCode);
    return writer.blocks();
}

std::vector<quint8> paletteIndices(const QImage &image, const Palette &palette)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<quint8> indices;
    indices.reserve(size_t(rgb.width()) * size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            indices.push_back(quint8(palette.indexOf(line[x])));
    }
    return indices;
}

} // namespace

QByteArray encodeAnimatedGif(const QList<GifFrame> &frames)
{
    if (frames.isEmpty())
        return QByteArray();
    const QSize size = frames.constFirst().image.size();
    const Palette palette(frames);

    QByteArray out("GIF89a");
    appendWord(out, size.width());
    appendWord(out, size.height());
    out.append(char(0x80 | ((palette.bits() - 1) << 4) | (palette.bits() - 1))); // global colour table
    out.append('\0').append('\0');
    for (const QRgb colour : palette.colours())
        out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19); // loop forever

    const int minCodeSize = std::max(2, palette.bits());
    for (const GifFrame &frame : frames) {
        out.append("\x21\xf9\x04\x04", 4); // graphic control: keep the frame in place
        appendWord(out, frame.delayCentiseconds);
        out.append('\0').append('\0');
        out.append('\x2c');
        appendWord(out, 0);
        appendWord(out, 0);
        appendWord(out, size.width());
        appendWord(out, size.height());
        out.append('\0');
        out.append(char(minCodeSize));
        out.append(compress(paletteIndices(frame.image.scaled(size), palette), minCodeSize));
    }
    return out.append('\x3b');
}

} // namespace Vorlane
