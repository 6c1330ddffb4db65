#include "document/documentfile.h"

#include "common/filestore.h"

#include <QtEndian>

#include <cmath>

namespace Vorlane {

namespace {

constexpr float signature = 0.01024f;
constexpr double signatureTolerance = 0.00001;

class ByteWriter
{
public:
    template<typename T>
    void write(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        m_bytes.append(bytes, sizeof(T));
    }
    void writeName(const QString &name) { m_bytes.append(paddedTrName(name).toLatin1()); }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

class ByteReader
{
public:
    explicit ByteReader(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    template<typename T>
    T read()
    {
        T value = qFromLittleEndian<T>(m_bytes.constData() + m_position);
        m_position += qsizetype(sizeof(T));
        return value;
    }
    QString readName()
    {
        const QString name = QString::fromLatin1(m_bytes.constData() + m_position, trNameLength);
        m_position += trNameLength;
        return name;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_position = 0;
};

void encodeTransformation(ByteWriter &writer, const Transformation &transformation)
{
    writer.writeName(transformation.name);
    writer.write(transformation.contraction[0]);
    writer.write(transformation.contraction[1]);
    writer.write(transformation.rotation);
    writer.write(transformation.translation[0]);
    writer.write(transformation.translation[1]);
}

Transformation decodeTransformation(ByteReader &reader)
{
    Transformation transformation;
    transformation.name = reader.readName();
    transformation.contraction[0] = reader.read<float>();
    transformation.contraction[1] = reader.read<float>();
    transformation.rotation = reader.read<float>();
    transformation.translation[0] = reader.read<float>();
    transformation.translation[1] = reader.read<float>();
    return transformation;
}

bool countsFit(qint32 trCount, qint32 basePointCount, qsizetype size)
{
    if (trCount < 0 || trCount > maxTransformations || basePointCount < 0 || basePointCount > maxBasePoints)
        return false;
    return size >= documentHeaderSize + qint64(trCount) * transformationRecordSize
                       + qint64(basePointCount) * basePointRecordSize;
}

} // namespace

QByteArray encodeDocument(const FractalDocument &document)
{
    ByteWriter writer;
    writer.write(signature);
    writer.write(document.trCount());
    writer.write(document.settings.totalPoints);
    writer.write(document.centreX);
    writer.write(document.centreY);
    writer.write(document.settings.resolution);
    writer.write(document.colours.colourStyle);
    writer.write(document.colours.colour1);
    writer.write(document.colours.colour2);
    writer.write(document.colours.backColour);
    writer.write(document.basePointCount());
    writer.write(document.trNameCounter);
    for (const Transformation &transformation : document.transformations)
        encodeTransformation(writer, transformation);
    for (const BasePoint &point : document.basePoints) {
        writer.write(point.x);
        writer.write(point.y);
    }
    return writer.bytes();
}

bool hasDocumentSignature(const QByteArray &bytes)
{
    if (bytes.size() < qsizetype(sizeof(float)))
        return false;
    const float value = qFromLittleEndian<float>(bytes.constData());
    return std::fabs(double(value) - double(0.01024)) <= signatureTolerance;
}

std::optional<FractalDocument> decodeDocument(const QByteArray &bytes, const FractalDocument &current)
{
    if (!hasDocumentSignature(bytes) || bytes.size() < documentHeaderSize)
        return std::nullopt;
    ByteReader reader(bytes);
    reader.read<float>();
    FractalDocument document = current;
    const auto trCount = reader.read<qint32>();
    document.settings.totalPoints = reader.read<qint32>();
    document.centreX = reader.read<qint16>();
    document.centreY = reader.read<qint16>();
    document.settings.resolution = reader.read<qint16>();
    document.colours.colourStyle = reader.read<qint32>();
    document.colours.colour1 = reader.read<qint32>();
    document.colours.colour2 = reader.read<qint32>();
    document.colours.backColour = reader.read<qint32>();
    const auto basePointCount = reader.read<qint32>();
    document.trNameCounter = reader.read<qint16>();
    if (!countsFit(trCount, basePointCount, bytes.size()))
        return std::nullopt;

    document.transformations.clear();
    for (qint32 i = 0; i < trCount; ++i)
        document.transformations.append(decodeTransformation(reader));
    document.basePoints.resize(basePointCount);
    for (BasePoint &point : document.basePoints) {
        point.x = reader.read<qint16>();
        point.y = reader.read<qint16>();
    }
    return document;
}

bool saveDocumentFile(const FractalDocument &document, const QString &path, QString *error)
{
    return replaceFile(path, encodeDocument(document), error);
}

std::optional<QByteArray> readDocumentBytes(const QString &path, QString *error)
{
    return readRegularFile(path, longestDocumentFile + 1, error);
}

std::optional<FractalDocument> loadDocumentFile(const QString &path, const FractalDocument &current)
{
    const std::optional<QByteArray> bytes = readDocumentBytes(path);
    return bytes ? decodeDocument(*bytes, current) : std::nullopt;
}

} // namespace Vorlane
