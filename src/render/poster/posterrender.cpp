#include "render/poster/posterrender.h"

namespace Vorlane {

PosterResult renderPoster(const FractalDocument &document, const PosterRequest &request,
                          const RunControl &control)
{
    PosterResult result;
    std::optional<PosterAccumulation> sums =
        PosterAccumulation::allocate(request.settings.size, request.memoryLimit, &result.error);
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
    result.picture = posterPicture(*sums, run.reach, request.tone, &result.error);
    if (result.picture.isNull())
        result.end = PosterRunEnd::Failed;
    return result;
}

} // namespace Vorlane
