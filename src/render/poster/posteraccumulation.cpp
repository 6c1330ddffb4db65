#include "render/poster/posteraccumulation.h"

#include <QCoreApplication>

#include <limits>

#include <sys/resource.h>
#include <unistd.h>

namespace Vorlane {

namespace {

// Whole megabytes, rounded up.
QString megabytes(qint64 bytes)
{
    return QString::number((bytes + (1 << 20) - 1) >> 20);
}

QString needs(QSize size, qint64 bytes)
{
    return QCoreApplication::translate("Poster", "A poster of %1 x %2 pixels needs %3 MB of memory, ")
        .arg(size.width())
        .arg(size.height())
        .arg(megabytes(bytes));
}

} // namespace

constexpr quintptr cacheLine = 64;

PosterAccumulation::PosterAccumulation(QSize size, void *memory)
    : m_size(size)
    , m_memory(memory)
    , m_sums(reinterpret_cast<PixelSums *>((quintptr(memory) + cacheLine - 1) & ~(cacheLine - 1)))
{
}

qint64 PosterAccumulation::bytesFor(QSize size)
{
    return qint64(size.width()) * qint64(size.height()) * qint64(sizeof(PixelSums));
}

std::optional<PosterAccumulation> PosterAccumulation::allocate(QSize size, qint64 memoryLimit, QString *error,
                                                              qint64 otherBytes)
{
    const qint64 bytes = bytesFor(size);
    *error = posterMemoryProblem(size, bytes + otherBytes, memoryLimit);
    void *sums = error->isEmpty() ? std::calloc(std::size_t(bytes) + cacheLine, 1) : nullptr;
    if (sums == nullptr) {
        if (error->isEmpty())
            *error = needs(size, bytes + otherBytes)
                     + QCoreApplication::translate("Poster", "which the system could not give.");
        return std::nullopt;
    }
    return PosterAccumulation(size, sums);
}

QString posterMemoryProblem(QSize size, qint64 bytes, qint64 memoryLimit)
{
    const qint64 limit = memoryLimit > 0 ? memoryLimit : usableMemoryBytes();
    if (limit <= 0 || bytes <= limit)
        return QString();
    return needs(size, bytes)
           + QCoreApplication::translate("Poster", "more than the %1 MB it may use.").arg(QString::number(limit >> 20));
}

quint64 PosterAccumulation::largestWeight() const
{
    return Vorlane::largestWeight(m_sums, qint64(m_size.width()) * m_size.height());
}

quint64 largestWeight(const PixelSums *sums, qint64 count)
{
    quint64 largest = 0;
    for (qint64 i = 0; i < count; ++i)
        largest = qMax(largest, sums[i].weight);
    return largest;
}

PosterReach scannedReach(const PosterAccumulation &sums)
{
    return {sums.largestWeight(), std::vector<bool>(std::size_t(sums.size().height()), true)};
}

qint64 physicalMemoryBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : 0;
}

qint64 usableMemoryBytes()
{
    const qint64 physical = physicalMemoryBytes();
    rlimit limit = {};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return physical;
    const qint64 addressSpace = qint64(qMin<rlim_t>(limit.rlim_cur, rlim_t(std::numeric_limits<qint64>::max())));
    return physical > 0 ? qMin(physical, addressSpace) : addressSpace;
}

} // namespace Vorlane
