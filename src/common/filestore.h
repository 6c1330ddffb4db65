#pragma once

#include <QByteArray>
#include <QFile>
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

// A file written in the folder of path that takes path's place as a whole
// only when committed, keeping an existing file's permissions. Until then it
// has no name (where the file system allows one without), so a process
// killed while writing leaves nothing behind; destroyed uncommitted, it
// vanishes and path stays as it was.
class FileReplacement
{
    // Unbuffered writes to the file, each whole or failed with the system's
    // reason: a file-size limit or a full disk is noticed at the write that
    // meets it.
    class Writer : public QIODevice
    {
    public:
        void attach(int fd);
        int failure() const { return m_failure; }

    protected:
        qint64 readData(char *, qint64) override { return -1; }
        qint64 writeData(const char *data, qint64 size) override;

    private:
        int m_fd = -1;
        int m_failure = 0;
    };

public:
    explicit FileReplacement(QString path, LinkHandling links = LinkHandling::WriteThrough);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Creates the file; false with error set when path exists and is not a
    // regular file, or its folder refuses a new file.
    bool open(QString *error = nullptr);
    // Where the contents go; a failed write makes commit fail.
    QIODevice &device() { return m_writer; }
    // Why a write failed, or an empty text.
    QString writeError() const { return m_writer.failure() != 0 ? m_writer.errorString() : QString(); }
    // Checks every write, syncs and puts the file in path's place; on
    // failure (a full disk, a file-size limit, no permission) path stays as
    // it was, nothing is left behind and error gets the system's reason.
    bool commit(QString *error = nullptr);

private:
    bool finishInPlace();
    bool nameUnnamedFile();
    void discard();

    QString m_target;
    std::optional<unsigned> m_keptMode;
    int m_fd = -1;
    QString m_temporaryName; // empty while the file has no name
    Writer m_writer;
};

// Why a FileReplacement of path would fail before anything is written: its
// folder is missing or not writable, or path is not a regular file. Empty
// when nothing speaks against it, so that a long run can be refused before
// it starts rather than after.
QString replacementProblem(const QString &path);

// True when a and b name the same existing file, by whatever path.
bool isSameFile(const QString &a, const QString &b);

// Replaces the file at path by bytes as a whole, through a FileReplacement.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                 LinkHandling links = LinkHandling::WriteThrough);

// The regular file at path opened for reading into file. Anything else (a
// folder, device, FIFO or socket) is refused at once, without waiting for a
// writer; false then, or when it cannot be opened, and error says why.
bool openRegularFile(const QString &path, QFile &file, QString *error = nullptr);

// The identity of the file open in file (device, inode, size and time of
// the last change): equal identities mean the file has not been replaced or
// rewritten in between.
QByteArray openFileIdentity(const QFile &file);

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
