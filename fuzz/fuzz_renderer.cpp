// Any document the reader accepts renders without undefined behaviour, with
// any scales, and gives the same picture and leaves the same random sequence
// on several threads as on one, in vector lanes as in plain code; the point
// count is capped to keep each run short.
#include "common/randomgenerator.h"
#include "document/documentfile.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"
#include "support/canvasrendertarget.h"

#include <QtEndian>

#include <cstdlib>

namespace {

constexpr qint32 maxPoints = 3000;
constexpr int scalesSize = 2 * sizeof(float);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < scalesSize)
        return 0;
    // The first eight bytes are the scales, which files do not hold.
    Vorlane::FractalDocument current;
    current.settings.scaleX = qFromLittleEndian<float>(data);
    current.settings.scaleY = qFromLittleEndian<float>(data + sizeof(float));
    const QByteArray bytes(reinterpret_cast<const char *>(data) + scalesSize, qsizetype(size - scalesSize));
    std::optional<Vorlane::FractalDocument> document = Vorlane::decodeDocument(bytes, current);
    if (!document || !Vorlane::renderProblem(*document).isEmpty())
        return 0;
    document->settings.totalPoints = qMin(document->settings.totalPoints, maxPoints);

    Vorlane::RasterCanvas visible(QSize(64, 48), document->colours.backColour);
    Vorlane::RasterCanvas hidden(QSize(64, 48), document->colours.backColour);
    visible.setPersistentDrawing(false);
    Vorlane::CanvasRenderTarget target(hidden, &visible);
    Vorlane::RandomGenerator random;
    Vorlane::renderFractal(*document, visible.scaleWidth(), visible.scaleHeight(), random, target);

    for (const Vorlane::ChainStepping stepping : {Vorlane::ChainStepping::Scalar, Vorlane::ChainStepping::Lanes}) {
        Vorlane::RasterCanvas parallel(QSize(64, 48), document->colours.backColour);
        Vorlane::RandomGenerator parallelRandom;
        Vorlane::RunControl run;
        run.threads = 3;
        run.pointsPerThread = 1;
        Vorlane::renderPicture(*document, parallel, parallelRandom, run, stepping);
        if (parallel.persistentImage() != hidden.persistentImage() || !(parallelRandom == random))
            std::abort();
    }
    return 0;
}
