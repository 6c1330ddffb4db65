#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

namespace Vorlane {

// How one of the program's command-line tools ended and what it printed.
struct ProgramRun
{
    int exitCode;
    QString output;
    QString errors;
};

// Runs program with arguments to the end (a minute at most, exit code -1
// beyond). fileSizeLimit, when not 0, is the most the program may write into
// a file: a write beyond fails with EFBIG, as on a full disk.
inline ProgramRun runProgram(const QString &program, const QStringList &arguments, rlim_t fileSizeLimit = 0)
{
    QProcess process;
    if (fileSizeLimit != 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit = {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = fileSizeLimit;
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, QString(), QStringLiteral("did not finish")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace Vorlane
