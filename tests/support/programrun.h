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

// What a test may deny a program it runs.
struct ProgramLimits
{
    // The most the program may write into a file: a write beyond fails with
    // EFBIG, as on a full disk. 0: no limit.
    rlim_t fileSize = 0;
    // The most address space the program may take: an allocation beyond
    // fails, as on a machine with less memory. 0: no limit.
    rlim_t addressSpace = 0;
};

inline void lowerLimit(int resource, rlim_t value)
{
    rlimit limit = {};
    getrlimit(resource, &limit);
    limit.rlim_cur = value;
    setrlimit(resource, &limit);
}

// Starts program with arguments within limits.
inline void startProgram(QProcess &process, const QString &program, const QStringList &arguments,
                         ProgramLimits limits = {})
{
    process.setChildProcessModifier([limits] {
        std::signal(SIGXFSZ, SIG_IGN);
        if (limits.fileSize != 0)
            lowerLimit(RLIMIT_FSIZE, limits.fileSize);
        if (limits.addressSpace != 0)
            lowerLimit(RLIMIT_AS, limits.addressSpace);
    });
    process.start(program, arguments);
}

// Runs program with arguments to the end (a minute at most, exit code -1
// beyond, and -2 when it was killed by a signal, such as the abort of an
// uncaught exception).
inline ProgramRun runProgram(const QString &program, const QStringList &arguments, ProgramLimits limits = {})
{
    QProcess process;
    startProgram(process, program, arguments, limits);
    if (!process.waitForFinished(60000))
        return {-1, QString(), QStringLiteral("did not finish")};
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() == QProcess::CrashExit)
        return {-2, QString(), errors};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()), errors};
}

} // namespace Vorlane
