#pragma once

#include "common/randomgenerator.h"
#include "render/chaos/preparedmaps.h"

#include <QList>
#include <QtGlobal>

namespace Vorlane {

struct FractalDocument;

// The iterations first to last of a run, numbered from 1.
struct Stretch
{
    qint64 first;
    qint64 last;

    bool operator==(const Stretch &) const = default;
};

// Iterations 1 to totalPoints cut into at most parts stretches of
// about equal length. Each but the first begins at a restart (a multiple of
// resolution), so no stretch needs a point of another.
QList<Stretch> planStretches(qint64 totalPoints, qint16 resolution, int parts);

// How many random numbers a run of the document draws in the iterations
// before the given one: one per choice of transformation, one per restart
// and one per colour in the random styles.
qint64 randomDrawsBefore(const FractalDocument &document, qint64 iteration);

// Where a stretch starts: the random sequence before its first iteration
// and the transformation chosen last before it.
struct StretchStart
{
    RandomGenerator random;
    int selected = 0;
};

// The start of a stretch that begins at first, from the start of the stretch
// before, which begins at previousFirst.
StretchStart nextStart(const FractalDocument &document, const PreparedMaps<CanvasArithmetic> &maps,
                       const StretchStart &previous, qint64 previousFirst, qint64 first);

} // namespace Vorlane
