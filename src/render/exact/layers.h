#pragma once

#include "render/chaos/viewtransform.h"
#include "render/exact/blockrenderer.h"
#include "render/exact/chainlanes.h"
#include "render/exact/rastercanvas.h"

#include <QRgb>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

namespace Vorlane::exact {

// The canvas's own pixels.
class ImageSurface
{
public:
    explicit ImageSurface(const RasterCanvas::PixelWriter &writer)
        : m_bits(writer.bits())
    {
    }

    // Each colour to the pixel at its offset, row × stride + column; none
    // where the offset is −1.
    void write(const qint32 *offsets, const QRgb *colours, qint32 count) const
    {
        QRgb *bits = m_bits; // kept in a register: a pixel could be the pointer for all the compiler knows
        for (qint32 n = 0; n < count; ++n) {
            if (offsets[n] >= 0)
                bits[offsets[n]] = colours[n];
        }
    }

private:
    QRgb *m_bits;
};

// What one stretch draws, kept apart until the stretches before it are on
// the canvas: pieces of the canvas's pixels, as they lie in its memory, made
// when first touched, so a layer is only as large as the part of the canvas
// the stretch reaches. A drawn pixel is never 0 (its alpha is opaque), so 0
// marks a pixel the stretch left alone.
class Layer
{
public:
    explicit Layer(const RasterCanvas::PixelWriter &canvas)
        : m_pieces((std::size_t(canvas.stride()) * std::size_t(canvas.height()) + pieceSize - 1) / pieceSize)
    {
    }

    // ImageSurface::write into the layer.
    void write(const qint32 *offsets, const QRgb *colours, qint32 count)
    {
        std::unique_ptr<Piece> *pieces = m_pieces.data();
        for (qint32 n = 0; n < count; ++n) {
            if (offsets[n] < 0)
                continue;
            std::unique_ptr<Piece> &piece = pieces[std::size_t(offsets[n]) / pieceSize];
            if (!piece)
                piece = std::make_unique<Piece>();
            (*piece)[std::size_t(offsets[n]) % pieceSize] = colours[n];
        }
    }

    // Lays what the stretch drew over the canvas and clears the layer, whose
    // pieces then serve a later stretch of the run without being made again:
    // the stretches of one run reach much the same part of the canvas.
    void moveOnto(const RasterCanvas::PixelWriter &canvas);

private:
    static constexpr std::size_t pieceSize = 4096;
    using Piece = std::array<QRgb, pieceSize>;

    std::vector<std::unique_ptr<Piece>> m_pieces; // each made value-initialised: all 0
};

// Puts a block's points on the pixels of a surface, in the order of the
// iterations, so that the last point on a pixel gives its colour.
template<typename Surface>
class PixelOutput
{
public:
    PixelOutput(const ViewTransform &view, const RasterCanvas::PixelWriter &canvas, ChainStepping stepping,
                Surface &surface)
        : m_view(view)
        , m_stepping(stepping)
        , m_width(canvas.width())
        , m_height(canvas.height())
        , m_stride(qint32(canvas.stride()))
        , m_surface(surface)
    {
        Q_ASSERT(qint64(canvas.stride()) * canvas.height() <= std::numeric_limits<qint32>::max());
    }

    void put(const CanvasPoint *points, const QRgb *colours, qint32 count)
    {
        pixelOffsets(m_stepping, m_view, points, count, m_width, m_height, m_stride, m_offsets.data());
        m_surface.write(m_offsets.data(), colours, count);
    }

private:
    const ViewTransform &m_view;
    const ChainStepping m_stepping;
    std::array<qint32, blockSize> m_offsets;
    const qint32 m_width;
    const qint32 m_height;
    const qint32 m_stride;
    Surface &m_surface;
};

} // namespace Vorlane::exact
