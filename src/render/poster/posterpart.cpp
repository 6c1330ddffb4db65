#include "render/poster/posterpart.h"

#include "document/documentfile.h"
#include "document/fractaldocument.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <vector>

namespace Vorlane {

namespace {

// The file: "VACC", the format's version, the header, the rows of sums in
// compressed chunks (each a QDataStream byte array of qCompress output, the
// sums as little-endian 64-bit numbers), then "END!".
const QByteArray magic = QByteArrayLiteral("VACC");
const QByteArray endMark = QByteArrayLiteral("END!");
constexpr quint32 formatVersion = 1;
constexpr qint64 chunkBytes = qint64(1) << 25;
constexpr int compressionLevel = 1;
constexpr int sumsPerPixel = int(sizeof(PixelSums) / sizeof(quint64));

QString tr(const char *text)
{
    return QCoreApplication::translate("Poster", text);
}

int rowsPerChunk(QSize size)
{
    return int(qMax<qint64>(1, chunkBytes / (qint64(size.width()) * qint64(sizeof(PixelSums)))));
}

void writeHeader(QDataStream &out, const PosterPartHeader &header)
{
    const PosterSettings &s = header.settings;
    out.writeRawData(magic.constData(), int(magic.size()));
    out << formatVersion << header.documentChecksum << header.arithmeticChecksum << header.backColour << qint32(s.size.width())
        << qint32(s.size.height()) << s.points << s.seed << s.zoom << s.centre.has_value()
        << s.centre.value_or(QPointF()) << posterPiecePoints << qint32(header.part) << qint32(header.parts);
}

std::optional<PosterPartHeader> readHeader(QDataStream &in, QString *error)
{
    QByteArray start(magic.size(), '\0');
    quint32 version = 0;
    if (in.readRawData(start.data(), int(start.size())) != magic.size() || start != magic) {
        *error = tr("it is not a poster part file");
        return std::nullopt;
    }
    in >> version;
    if (version != formatVersion) {
        *error = tr("it was written by another version of the program");
        return std::nullopt;
    }
    PosterPartHeader header;
    PosterSettings &s = header.settings;
    qint32 width = 0, height = 0, part = 0, parts = 0;
    bool hasCentre = false;
    QPointF centre;
    qint64 piecePoints = 0;
    in >> header.documentChecksum >> header.arithmeticChecksum >> header.backColour >> width >> height >> s.points >> s.seed >> s.zoom >> hasCentre
        >> centre >> piecePoints >> part >> parts;
    s.size = QSize(width, height);
    if (hasCentre)
        s.centre = centre;
    header.part = part;
    header.parts = parts;
    const bool sensible = width >= 1 && width <= largestPosterSide && height >= 1 && height <= largestPosterSide
                          && parts >= 1 && part >= 1 && part <= parts && piecePoints == posterPiecePoints;
    if (in.status() != QDataStream::Ok || !sensible) {
        *error = tr("it is damaged");
        return std::nullopt;
    }
    return header;
}

// The first way in which other differs from first, or an empty text.
QString difference(const PosterPartHeader &first, const PosterPartHeader &other)
{
    if (other.documentChecksum != first.documentChecksum || other.backColour != first.backColour)
        return tr("is a part of another document");
    if (other.arithmeticChecksum != first.arithmeticChecksum)
        return tr("was worked out by other mathematics (another machine's sines and cosines)");
    const PosterSettings &a = first.settings;
    const PosterSettings &b = other.settings;
    const std::pair<bool, const char *> options[] = {
        {a.size == b.size, QT_TRANSLATE_NOOP("Poster", "size")},
        {a.points == b.points, QT_TRANSLATE_NOOP("Poster", "number of points")},
        {a.seed == b.seed, QT_TRANSLATE_NOOP("Poster", "seed")},
        {a.zoom == b.zoom, QT_TRANSLATE_NOOP("Poster", "zoom")},
        {a.centre == b.centre, QT_TRANSLATE_NOOP("Poster", "centre")},
        {first.parts == other.parts, QT_TRANSLATE_NOOP("Poster", "number of parts")},
    };
    for (const auto &[same, option] : options) {
        if (!same)
            return tr("was rendered with another %1").arg(tr(option));
    }
    return QString();
}

bool writeSums(QDataStream &out, const PosterAccumulation &sums)
{
    const QSize size = sums.size();
    const int rows = rowsPerChunk(size);
    QByteArray raw;
    for (int y = 0; y < size.height(); y += rows) {
        const int count = qMin(rows, size.height() - y);
        const qsizetype numbers = qsizetype(count) * size.width() * sumsPerPixel;
        raw.resize(numbers * qsizetype(sizeof(quint64)));
        qToLittleEndian<quint64>(sums.row(y), numbers, raw.data());
        out << qCompress(raw, compressionLevel);
        if (out.status() != QDataStream::Ok)
            return false;
    }
    out.writeRawData(endMark.constData(), int(endMark.size()));
    return out.status() == QDataStream::Ok;
}

// Adds the next chunk of the file, of pixels sums, to the pixels at to.
bool addChunk(QDataStream &in, PixelSums *to, qsizetype pixels)
{
    QByteArray compressed;
    in >> compressed;
    const QByteArray raw = qUncompress(compressed);
    const qsizetype numbers = pixels * sumsPerPixel;
    if (in.status() != QDataStream::Ok || raw.size() != numbers * qsizetype(sizeof(quint64)))
        return false;
    const auto *from = reinterpret_cast<const uchar *>(raw.constData());
    for (qsizetype x = 0; x < pixels; ++x, from += sumsPerPixel * sizeof(quint64)) {
        const quint64 weight = qFromLittleEndian<quint64>(from);
        // A pixel no point reached has no colour either; leaving it
        // untouched keeps the memory of empty areas unused.
        if (weight == 0)
            continue;
        to[x].weight += weight;
        to[x].red += qFromLittleEndian<quint64>(from + 8);
        to[x].green += qFromLittleEndian<quint64>(from + 16);
        to[x].blue += qFromLittleEndian<quint64>(from + 24);
    }
    return true;
}

bool endsWhole(QDataStream &in)
{
    QByteArray end(endMark.size(), '\0');
    return in.readRawData(end.data(), int(end.size())) == endMark.size() && end == endMark;
}

void prepare(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::LittleEndian);
}

struct OpenPart
{
    std::unique_ptr<QFile> file;
    std::unique_ptr<QDataStream> stream;
    PosterPartHeader header;
};

std::optional<OpenPart> openPart(const QString &path, QString *error)
{
    OpenPart part{std::make_unique<QFile>(path), nullptr, {}};
    if (!part.file->open(QIODevice::ReadOnly)) {
        *error = tr("'%1' cannot be read: %2").arg(path, part.file->errorString());
        return std::nullopt;
    }
    part.stream = std::make_unique<QDataStream>(part.file.get());
    prepare(*part.stream);
    QString reason;
    const std::optional<PosterPartHeader> header = readHeader(*part.stream, &reason);
    if (!header) {
        *error = tr("'%1' cannot be merged: %2.").arg(path, reason);
        return std::nullopt;
    }
    part.header = *header;
    return part;
}

QString damaged(const QString &path)
{
    return tr("'%1' cannot be merged: it is damaged.").arg(path);
}

// Each part 1 to parts exactly once, or the error naming the first that is not.
QString checkPartNumbers(const std::vector<PosterPartHeader> &parts, const QStringList &paths)
{
    const int count = parts.front().parts;
    std::vector<int> holder(std::size_t(count) + 1, -1);
    for (int i = 0; i < int(parts.size()); ++i) {
        int &first = holder[std::size_t(parts[i].part)];
        if (first >= 0)
            return tr("Part %1 of %2 is given twice: '%3' and '%4'.")
                .arg(parts[i].part)
                .arg(count)
                .arg(paths[first], paths[i]);
        first = i;
    }
    for (int k = 1; k <= count; ++k) {
        if (holder[std::size_t(k)] < 0)
            return tr("Part %1 of %2 is missing.").arg(k).arg(count);
    }
    return QString();
}

// The header the parts at paths share, or the error naming the first that
// does not belong with the others or the part that is missing. The files
// are opened one at a time: a merge may have more parts than a process may
// open files.
std::optional<PosterPartHeader> sharedHeader(const QStringList &paths, QString *error)
{
    std::vector<PosterPartHeader> headers;
    for (const QString &path : paths) {
        const std::optional<OpenPart> part = openPart(path, error);
        if (!part)
            return std::nullopt;
        const QString different = headers.empty() ? QString() : difference(headers.front(), part->header);
        if (!different.isEmpty()) {
            *error = QStringLiteral("'%1' %2 than '%3'.").arg(path, different, paths.constFirst());
            return std::nullopt;
        }
        headers.push_back(part->header);
    }
    if (headers.empty()) {
        *error = tr("Give the parts to merge.");
        return std::nullopt;
    }
    *error = checkPartNumbers(headers, paths);
    if (!error->isEmpty())
        return std::nullopt;
    return headers.front();
}

// The parts' sums a band of rows at a time, the rows of one chunk of every
// part. Each file is open only while a chunk is read from it.
class PartBands
{
public:
    PartBands(const QStringList &paths, QSize size)
        : m_paths(paths)
        , m_size(size)
        , m_rowsPerBand(rowsPerChunk(size))
        , m_next(std::size_t(paths.size()), -1)
    {
    }

    int count() const { return (m_size.height() + m_rowsPerBand - 1) / m_rowsPerBand; }
    int firstRow(int band) const { return band * m_rowsPerBand; }
    int rows(int band) const { return qMin(m_rowsPerBand, m_size.height() - firstRow(band)); }

    // Sets sums to the band's sums of every part; the bands must come in
    // order.
    bool add(int band, std::vector<PixelSums> &sums, QString *error)
    {
        const qsizetype pixels = qsizetype(rows(band)) * m_size.width();
        std::fill(sums.begin(), sums.begin() + pixels, PixelSums());
        for (int i = 0; i < m_paths.size(); ++i) {
            std::optional<OpenPart> part = openPart(m_paths[i], error);
            if (!part)
                return false;
            if (m_next[i] >= 0 && !part->file->seek(m_next[i])) {
                *error = damaged(m_paths[i]);
                return false;
            }
            if (!addChunk(*part->stream, sums.data(), pixels) || (band + 1 == count() && !endsWhole(*part->stream))) {
                *error = damaged(m_paths[i]);
                return false;
            }
            m_next[i] = part->file->pos();
        }
        return true;
    }

private:
    const QStringList &m_paths;
    const QSize m_size;
    const int m_rowsPerBand;
    // Where each part's next chunk begins, -1 before the first.
    std::vector<qint64> m_next;
};

} // namespace

PosterPartHeader posterPartHeader(const FractalDocument &document, const PosterSettings &settings, int part,
                                  int parts)
{
    return {QCryptographicHash::hash(encodeDocument(document), QCryptographicHash::Sha256),
            posterArithmeticChecksum(document), document.colours.backColour, settings, part, parts};
}

bool writePosterPart(const PosterPartHeader &header, const PosterAccumulation &sums, const QString &path,
                     QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QDataStream out(&file);
    prepare(out);
    writeHeader(out, header);
    if (!writeSums(out, sums)) {
        *error = file.error() != QFileDevice::NoError ? file.errorString() : tr("the sums could not be written");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

MergedPicture mergePosterPicture(const QStringList &paths, PosterToneMapping tone)
{
    MergedPicture merged;
    const std::optional<PosterPartHeader> header = sharedHeader(paths, &merged.error);
    if (!header)
        return merged;
    merged.header = *header;
    tone.backColour = header->backColour;
    const QSize size = header->settings.size;
    QImage picture = blankPosterPicture(size, tone, &merged.error);
    std::vector<PixelSums> sums;
    try {
        sums.resize(std::size_t(rowsPerChunk(size)) * std::size_t(size.width()));
    } catch (const std::bad_alloc &) {
        merged.error = tr("There is not enough memory to merge the parts.");
    }
    if (picture.isNull() || sums.empty())
        return merged;
    // Every band's tone needs the densest pixel of the whole poster, so the
    // parts are read twice: for it, and for the picture.
    PartBands densest(paths, size);
    quint64 largest = 0;
    for (int band = 0; band < densest.count(); ++band) {
        if (!densest.add(band, sums, &merged.error))
            return merged;
        largest = qMax(largest, largestWeight(sums.data(), qint64(densest.rows(band)) * size.width()));
    }
    PartBands toned(paths, size);
    for (int band = 0; band < toned.count(); ++band) {
        if (!toned.add(band, sums, &merged.error))
            return merged;
        tonePosterRows(picture, tone, largest, toned.firstRow(band), sums.data(), toned.rows(band));
    }
    merged.picture = picture;
    return merged;
}

} // namespace Vorlane
