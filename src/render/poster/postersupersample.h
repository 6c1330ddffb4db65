#pragma once

#include "render/poster/posteraccumulation.h"

#include <QString>

#include <optional>

namespace Vorlane {

// The sums of a supersampled poster filtered down by factor along each side
// with a Gaussian filter (standard deviation 0.42 of a poster pixel, cut at
// 1.5 pixels), so that a pixel's sums are comparable with those of a poster
// gathered at its own size. The same bits whatever the number of threads;
// none, with error set, when the memory cannot be had.
std::optional<PosterAccumulation> filterPosterSums(const PosterAccumulation &fine, int factor, QString *error);

} // namespace Vorlane
