#pragma once

#include "render/poster/poster.h"
#include "render/poster/postertone.h"

#include <QImage>
#include <QString>

namespace Vorlane {

// A whole poster request: what shapes the sums, how they become a picture,
// and the most memory the sums may take in bytes (0: the machine's
// physical memory).
struct PosterRequest
{
    PosterSettings settings;
    PosterToneMapping tone;
    qint64 memoryLimit = 0;
};

struct PosterResult
{
    PosterRunEnd end = PosterRunEnd::Finished;
    QImage picture; // when finished
    QString error;  // when failed
};

// Renders the document as a poster: fits the view, adds every piece of the
// sequence to the sums and tone-maps them. Fails with a message when the
// memory cannot be had; the picture is the same bit for bit whatever the
// control's thread count. The document must be renderable.
PosterResult renderPoster(const FractalDocument &document, const PosterRequest &request,
                          const RunControl &control = {});

} // namespace Vorlane
