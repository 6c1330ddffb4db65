#pragma once

#include "render/chaos/viewtransform.h"
#include "render/exact/blockrenderer.h"
#include "render/exact/chainlanes.h"
#include "render/exact/rastercanvas.h"

#include <QRgb>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace Vorlane::exact {

// The canvas's own pixels.
class ImageSurface
{
public:
    explicit ImageSurface(const RasterCanvas::PixelWriter &writer)
        : m_bits(writer.bits())
        , m_stride(writer.stride())
    {
    }

    void write(quint32 x, quint32 y, QRgb rgb) { m_bits[qsizetype(y) * m_stride + x] = rgb; }

private:
    QRgb *m_bits;
    qsizetype m_stride;
};

// What one stretch draws, kept apart until the stretches before it are on
// the canvas: tiles made when first touched, so a layer is only as large as
// the part of the canvas the stretch reaches. A drawn pixel is never 0 (its
// alpha is opaque), so 0 marks a pixel the stretch left alone.
class Layer
{
public:
    Layer(int width, int height)
        : m_across(tilesFor(width))
        , m_tiles(std::size_t(m_across) * tilesFor(height))
    {
    }

    void write(quint32 x, quint32 y, QRgb rgb)
    {
        std::unique_ptr<Tile> &tile = m_tiles[std::size_t(y / tileSide) * m_across + x / tileSide];
        if (!tile)
            tile = std::make_unique<Tile>();
        (*tile)[(y % tileSide) * tileSide + x % tileSide] = rgb;
    }

    // Lays what the stretch drew over the canvas and clears the layer, whose
    // tiles then serve a later stretch of the run without being made again:
    // the stretches of one run reach much the same part of the canvas.
    void moveOnto(const RasterCanvas::PixelWriter &canvas);

private:
    static constexpr int tileSide = 64;
    using Tile = std::array<QRgb, tileSide * tileSide>;

    static std::size_t tilesFor(int pixels) { return std::size_t(pixels + tileSide - 1) / tileSide; }

    std::size_t m_across;
    std::vector<std::unique_ptr<Tile>> m_tiles; // each made value-initialised: all 0
};

// Puts a block's points on the pixels of a surface, in the order of the
// iterations, so that the last point on a pixel gives its colour.
template<typename Surface>
class PixelOutput
{
public:
    PixelOutput(const ViewTransform &view, int width, int height, ChainStepping stepping, Surface &surface)
        : m_view(view)
        , m_stepping(stepping)
        , m_width(quint32(width))
        , m_height(quint32(height))
        , m_surface(surface)
    {
    }

    void put(const CanvasPoint *points, const QRgb *colours, qint32 count)
    {
        pixels(m_stepping, m_view, points, count, m_columns.data(), m_rows.data());
        for (qint32 n = 0; n < count; ++n) {
            // A negative position turns into a large unsigned one: off the canvas too.
            const quint32 x = quint32(m_columns[n]);
            const quint32 y = quint32(m_rows[n]);
            if (x < m_width && y < m_height)
                m_surface.write(x, y, colours[n]);
        }
    }

private:
    const ViewTransform &m_view;
    const ChainStepping m_stepping;
    std::array<qint32, blockSize> m_columns;
    std::array<qint32, blockSize> m_rows;
    const quint32 m_width;
    const quint32 m_height;
    Surface &m_surface;
};

} // namespace Vorlane::exact
