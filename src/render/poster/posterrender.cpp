#include "render/poster/posterrender.h"

#include "render/poster/postersupersample.h"

namespace Vorlane {

PosterResult renderPoster(const FractalDocument &document, const PosterRequest &request,
                          const RunControl &control)
{
    PosterResult result;
    std::optional<PosterAccumulation> sums =
        PosterAccumulation::allocate(posterSumsSize(request.settings), request.memoryLimit, &result.error);
    if (!sums) {
        result.end = PosterRunEnd::Failed;
        return result;
    }
    const PosterView view = fitPosterView(document, request.settings);
    const PosterRunResult run = accumulatePoster(document, request.settings, view,
                                                 {0, posterPieceCount(request.settings.points)}, *sums, control);
    result.end = run.end;
    result.error = run.error;
    if (run.end != PosterRunEnd::Finished)
        return result;
    if (request.settings.supersample > 1)
        sums = filterPosterSums(*sums, request.settings.supersample, &result.error);
    if (sums)
        result.picture = posterPicture(*sums, request.tone, &result.error);
    if (result.picture.isNull())
        result.end = PosterRunEnd::Failed;
    return result;
}

} // namespace Vorlane
