#include "render/poster/postersupersample.h"

#include "common/rounding.h"
#include "render/poster/rowthreads.h"

#include <QCoreApplication>

#include <cmath>
#include <vector>

namespace Vorlane {

namespace {

constexpr double filterDeviation = 0.42;
constexpr double filterReach = 1.5;

// The weights of the fine pixels around a poster pixel along one side, the
// first at offset from the first fine pixel of the poster pixel, summing to
// factor.
struct FilterTaps
{
    int offset = 0;
    std::vector<double> weights;
};

FilterTaps filterTaps(int factor)
{
    FilterTaps taps;
    const int reach = int(std::ceil(filterReach * factor));
    taps.offset = -reach;
    double total = 0.0;
    for (int j = -reach; j < factor + reach; ++j) {
        // From the fine pixel's centre to the poster pixel's, in poster pixels.
        const double distance = (double(j) + 0.5) / double(factor) - 0.5;
        const double weight = std::fabs(distance) <= filterReach
                                   ? std::exp(-distance * distance / (2.0 * filterDeviation * filterDeviation))
                                   : 0.0;
        taps.weights.push_back(weight);
        total += weight;
    }
    for (double &weight : taps.weights)
        weight *= double(factor) / total;
    return taps;
}

struct FilteredSums
{
    double weight = 0.0;
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;

    void add(const PixelSums &sums, double share)
    {
        weight += double(sums.weight) * share;
        red += double(sums.red) * share;
        green += double(sums.green) * share;
        blue += double(sums.blue) * share;
    }

    void add(const FilteredSums &sums, double share)
    {
        weight += sums.weight * share;
        red += sums.red * share;
        green += sums.green * share;
        blue += sums.blue * share;
    }
};

quint64 whole(double value)
{
    return quint64(roundHalfEven(value));
}

class Filter
{
public:
    Filter(const PosterAccumulation &fine, PosterAccumulation &coarse, int factor)
        : m_fine(fine)
        , m_coarse(coarse)
        , m_factor(factor)
        , m_taps(filterTaps(factor))
        , m_across(std::size_t(fine.size().height()) * std::size_t(coarse.size().width()))
    {
    }

    // Along the rows first, every fine row into the poster's columns, then
    // down the columns; each result is one sum in a fixed order, so the rows
    // may be shared out among threads in any way.
    void run()
    {
        shareRowsAmongThreads(m_fine.size().height(), [this](int row) { filterRow(row); });
        shareRowsAmongThreads(m_coarse.size().height(), [this](int row) { filterColumn(row); });
    }

private:
    void filterRow(int row)
    {
        const PixelSums *fine = m_fine.row(row);
        const int fineWidth = m_fine.size().width();
        const int width = m_coarse.size().width();
        FilteredSums *across = m_across.data() + std::size_t(row) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            FilteredSums sums;
            for (int t = 0; t < int(m_taps.weights.size()); ++t) {
                const int column = x * m_factor + m_taps.offset + t;
                if (column >= 0 && column < fineWidth && fine[column].weight != 0)
                    sums.add(fine[column], m_taps.weights[std::size_t(t)]);
            }
            across[x] = sums;
        }
    }

    void filterColumn(int row)
    {
        const int fineHeight = m_fine.size().height();
        const int width = m_coarse.size().width();
        PixelSums *coarse = m_coarse.row(row);
        for (int x = 0; x < width; ++x) {
            FilteredSums sums;
            for (int t = 0; t < int(m_taps.weights.size()); ++t) {
                const int fineRow = row * m_factor + m_taps.offset + t;
                if (fineRow >= 0 && fineRow < fineHeight)
                    sums.add(m_across[std::size_t(fineRow) * std::size_t(width) + std::size_t(x)],
                             m_taps.weights[std::size_t(t)]);
            }
            coarse[x] = {whole(sums.weight), whole(sums.red), whole(sums.green), whole(sums.blue)};
        }
    }

    const PosterAccumulation &m_fine;
    PosterAccumulation &m_coarse;
    const int m_factor;
    const FilterTaps m_taps;
    std::vector<FilteredSums> m_across;
};

} // namespace

std::optional<PosterAccumulation> filterPosterSums(const PosterAccumulation &fine, int factor, QString *error)
{
    std::optional<PosterAccumulation> coarse = PosterAccumulation::allocate(fine.size() / factor, 0, error);
    if (!coarse)
        return std::nullopt;
    try {
        Filter(fine, *coarse, factor).run();
    } catch (const std::bad_alloc &) {
        *error = QCoreApplication::translate("Poster", "There is not enough memory to filter the poster down.");
        return std::nullopt;
    }
    return coarse;
}

} // namespace Vorlane
