#include "render/picturefile/parallelpng.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace Vorlane {

namespace {

// How a row of the image becomes a row of the file.
struct RowLayout
{
    int bytesPerPixel;
    quint8 colourType; // 2 RGB, 6 RGBA
    quint8 bitDepth;
};

RowLayout layoutOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
        return {3, 2, 8};
    case QImage::Format_ARGB32:
        return {4, 6, 8};
    case QImage::Format_RGBX64:
        return {6, 2, 16};
    case QImage::Format_RGBA64:
        return {8, 6, 16};
    default:
        return {0, 0, 0};
    }
}

// The file's bytes of row y: red, green, blue (and alpha), 16-bit values
// with the high byte first.
void fileRow(const QImage &image, const RowLayout &layout, int y, uchar *out)
{
    const int width = image.width();
    if (layout.bitDepth == 8) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const bool alpha = layout.colourType == 6;
        for (int x = 0; x < width; ++x) {
            *out++ = uchar(qRed(pixels[x]));
            *out++ = uchar(qGreen(pixels[x]));
            *out++ = uchar(qBlue(pixels[x]));
            if (alpha)
                *out++ = uchar(qAlpha(pixels[x]));
        }
        return;
    }
    const auto *pixels = reinterpret_cast<const QRgba64 *>(image.constScanLine(y));
    const int components = layout.bytesPerPixel / 2;
    for (int x = 0; x < width; ++x) {
        const quint16 values[4] = {pixels[x].red(), pixels[x].green(), pixels[x].blue(), pixels[x].alpha()};
        for (int c = 0; c < components; ++c) {
            qToBigEndian(values[c], out);
            out += 2;
        }
    }
}

// One band of rows compressed as raw deflate data that ends on a byte
// boundary (the last band closes the stream), with the Adler-32 checksum and
// length of what it compressed.
struct CompressedBand
{
    std::vector<uchar> bytes;
    uLong adler = 1;
    qint64 length = 0;
    bool failed = false;
};

constexpr int compressionLevel = 6;

class BandCompressor
{
public:
    BandCompressor(const QImage &image, const RowLayout &layout)
        : m_image(image)
        , m_layout(layout)
        , m_rowBytes(std::size_t(image.width()) * std::size_t(layout.bytesPerPixel))
    {
    }

    // Rows first to end − 1, each with the Up filter (its difference from the
    // row above), which a band can work out without the band before.
    CompressedBand compress(int first, int end, bool last) const
    {
        CompressedBand band;
        z_stream stream{};
        if (deflateInit2(&stream, compressionLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            band.failed = true;
            return band;
        }
        std::vector<uchar> above(m_rowBytes + 1, 0);
        std::vector<uchar> row(m_rowBytes + 1, 0);
        std::vector<uchar> filtered(m_rowBytes + 1, 2);
        if (first > 0)
            fileRow(m_image, m_layout, first - 1, above.data() + 1);
        for (int y = first; y < end && !band.failed; ++y) {
            fileRow(m_image, m_layout, y, row.data() + 1);
            for (std::size_t i = 1; i <= m_rowBytes; ++i)
                filtered[i] = uchar(row[i] - above[i]);
            band.adler = adler32(band.adler, filtered.data(), uInt(filtered.size()));
            band.length += qint64(filtered.size());
            const int flush = y + 1 < end ? Z_NO_FLUSH : (last ? Z_FINISH : Z_SYNC_FLUSH);
            band.failed = !deflateInto(stream, filtered, flush, band.bytes);
            std::swap(above, row);
        }
        deflateEnd(&stream);
        return band;
    }

private:
    // Compresses input onto the end of output; with Z_FINISH until the
    // stream's end, otherwise until deflate has taken all of it.
    static bool deflateInto(z_stream &stream, std::vector<uchar> &input, int flush, std::vector<uchar> &output)
    {
        constexpr std::size_t room = 1 << 14;
        stream.next_in = input.data();
        stream.avail_in = uInt(input.size());
        for (;;) {
            const std::size_t used = output.size();
            output.resize(used + room);
            stream.next_out = output.data() + used;
            stream.avail_out = uInt(room);
            const int result = deflate(&stream, flush);
            output.resize(used + room - stream.avail_out);
            if (result == Z_STREAM_ERROR)
                return false;
            if (stream.avail_out != 0 && stream.avail_in == 0)
                return flush != Z_FINISH || result == Z_STREAM_END;
        }
    }

    const QImage &m_image;
    const RowLayout m_layout;
    const std::size_t m_rowBytes;
};

void appendChunk(QByteArray &file, const char *type, const char *data, qsizetype length)
{
    uchar header[8];
    qToBigEndian(quint32(length), header);
    std::copy(type, type + 4, header + 4);
    file.append(reinterpret_cast<const char *>(header), 8);
    file.append(data, length);
    uLong crc = crc32(0, header + 4, 4);
    if (length > 0) // with no bytes crc32 starts afresh
        crc = crc32(crc, reinterpret_cast<const Bytef *>(data), uInt(length));
    uchar check[4];
    qToBigEndian(quint32(crc), check);
    file.append(reinterpret_cast<const char *>(check), 4);
}

QByteArray headerChunkData(const QImage &image, const RowLayout &layout)
{
    QByteArray data(13, '\0');
    qToBigEndian(quint32(image.width()), data.data());
    qToBigEndian(quint32(image.height()), data.data() + 4);
    data[8] = char(layout.bitDepth);
    data[9] = char(layout.colourType);
    return data; // deflate, adaptive filters, no interlace: all 0
}

QByteArray physicalSizeData(const QImage &image)
{
    QByteArray data(9, '\0');
    qToBigEndian(quint32(image.dotsPerMeterX()), data.data());
    qToBigEndian(quint32(image.dotsPerMeterY()), data.data() + 4);
    data[8] = 1; // per metre
    return data;
}

// Bands of about 1 MiB of rows, a size that depends on the image alone, so
// that every machine writes the same bytes; each compressed by whichever
// thread comes free, the calling one too.
std::vector<CompressedBand> compressBands(const QImage &image, const RowLayout &layout)
{
    const qint64 rowBytes = qint64(image.width()) * layout.bytesPerPixel + 1;
    const qint64 rowsPerBand = std::max<qint64>(16, (qint64(1) << 20) / rowBytes);
    const int bandCount = int((image.height() + rowsPerBand - 1) / rowsPerBand);
    const int threads = int(qBound(1u, std::thread::hardware_concurrency(), 64u));
    std::vector<CompressedBand> bands(static_cast<std::size_t>(bandCount));
    const BandCompressor compressor(image, layout);
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int b = next++; b < bandCount; b = next++) {
            const auto bound = [&](int k) { return int(qint64(image.height()) * k / bandCount); };
            bands[std::size_t(b)] = compressor.compress(bound(b), bound(b + 1), b + 1 == bandCount);
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(work);
    } catch (const std::system_error &) {
        // Fewer helpers: the others' bands are done here.
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return bands;
}

} // namespace

bool encodesPngInParallel(QImage::Format format)
{
    return layoutOf(format).bytesPerPixel > 0;
}

QByteArray encodePngInParallel(const QImage &image)
{
    const RowLayout layout = layoutOf(image.format());
    if (layout.bytesPerPixel == 0 || image.isNull())
        return QByteArray();
    try {
        const std::vector<CompressedBand> bands = compressBands(image, layout);
        // The zlib stream: its header (32 KiB window, no dictionary), the
        // bands' deflate data one after the other, the checksum of all.
        QByteArray stream("\x78\x9c", 2);
        uLong adler = 1;
        for (const CompressedBand &band : bands) {
            if (band.failed)
                return QByteArray();
            stream.append(reinterpret_cast<const char *>(band.bytes.data()), qsizetype(band.bytes.size()));
            adler = adler32_combine(adler, band.adler, z_off_t(band.length));
        }
        char check[4];
        qToBigEndian(quint32(adler), check);
        stream.append(check, 4);

        QByteArray file("\x89PNG\r\n\x1a\n", 8);
        const QByteArray header = headerChunkData(image, layout);
        appendChunk(file, "IHDR", header.constData(), header.size());
        if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
            const QByteArray size = physicalSizeData(image);
            appendChunk(file, "pHYs", size.constData(), size.size());
        }
        constexpr qsizetype largestChunk = qsizetype(1) << 30;
        for (qsizetype at = 0; at < stream.size(); at += largestChunk)
            appendChunk(file, "IDAT", stream.constData() + at, std::min(largestChunk, stream.size() - at));
        appendChunk(file, "IEND", nullptr, 0);
        return file;
    } catch (const std::bad_alloc &) {
        return QByteArray();
    }
}

} // namespace Vorlane
