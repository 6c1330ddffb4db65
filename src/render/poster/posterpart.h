#pragma once

#include "render/poster/poster.h"
#include "render/poster/posteraccumulation.h"
#include "render/poster/postertone.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>

namespace Vorlane {

struct FractalDocument;

// The most parts a poster may be cut into.
constexpr int mostPosterParts = 1'000'000;

// What a part file tells about the poster it belongs to: the document (by
// checksum, with its background colour for the picture), everything that
// shapes the sums, and which of how many parts it holds.
struct PosterPartHeader
{
    QByteArray documentChecksum; // SHA-256 of the document's file bytes
    QByteArray arithmeticChecksum; // posterArithmeticChecksum
    qint32 backColour = 0;
    PosterSettings settings;
    int part = 1;
    int parts = 1;
};

// A field of the header that all parts of one poster share, with what a
// part that differs from the others in it is told (untranslated).
struct SharedPartField
{
    const char *name;
    const char *refusal;
    bool (*same)(const PosterPartHeader &, const PosterPartHeader &);
};

// Every shared field, in the order in which a merge compares them.
std::span<const SharedPartField> sharedPartFields();

// The header of part (1 to parts) of a poster of document.
PosterPartHeader posterPartHeader(const FractalDocument &document, const PosterSettings &settings, int part,
                                  int parts);

// Writes the header and the sums, compressed, to path through a
// FileReplacement: path is replaced only once everything is written, and a
// path that is not a regular file is refused; false with error set
// otherwise.
bool writePosterPart(const PosterPartHeader &header, const PosterAccumulation &sums, const QString &path,
                     QString *error);

// The picture of the parts at paths added up and toned (over their
// document's background colour), the same as posterPicture gives for the
// sums of the whole poster, but added and toned band by band: besides the
// picture, the memory holds the sums of one band only, whatever the poster's
// size. The parts are read twice. Refused with an error naming the file or
// part that is wrong: unreadable or not a regular file, damaged, of another
// document, rendered with other options or another number of parts, a part
// given twice or missing, or changed after it was checked. What a file holds
// decides no allocation beyond the picture its header describes and a band;
// a poster whose picture and bands need more memory than the process may use
// is refused before any part is read beyond its header.
struct MergedPicture
{
    PosterPartHeader header;
    QImage picture;
    QString error;
    bool unreadable = false; // a part could not be opened, as opposed to refused
};
MergedPicture mergePosterPicture(const QStringList &paths, PosterToneMapping tone);

// The memory that writing a part of a poster of size, or merging its parts,
// takes besides the sums or the picture: a band of sums, a chunk as it is
// and compressed.
qint64 posterPartBufferBytes(QSize size);

// The header of the part file at path, or none with error set as the merge
// would set it.
std::optional<PosterPartHeader> readPosterPartHeader(const QString &path, QString *error);

// The bytes a part file of header begins with, before its sums.
QByteArray posterPartHeaderBytes(const PosterPartHeader &header);

} // namespace Vorlane
