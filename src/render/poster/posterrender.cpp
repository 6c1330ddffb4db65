#include "render/poster/posterrender.h"

#include "render/poster/postersupersample.h"

namespace Vorlane {

PosterResult renderPoster(const FractalDocument &document, const PosterRequest &request,
                          const RunControl &control)
{
    PosterResult result;
    const PosterPieces pieces{0, posterPieceCount(request.settings.points)};
    const QSize sumsSize = posterSumsSize(request.settings);
    // Supersampled sums are filtered into sums of the picture's size.
    const qint64 filteredBytes =
        request.settings.supersample > 1 ? PosterAccumulation::bytesFor(request.settings.size) : 0;
    const qint64 otherBytes = posterWorkerBytes(sumsSize, request.settings.points, pieces, control.threads)
                              + filteredBytes + posterPictureBytes(request.settings.size, request.tone);
    std::optional<PosterAccumulation> sums =
        PosterAccumulation::allocate(sumsSize, request.memoryLimit, &result.error, otherBytes);
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
    // Filtered sums reach rows of their own, found by a scan.
    if (request.settings.supersample > 1) {
        sums = filterPosterSums(*sums, request.settings.supersample, &result.error);
        if (sums)
            result.picture = posterPicture(*sums, request.tone, &result.error, control.stop);
    } else {
        result.picture = posterPicture(*sums, run.reach, request.tone, &result.error, control.stop);
    }
    if (result.picture.isNull())
        result.end = result.error.isEmpty() ? PosterRunEnd::Cancelled : PosterRunEnd::Failed;
    return result;
}

} // namespace Vorlane
