#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// Reading and writing whole files so that nothing is lost when the disk is
// full, the file is huge or endless, or the name is not a plain file.
namespace Vorlane {

// What replacing a file does when its name is a symbolic link.
enum class LinkHandling {
    WriteThrough, // the file the link leads to is replaced, the link stays
    ReplaceLink,  // the link itself is replaced; what it leads to is untouched
};

// Replaces the file at path by bytes as a whole. The bytes go to a temporary
// file with a short name in the same folder, every write and the sync are
// checked, and only then is it renamed over path, keeping an existing file's
// permissions. On failure (a full disk, a file-size limit, no permission, a
// path that exists and is not a regular file) the old file stays as it was,
// no temporary file is left, the result is false and error gets the system's
// reason.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                 LinkHandling links = LinkHandling::WriteThrough);

// At most maxBytes from the start of the regular file at path. Anything else
// (a folder, device, FIFO or socket) is refused at once, without waiting for
// a writer; none then, or when the file cannot be read, and error says why.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes, QString *error = nullptr);

// The files one instance of the program wrote for itself. When two instances
// share a folder, each removes at the end only those files that are still
// the ones it wrote, not those the other has replaced since.
class OwnedFiles
{
public:
    // Notes that path now holds the file this instance has just written.
    void recordWritten(const QString &path);
    // Deletes every noted file that nobody has replaced since; errors are ignored.
    void removeUnchanged();

private:
    QHash<QString, QByteArray> m_identities;
};

} // namespace Vorlane
