#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace Vorlane {

// What a poster's pixel has gathered: the sum of the weights of the points
// splatted onto it, in 1/65536 of a point, and the sums of weight × red,
// green and blue (0 to 255). Whole numbers, so the order in which points
// arrive cannot change a bit.
struct PixelSums
{
    quint64 weight = 0;
    quint64 red = 0;
    quint64 green = 0;
    quint64 blue = 0;
};

// The fixed-point unit of one whole point.
constexpr quint64 posterPointWeight = 65536;

// The sums of every pixel of a poster: sizeof(PixelSums), 32 bytes, a pixel,
// allocated zeroed and lazily, so untouched rows cost nothing until read.
class PosterAccumulation
{
public:
    // Allocates the sums for a poster of size, or tells why it cannot: the
    // memory the run needs, the sums and otherBytes besides (its workers,
    // its picture), is more than memoryLimit bytes (0: usableMemoryBytes)
    // or the system refused it.
    static std::optional<PosterAccumulation> allocate(QSize size, qint64 memoryLimit, QString *error,
                                                      qint64 otherBytes = 0);

    // Bytes needed for the sums of a poster of size.
    static qint64 bytesFor(QSize size);

    QSize size() const { return m_size; }
    PixelSums *row(int y) { return m_sums + qint64(y) * m_size.width(); }
    const PixelSums *row(int y) const { return m_sums + qint64(y) * m_size.width(); }

    // The largest weight of any pixel.
    quint64 largestWeight() const;

private:
    struct Free
    {
        void operator()(void *memory) const { std::free(memory); }
    };

    PosterAccumulation(QSize size, void *memory);

    QSize m_size;
    std::unique_ptr<void, Free> m_memory;
    // In m_memory at a cache line's start, so that two neighbouring pixels,
    // the first at an even column, share one line.
    PixelSums *m_sums;
};

// What a run that began on sums of all 0 found while adding to them: the
// weight of the densest pixel, and for each row whether any sum in it may
// be other than 0. A row not reached was never touched, not even read.
struct PosterReach
{
    quint64 largestWeight = 0;
    std::vector<bool> rows;
};

// The reach of sums found by reading them all.
PosterReach scannedReach(const PosterAccumulation &sums);

// The largest weight among count pixels' sums.
quint64 largestWeight(const PixelSums *sums, qint64 count);

// The physical memory of this machine in bytes, 0 when it cannot be told.
qint64 physicalMemoryBytes();

// The most memory this process may use in bytes: the physical memory, or
// less under an address-space limit; 0 when it cannot be told.
qint64 usableMemoryBytes();

// Why a poster of size whose run needs bytes of memory in all may not have
// it: more than memoryLimit (0: usableMemoryBytes). Empty when it may.
QString posterMemoryProblem(QSize size, qint64 bytes, qint64 memoryLimit);

} // namespace Vorlane
