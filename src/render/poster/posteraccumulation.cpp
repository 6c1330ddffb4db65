#include "render/poster/posteraccumulation.h"

#include <QCoreApplication>

#include <unistd.h>

namespace Vorlane {

namespace {

// Whole megabytes, rounded up.
QString megabytes(qint64 bytes)
{
    return QString::number((bytes + (1 << 20) - 1) >> 20);
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

std::optional<PosterAccumulation> PosterAccumulation::allocate(QSize size, qint64 memoryLimit, QString *error)
{
    const qint64 bytes = bytesFor(size);
    const qint64 limit = memoryLimit > 0 ? memoryLimit : physicalMemoryBytes();
    void *sums = (limit > 0 && bytes > limit) ? nullptr : std::calloc(std::size_t(bytes) + cacheLine, 1);
    if (sums == nullptr) {
        const QString needs = QCoreApplication::translate("Poster", "A poster of %1 x %2 pixels needs %3 MB of memory "
                                                                    "for its sums, ")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(megabytes(bytes));
        *error = needs + (limit > 0 && bytes > limit
                              ? QCoreApplication::translate("Poster", "more than the %1 MB it may use.")
                                    .arg(QString::number(limit >> 20))
                              : QCoreApplication::translate("Poster", "which the system could not give."));
        return std::nullopt;
    }
    return PosterAccumulation(size, sums);
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

} // namespace Vorlane
