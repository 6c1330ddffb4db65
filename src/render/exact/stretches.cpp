// How a run of the window's renderer is cut into stretches that threads draw
// side by side, and where in the random sequence each stretch starts.
#include "render/exact/stretches.h"

#include "document/fractaldocument.h"
#include "render/exact/renderer.h"
#include "render/chaos/pointcolour.h"

#include <algorithm>

namespace Vorlane {

namespace {

// Draws the random numbers of iterations from to to − 1, choosing the
// transformations as the run would but moving no point; returns the last
// transformation chosen, 0 for none.
int replayChoices(const FractalDocument &document, const PreparedMaps<CanvasArithmetic> &maps,
                  RandomGenerator &random, qint64 from, qint64 to)
{
    if (!maps.canChoose()) {
        random.discard(quint64(randomDrawsBefore(document, to) - randomDrawsBefore(document, from)));
        return 0;
    }
    const qint64 resolution = document.settings.resolution;
    const int perIteration = colourDraws(document);
    int selected = 0;
    for (qint64 i = from; i < to; ++i) {
        random.discard(quint64(perIteration + (i % resolution == 0 ? 1 : 0)));
        selected = maps.choose(random.next(), selected);
    }
    return selected;
}

} // namespace

// The start of a stretch from that of the one before. The choices depend on
// random numbers alone, so the last chain's are replayed; one of them almost
// always chooses, and if none does, the whole stretch before is.
StretchStart nextStart(const FractalDocument &document, const PreparedMaps<CanvasArithmetic> &maps,
                       const StretchStart &previous, qint64 previousFirst, qint64 first)
{
    const qint64 lastChain = std::max(previousFirst, first - document.settings.resolution);
    StretchStart next = previous;
    next.random.discard(quint64(randomDrawsBefore(document, lastChain) - randomDrawsBefore(document, previousFirst)));
    int chosen = replayChoices(document, maps, next.random, lastChain, first);
    if (chosen == 0 && lastChain > previousFirst) {
        next.random = previous.random;
        chosen = replayChoices(document, maps, next.random, previousFirst, first);
    }
    next.selected = chosen != 0 ? chosen : previous.selected;
    return next;
}

QList<Stretch> planStretches(qint64 totalPoints, qint16 resolution, int parts)
{
    QList<Stretch> stretches;
    if (totalPoints < 1)
        return stretches;
    qint64 first = 1;
    for (qint64 part = 1; part < parts; ++part) {
        const qint64 share = 1 + totalPoints * part / parts;
        const qint64 restart = (share + resolution - 1) / resolution * resolution;
        if (restart > first && restart <= totalPoints) {
            stretches.append({first, restart - 1});
            first = restart;
        }
    }
    stretches.append({first, totalPoints});
    return stretches;
}

QList<Stretch> planProgressStretches(qint64 totalPoints, qint16 resolution)
{
    QList<Stretch> stretches;
    const qint64 step = progressStep(qint32(totalPoints));
    qint64 first = 1;
    for (qint64 reached = step; first <= totalPoints; reached += step) {
        const qint64 restart = (reached / resolution + 1) * resolution;
        if (restart <= first)
            continue;
        const qint64 last = std::min(restart - 1, totalPoints);
        stretches.append({first, last});
        first = last + 1;
    }
    return stretches;
}

qint64 randomDrawsBefore(const FractalDocument &document, qint64 iteration)
{
    const qint64 done = iteration - 1;
    return done * (1 + colourDraws(document)) + done / document.settings.resolution;
}

} // namespace Vorlane
