#include "render/poster/posterrender.h"

namespace Vorlane {

PosterResult renderPoster(const FractalDocument &document, const PosterRequest &request,
                          const RunControl &control)
{
    PosterResult result;
    const PosterPieces pieces{0, posterPieceCount(request.settings.points)};
    const qint64 otherBytes =
        posterWorkerBytes(request.settings.size, request.settings.points, pieces, control.threads)
        + posterPictureBytes(request.settings.size, request.tone);
    std::optional<PosterAccumulation> sums =
        PosterAccumulation::allocate(request.settings.size, request.memoryLimit, &result.error, otherBytes);
    if (!sums) {
        result.end = PosterRunEnd::Failed;
        return result;
    }
    const PosterView view = fitPosterView(document, request.settings);
    const PosterRunResult run = accumulatePoster(document, request.settings, view, pieces, *sums, control);
    result.end = run.end;
    result.error = run.error;
    if (run.end != PosterRunEnd::Finished)
        return result;
    result.picture = posterPicture(*sums, request.tone, &result.error, control.stop);
    if (result.picture.isNull())
        result.end = result.error.isEmpty() ? PosterRunEnd::Cancelled : PosterRunEnd::Failed;
    return result;
}

} // namespace Vorlane
