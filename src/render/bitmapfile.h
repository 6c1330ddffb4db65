#pragma once

#include <QImage>
#include <QString>

namespace Vorlane {

// Writes image as a 24-bit Windows bitmap, replacing the file as a whole: on
// failure an existing file stays as it was, no file is left behind, the
// result is false and error, when given, says why.
bool writeBitmapFile(const QImage &image, const QString &path, QString *error = nullptr);

// The name offered for a picture of the document at documentPath: the path
// with its last three characters ("vrf") replaced by "bmp". A path too short
// for that gets ".bmp" appended; an empty one, the unnamed start-up document,
// offers no name.
QString suggestedBitmapName(const QString &documentPath);

// A picture that the program hands from one command to the next through a
// bitmap file in its folder. When the file cannot be written or read back the
// picture is kept in memory, so the program shows it all the same.
class HandOverBitmap
{
public:
    explicit HandOverBitmap(QString path = QString());

    const QString &path() const { return m_path; }
    void store(const QImage &image);
    // The file's picture, or the one last stored when the file failed.
    QImage load() const;

private:
    QString m_path;
    QImage m_memory;
    bool m_fileWritten = false;
};

} // namespace Vorlane
