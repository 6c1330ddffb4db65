#pragma once

#include "document/fractaldocument.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The .vrf document file: little-endian, no padding. A 40-byte header starting
// with the float signature 0.01024, then trCount records of 28 bytes (an
// 8-byte name and five floats), then basePointCount records of 4 bytes (two
// 16-bit coordinates). The scales are not stored.
namespace Vorlane {

constexpr int documentHeaderSize = 40;
constexpr int transformationRecordSize = 28;
constexpr int basePointRecordSize = 4;
// The longest document: 50 transformations and 32767 base points.
constexpr qint64 longestDocumentFile =
    documentHeaderSize + qint64(maxTransformations) * transformationRecordSize + qint64(maxBasePoints) * basePointRecordSize;

// The file's bytes for a document: exactly 40 + 28 × trCount + 4 × basePointCount.
// Names are written as Latin-1, a character outside it as "?".
QByteArray encodeDocument(const FractalDocument &document);

// True when the first four bytes hold a float within 0.00001 of 0.01024.
bool hasDocumentSignature(const QByteArray &bytes);

// The document that bytes hold, with the values a file does not store (the
// scales) taken from current; none when the bytes are not a whole, valid
// document: no signature, a header or records cut short, a negative count,
// more than 50 transformations or more than 32767 base points. Bytes after the
// last base point are ignored.
std::optional<FractalDocument> decodeDocument(const QByteArray &bytes, const FractalDocument &current);

// Replaces the file at path as a whole, atomically (replaceFile): on failure,
// a full disk included, the old file stays as it was, the result is false and
// error gives the system's reason.
bool saveDocumentFile(const FractalDocument &document, const QString &path, QString *error = nullptr);

// The start of the regular file at path, one byte more than the longest
// document, so that a huge or endless file costs no more than a document.
// None, at once, for anything that is not a regular file (a FIFO, a device, a
// folder) or cannot be read; error says why.
std::optional<QByteArray> readDocumentBytes(const QString &path, QString *error = nullptr);

// Reads the file at path; none when it cannot be read or is not a valid document.
std::optional<FractalDocument> loadDocumentFile(const QString &path, const FractalDocument &current);

} // namespace Vorlane
