#pragma once

#include "common/commandline.h"
#include "render/poster/postertone.h"

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

namespace Vorlane {

// The exact mode draws as the main window does; the poster mode fits the
// fractal to the picture and shades it by density.
// Merge adds up the parts of a poster rendered apart and writes its picture.
enum class RenderMode { Exact, Poster, Merge };

// What only the poster mode reads.
struct PosterOptions
{
    // Default: posterPointsPerPixel for every pixel of the picture.
    std::optional<qint64> points;
    double zoom = 1.0;
    std::optional<QPointF> centre; // document units
    PosterToneMapping tone;        // its background colour comes from the document
    // With an accumulation file, only part of parts is rendered and its sums
    // written there instead of a picture.
    QString accumulation;
    int part = 1;
    int parts = 1;
    QStringList merge; // the part files, in the merge mode
};

constexpr qint64 posterPointsPerPixel = 20;

// A command line of vorlane-render, checked. What is not given comes from the
// document or the program's defaults.
struct RenderOptions
{
    QString input;
    QString output;
    QSize size;
    std::optional<qint32> points;
    std::optional<qint16> resolution;
    std::optional<QPoint> centre;
    std::uint32_t seed = 5489;
    int threads = 0; // 0: one for every core; 1 renders on the calling thread alone
    RenderMode mode = RenderMode::Exact;
    PosterOptions poster;
};

using ParsedRenderOptions = std::variant<RenderOptions, CommandLineInfo, CommandLineError>;

// Parses the arguments, the program's name first.
ParsedRenderOptions parseRenderOptions(const QStringList &arguments);

} // namespace Vorlane
