#include "render/poster/posterpart.h"

#include "common/filestore.h"
#include "document/documentfile.h"
#include "document/fractaldocument.h"
#include "render/poster/postersupersample.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QtEndian>

#include <vector>

#include <zlib.h>

namespace Vorlane {

namespace {

// The file: "VACC", the format's version, the header, the rows of sums in
// compressed chunks (each a QDataStream byte array of qCompress output, the
// sums as little-endian 64-bit numbers), then "END!". The second version adds
// the colouring, the skip and the supersampling to the header; it is written
// only for posters that use them, so that any other poster's part is the
// same file as before.
const QByteArray magic = QByteArrayLiteral("VACC");
const QByteArray endMark = QByteArrayLiteral("END!");
constexpr quint32 firstVersion = 1;
constexpr quint32 formatVersion = 2;
constexpr int longestPaletteName = 4096;
constexpr qint64 chunkBytes = qint64(1) << 25;
constexpr int compressionLevel = 1;
constexpr int sumsPerPixel = int(sizeof(PixelSums) / sizeof(quint64));
// SHA-256, 32 bytes, with room to spare.
constexpr quint32 longestChecksum = 64;
// qCompress puts the uncompressed size before zlib's stream.
constexpr qsizetype sizePrefixBytes = 4;

QString tr(const char *text)
{
    return QCoreApplication::translate("Poster", text);
}

int rowsPerChunk(QSize size)
{
    return int(qMax<qint64>(1, chunkBytes / (qint64(size.width()) * qint64(sizeof(PixelSums)))));
}

bool usesSecondVersion(const PosterSettings &settings)
{
    const PosterSettings plain;
    return settings.palette != plain.palette || settings.colourBy != plain.colourBy || settings.skip != plain.skip
           || settings.supersample != plain.supersample;
}

void writeSecondVersionOptions(QDataStream &out, const PosterSettings &s)
{
    out << s.palette.name << s.palette.gradient.has_value();
    for (qint32 colour : s.palette.gradient.value_or(PosterGradient{}))
        out << colour;
    out << qint32(s.colourBy) << qint32(s.skip) << qint32(s.supersample);
}

// False for values no poster has.
bool readSecondVersionOptions(QDataStream &in, PosterSettings &s)
{
    bool hasGradient = false;
    PosterGradient gradient{};
    qint32 colourBy = 0, skip = 0, supersample = 0;
    in >> s.palette.name >> hasGradient;
    for (qint32 &colour : gradient)
        in >> colour;
    in >> colourBy >> skip >> supersample;
    if (hasGradient)
        s.palette.gradient = gradient;
    s.colourBy = PosterColourBy(colourBy);
    s.skip = skip;
    s.supersample = supersample;
    return s.palette.name.size() <= longestPaletteName && (colourBy == 0 || colourBy == 1) && skip >= 0
           && supersample >= 1 && supersample <= largestSupersample
           && qMax(s.size.width(), s.size.height()) * supersample <= largestPosterSide;
}

void writeHeader(QDataStream &out, const PosterPartHeader &header)
{
    const PosterSettings &s = header.settings;
    const bool second = usesSecondVersion(s);
    out.writeRawData(magic.constData(), int(magic.size()));
    out << (second ? formatVersion : firstVersion) << header.documentChecksum << header.arithmeticChecksum << header.backColour << qint32(s.size.width())
        << qint32(s.size.height()) << s.points << s.seed << s.zoom << s.centre.has_value()
        << s.centre.value_or(QPointF()) << posterPiecePoints << qint32(header.part) << qint32(header.parts);
    if (second)
        writeSecondVersionOptions(out, s);
}

// A byte array as QDataStream writes it, refused unless it holds at most
// maxBytes and the stream still has them: a length read from a hostile file
// decides no allocation.
bool readBoundedBytes(QDataStream &in, QByteArray &into, quint32 maxBytes)
{
    quint32 length = 0;
    in >> length;
    const QIODevice *device = in.device();
    if (in.status() != QDataStream::Ok || length > maxBytes || length > device->size() - device->pos())
        return false;
    into.resize(length);
    return in.readRawData(into.data(), int(length)) == int(length);
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
    if (version != firstVersion && version != formatVersion) {
        *error = tr("it was written by another version of the program");
        return std::nullopt;
    }
    PosterPartHeader header;
    PosterSettings &s = header.settings;
    qint32 width = 0, height = 0, part = 0, parts = 0;
    bool hasCentre = false;
    QPointF centre;
    qint64 piecePoints = 0;
    if (!readBoundedBytes(in, header.documentChecksum, longestChecksum)
        || !readBoundedBytes(in, header.arithmeticChecksum, longestChecksum)) {
        *error = tr("it is damaged");
        return std::nullopt;
    }
    in >> header.backColour >> width >> height >> s.points >> s.seed >> s.zoom >> hasCentre >> centre >> piecePoints
        >> part >> parts;
    s.size = QSize(width, height);
    if (hasCentre)
        s.centre = centre;
    header.part = part;
    header.parts = parts;
    bool sensible = width >= 1 && width <= largestPosterSide && height >= 1 && height <= largestPosterSide
                    && parts >= 1 && parts <= mostPosterParts && part >= 1 && part <= parts
                    && piecePoints == posterPiecePoints;
    if (version == formatVersion)
        sensible = readSecondVersionOptions(in, s) && sensible;
    if (in.status() != QDataStream::Ok || !sensible) {
        *error = tr("it is damaged");
        return std::nullopt;
    }
    return header;
}

template<auto field>
bool sameField(const PosterPartHeader &a, const PosterPartHeader &b)
{
    return a.*field == b.*field;
}

template<auto setting>
bool sameSetting(const PosterPartHeader &a, const PosterPartHeader &b)
{
    return a.settings.*setting == b.settings.*setting;
}

const SharedPartField sharedFields[] = {
    {"document", QT_TRANSLATE_NOOP("Poster", "is a part of another document"),
     sameField<&PosterPartHeader::documentChecksum>},
    {"background colour", QT_TRANSLATE_NOOP("Poster", "is a part of another document"),
     sameField<&PosterPartHeader::backColour>},
    {"mathematics",
     QT_TRANSLATE_NOOP("Poster", "was worked out by other mathematics (another machine's sines and cosines)"),
     sameField<&PosterPartHeader::arithmeticChecksum>},
    {"size", QT_TRANSLATE_NOOP("Poster", "was rendered with another size"), sameSetting<&PosterSettings::size>},
    {"points", QT_TRANSLATE_NOOP("Poster", "was rendered with another number of points"),
     sameSetting<&PosterSettings::points>},
    {"seed", QT_TRANSLATE_NOOP("Poster", "was rendered with another seed"), sameSetting<&PosterSettings::seed>},
    {"zoom", QT_TRANSLATE_NOOP("Poster", "was rendered with another zoom"), sameSetting<&PosterSettings::zoom>},
    {"centre", QT_TRANSLATE_NOOP("Poster", "was rendered with another centre"), sameSetting<&PosterSettings::centre>},
    {"palette", QT_TRANSLATE_NOOP("Poster", "was rendered with another palette"),
     sameSetting<&PosterSettings::palette>},
    {"colour mode", QT_TRANSLATE_NOOP("Poster", "was rendered with another colour mode"),
     sameSetting<&PosterSettings::colourBy>},
    {"skip", QT_TRANSLATE_NOOP("Poster", "was rendered with another skip"), sameSetting<&PosterSettings::skip>},
    {"supersampling", QT_TRANSLATE_NOOP("Poster", "was rendered with another supersampling"),
     sameSetting<&PosterSettings::supersample>},
    {"parts", QT_TRANSLATE_NOOP("Poster", "was rendered with another number of parts"),
     sameField<&PosterPartHeader::parts>},
};

// The first way in which other differs from first, or an empty text.
QString difference(const PosterPartHeader &first, const PosterPartHeader &other)
{
    for (const SharedPartField &field : sharedFields) {
        if (!field.same(first, other))
            return tr(field.refusal);
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

// The most bytes zlib's stream of rawBytes may take, and the size prefix.
qsizetype compressedBound(qsizetype rawBytes)
{
    return sizePrefixBytes + qsizetype(compressBound(uLong(rawBytes)));
}

// Inflates qCompress output into raw, which has the size the chunk must
// have: a stream that claims or gives more or less, or has bytes after its
// end, is refused before it can take more memory than raw.
bool inflateChunk(const QByteArray &compressed, QByteArray &raw)
{
    if (compressed.size() < sizePrefixBytes
        || qFromBigEndian<quint32>(compressed.constData()) != quint32(raw.size()))
        return false;
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData() + sizePrefixBytes));
    stream.avail_in = uInt(compressed.size() - sizePrefixBytes);
    stream.next_out = reinterpret_cast<Bytef *>(raw.data());
    stream.avail_out = uInt(raw.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_in == 0 && stream.avail_out == 0;
    inflateEnd(&stream);
    return whole;
}

// Adds the next chunk of the file, rows rows of width sums, to the pixels
// at to, and notes in reach (of the rows at to) the rows it reached and the
// largest weight it left: sums only grow, so the largest weight met while
// adding is the largest of the sums at the end.
bool addChunk(QDataStream &in, PixelSums *to, int width, int rows, PosterReach &reach)
{
    QByteArray raw(qsizetype(rows) * width * sumsPerPixel * qsizetype(sizeof(quint64)), Qt::Uninitialized);
    QByteArray compressed;
    if (!readBoundedBytes(in, compressed, quint32(compressedBound(raw.size()))) || !inflateChunk(compressed, raw))
        return false;
    const auto *from = reinterpret_cast<const uchar *>(raw.constData());
    for (int y = 0; y < rows; ++y) {
        PixelSums *line = to + qsizetype(y) * width;
        for (int x = 0; x < width; ++x, from += sumsPerPixel * sizeof(quint64)) {
            const quint64 weight = qFromLittleEndian<quint64>(from);
            // A pixel no point reached has no colour either; leaving it
            // untouched keeps the memory of empty areas unused.
            if (weight == 0)
                continue;
            line[x].weight += weight;
            line[x].red += qFromLittleEndian<quint64>(from + 8);
            line[x].green += qFromLittleEndian<quint64>(from + 16);
            line[x].blue += qFromLittleEndian<quint64>(from + 24);
            reach.largestWeight = qMax(reach.largestWeight, line[x].weight);
            reach.rows[std::size_t(y)] = true;
        }
    }
    return true;
}

// The end mark, and nothing after it.
bool endsWhole(QDataStream &in)
{
    QByteArray end(endMark.size(), '\0');
    return in.readRawData(end.data(), int(end.size())) == endMark.size() && end == endMark && in.atEnd();
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

// Opens the part at path as documents are opened: a FIFO, device or folder
// is refused without waiting for a writer.
// unreadable, when given, is set when the file cannot be opened at all.
std::optional<OpenPart> openPart(const QString &path, QString *error, bool *unreadable = nullptr)
{
    OpenPart part{std::make_unique<QFile>(), nullptr, {}};
    QString reason;
    if (!openRegularFile(path, *part.file, &reason)) {
        *error = tr("'%1' cannot be read: %2").arg(path, reason);
        if (unreadable)
            *unreadable = true;
        return std::nullopt;
    }
    part.stream = std::make_unique<QDataStream>(part.file.get());
    prepare(*part.stream);
    const std::optional<PosterPartHeader> header = readHeader(*part.stream, &reason);
    if (!header) {
        *error = tr("'%1' cannot be merged: %2.").arg(path, reason);
        return std::nullopt;
    }
    part.header = *header;
    return part;
}

// What the parts' headers were checked to be: the header they share and the
// identity of each file, so that a part replaced or rewritten since is
// noticed instead of merged.
struct CheckedParts
{
    PosterPartHeader header;
    std::vector<QByteArray> identities;
};

QString changed(const QString &path)
{
    return tr("'%1' was changed while the parts were merged.").arg(path);
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
std::optional<CheckedParts> checkParts(const QStringList &paths, QString *error, bool *unreadable = nullptr)
{
    std::vector<PosterPartHeader> headers;
    CheckedParts checked;
    for (const QString &path : paths) {
        const std::optional<OpenPart> part = openPart(path, error, unreadable);
        if (!part)
            return std::nullopt;
        const QString different = headers.empty() ? QString() : difference(headers.front(), part->header);
        if (!different.isEmpty()) {
            *error = QStringLiteral("'%1' %2 than '%3'.").arg(path, different, paths.constFirst());
            return std::nullopt;
        }
        headers.push_back(part->header);
        checked.identities.push_back(openFileIdentity(*part->file));
    }
    if (headers.empty()) {
        *error = tr("Give the parts to merge.");
        return std::nullopt;
    }
    *error = checkPartNumbers(headers, paths);
    if (!error->isEmpty())
        return std::nullopt;
    checked.header = headers.front();
    return checked;
}

// Part i of the checked parts opened again, or the error saying why not or
// that it is no longer the file that was checked.
std::optional<OpenPart> reopenPart(const QStringList &paths, const CheckedParts &checked, int i, QString *error,
                                   bool *unreadable = nullptr)
{
    std::optional<OpenPart> part = openPart(paths[i], error, unreadable);
    if (part && openFileIdentity(*part->file) != checked.identities[std::size_t(i)]) {
        *error = changed(paths[i]);
        part.reset();
    }
    return part;
}

// The error for part i after reading from it: it changed under the read, or
// what it holds is damaged.
QString readFailure(const QStringList &paths, const CheckedParts &checked, int i, const QFile &file)
{
    return openFileIdentity(file) != checked.identities[std::size_t(i)] ? changed(paths[i]) : damaged(paths[i]);
}

// The parts' sums a band of rows at a time, the rows of one chunk of every
// part. Each file is open only while a chunk is read from it.
class PartBands
{
public:
    PartBands(const QStringList &paths, const CheckedParts &checked, bool *unreadable)
        : m_paths(paths)
        , m_checked(checked)
        , m_size(posterSumsSize(checked.header.settings))
        , m_rowsPerBand(rowsPerChunk(m_size))
        , m_next(std::size_t(paths.size()), -1)
        , m_unreadable(unreadable)
    {
    }

    int count() const { return (m_size.height() + m_rowsPerBand - 1) / m_rowsPerBand; }
    int firstRow(int band) const { return band * m_rowsPerBand; }
    int rows(int band) const { return qMin(m_rowsPerBand, m_size.height() - firstRow(band)); }

    // Sets sums to the band's sums of every part, and reach to what they
    // reach, its rows those of the band; the bands must come in order.
    bool add(int band, std::vector<PixelSums> &sums, PosterReach &reach, QString *error)
    {
        const qsizetype pixels = qsizetype(rows(band)) * m_size.width();
        std::fill(sums.begin(), sums.begin() + pixels, PixelSums());
        reach = {0, std::vector<bool>(std::size_t(rows(band)), false)};
        for (int i = 0; i < m_paths.size(); ++i) {
            std::optional<OpenPart> part = reopenPart(m_paths, m_checked, i, error, m_unreadable);
            if (!part)
                return false;
            const bool read = (m_next[i] < 0 || part->file->seek(m_next[i]))
                              && addChunk(*part->stream, sums.data(), m_size.width(), rows(band), reach)
                              && (band + 1 < count() || endsWhole(*part->stream));
            // Checked after reading, so that a file rewritten meanwhile is
            // caught too.
            if (!read || openFileIdentity(*part->file) != m_checked.identities[std::size_t(i)]) {
                *error = readFailure(m_paths, m_checked, i, *part->file);
                return false;
            }
            m_next[i] = part->file->pos();
        }
        return true;
    }

private:
    const QStringList &m_paths;
    const CheckedParts &m_checked;
    const QSize m_size;
    const int m_rowsPerBand;
    // Where each part's next chunk begins, -1 before the first.
    std::vector<qint64> m_next;
    bool *m_unreadable;
};

// The band-by-band toning would need the rows beyond each band for the
// filter: a supersampled poster's parts are added up whole, then filtered
// down and toned.
MergedPicture mergeSupersampledPicture(const QStringList &paths, const CheckedParts &checked,
                                       const PosterToneMapping &tone)
{
    MergedPicture merged;
    merged.header = checked.header;
    const QSize size = posterSumsSize(checked.header.settings);
    std::optional<PosterAccumulation> whole = PosterAccumulation::allocate(size, 0, &merged.error);
    if (!whole)
        return merged;
    PartBands parts(paths, checked, &merged.unreadable);
    PosterReach reach;
    std::vector<PixelSums> band;
    try {
        band.resize(std::size_t(rowsPerChunk(size)) * std::size_t(size.width()));
    } catch (const std::bad_alloc &) {
        merged.error = tr("There is not enough memory to merge the parts.");
        return merged;
    }
    for (int b = 0; b < parts.count(); ++b) {
        if (!parts.add(b, band, reach, &merged.error))
            return merged;
        std::copy(band.begin(), band.begin() + qsizetype(parts.rows(b)) * size.width(),
                  whole->row(parts.firstRow(b)));
    }
    whole = filterPosterSums(*whole, checked.header.settings.supersample, &merged.error);
    if (whole)
        merged.picture = posterPicture(*whole, tone, &merged.error);
    return merged;
}

} // namespace

std::span<const SharedPartField> sharedPartFields()
{
    return sharedFields;
}

PosterPartHeader posterPartHeader(const FractalDocument &document, const PosterSettings &settings, int part,
                                  int parts)
{
    return {QCryptographicHash::hash(encodeDocument(document), QCryptographicHash::Sha256),
            posterArithmeticChecksum(document), document.colours.backColour, settings, part, parts};
}

bool writePosterPart(const PosterPartHeader &header, const PosterAccumulation &sums, const QString &path,
                     QString *error)
{
    FileReplacement file(path);
    if (!file.open(error))
        return false;
    QDataStream out(&file.device());
    prepare(out);
    writeHeader(out, header);
    if (!writeSums(out, sums)) {
        *error = file.writeError().isEmpty() ? tr("the sums could not be written") : file.writeError();
        return false;
    }
    return file.commit(error);
}

MergedPicture mergePosterPicture(const QStringList &paths, PosterToneMapping tone)
{
    MergedPicture merged;
    const std::optional<CheckedParts> checked = checkParts(paths, &merged.error, &merged.unreadable);
    if (!checked)
        return merged;
    merged.header = checked->header;
    tone.backColour = merged.header.backColour;
    const QSize size = merged.header.settings.size;
    merged.error = posterMemoryProblem(size, posterPictureBytes(size, tone) + posterPartBufferBytes(size), 0);
    if (!merged.error.isEmpty())
        return merged;
    if (merged.header.settings.supersample > 1)
        return mergeSupersampledPicture(paths, *checked, tone);
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
    PartBands densest(paths, *checked, &merged.unreadable);
    PosterReach reach;
    quint64 largest = 0;
    for (int band = 0; band < densest.count(); ++band) {
        if (!densest.add(band, sums, reach, &merged.error))
            return merged;
        largest = qMax(largest, reach.largestWeight);
    }
    PartBands toned(paths, *checked, &merged.unreadable);
    for (int band = 0; band < toned.count(); ++band) {
        if (!toned.add(band, sums, reach, &merged.error))
            return merged;
        tonePosterRows(picture, tone, largest, toned.firstRow(band), sums.data(), toned.rows(band), reach.rows);
    }
    merged.picture = picture;
    return merged;
}

qint64 posterPartBufferBytes(QSize size)
{
    const qint64 raw = qint64(rowsPerChunk(size)) * size.width() * qint64(sizeof(PixelSums));
    return 2 * raw + compressedBound(raw);
}

std::optional<PosterPartHeader> readPosterPartHeader(const QString &path, QString *error)
{
    const std::optional<OpenPart> part = openPart(path, error);
    return part ? std::optional(part->header) : std::nullopt;
}

QByteArray posterPartHeaderBytes(const PosterPartHeader &header)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepare(out);
    writeHeader(out, header);
    return bytes;
}

} // namespace Vorlane
