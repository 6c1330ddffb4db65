#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace Vorlane {

// The bytes of the file at path; empty when it cannot be read.
inline QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file at path by bytes; fails the test when it cannot.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// While it lives, this process may not write past maxBytes into any file:
// a write beyond fails with EFBIG, as on a full disk, instead of killing the
// process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t maxBytes)
    {
        m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limited = m_previous;
        limited.rlim_cur = maxBytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousSignal);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous = {};
    void (*m_previousSignal)(int) = nullptr;
};

// Makes a FIFO at path; fails the test when it cannot.
inline void makeFifo(const QString &path)
{
    QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
}

// A file named name in folder for a reader to meet, by kind: "fifo" a FIFO
// without a writer, "sparse" start and then nothing up to 1 TB; any other
// kind is a path taken as it is, such as "/dev/zero". Empty when the file
// system holds no such file.
inline QString readerInput(const QString &folder, const QString &name, const QString &kind, const QByteArray &start)
{
    const QString path = folder + QLatin1Char('/') + name;
    if (kind == QLatin1String("fifo"))
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
    if (kind != QLatin1String("sparse"))
        return kind;
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(start) == start.size() && file.resize(qint64(1) << 40);
    return written ? path : QString();
}

inline bool isFifo(const QString &path)
{
    struct stat status = {};
    return stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

} // namespace Vorlane
