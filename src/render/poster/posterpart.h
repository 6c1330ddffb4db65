#pragma once

#include "render/poster/poster.h"
#include "render/poster/posteraccumulation.h"
#include "render/poster/postertone.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

namespace Vorlane {

struct FractalDocument;

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

// The header of part (1 to parts) of a poster of document.
PosterPartHeader posterPartHeader(const FractalDocument &document, const PosterSettings &settings, int part,
                                  int parts);

// Writes the header and the sums, compressed, to path through a temporary
// file that replaces path only once everything is written; false with error
// set otherwise.
bool writePosterPart(const PosterPartHeader &header, const PosterAccumulation &sums, const QString &path,
                     QString *error);

// The picture of the parts at paths added up and toned (over their
// document's background colour), the same as posterPicture gives for the
// sums of the whole poster, but added and toned band by band: besides the
// picture, the memory holds the sums of one band only, whatever the poster's
// size. The parts are read twice. Refused with an error naming the file or
// part that is wrong: unreadable or damaged, of another document, rendered
// with other options or another number of parts, a part given twice or
// missing.
struct MergedPicture
{
    PosterPartHeader header;
    QImage picture;
    QString error;
};
MergedPicture mergePosterPicture(const QStringList &paths, PosterToneMapping tone);

} // namespace Vorlane
