#pragma once

#include "common/filestore.h"

#include <QImage>
#include <QString>

namespace Vorlane {

// "PNG" for a name ending in ".png", in any case; "BMP" for any other.
QByteArray pictureFormatFor(const QString &path);

// The program's one picture writer: image as a 24-bit Windows bitmap, or as
// PNG when the name asks for it, replacing the file as a whole (replaceFile):
// on failure an existing file stays as it was, no file is left behind, the
// result is false and error, when given, says why.
bool writePictureFile(const QImage &image, const QString &path, QString *error = nullptr,
                      LinkHandling links = LinkHandling::WriteThrough);

// The name offered for a picture of the document at documentPath: the path
// with its last three characters ("vrf") replaced by "bmp". A path too short
// for that gets ".bmp" appended; an empty one, the unnamed start-up document,
// offers no name.
QString suggestedBitmapName(const QString &documentPath);

// A picture that the program hands from one command to the next, written to
// a bitmap file in its folder as well. The picture kept in memory is the
// truth: another instance of the program may share the folder and replace
// the file, and a file that cannot be written changes nothing. The file
// replaces a symbolic link in its place instead of following it; owner, when
// given, notes each file written.
class HandOverBitmap
{
public:
    explicit HandOverBitmap(QString path = QString(), OwnedFiles *owner = nullptr);

    const QString &path() const { return m_path; }
    void store(const QImage &image);
    // The picture last stored.
    QImage load() const { return m_memory; }

private:
    QString m_path;
    OwnedFiles *m_owner;
    QImage m_memory;
};

} // namespace Vorlane
