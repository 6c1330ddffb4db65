#pragma once

#include "render/chaos/viewtransform.h"
#include "render/exact/blockrenderer.h"
#include "render/exact/chainlanes.h"
#include "render/exact/rastercanvas.h"

#include <QRgb>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <memory>

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
// the canvas: the canvas's pixels as they lie in its memory, so that a plot
// into a layer costs what a plot onto the canvas costs. The memory comes
// zeroed from calloc, which on a large canvas maps pages only when first
// written, so a layer holds only the part of the canvas that the stretch
// reaches; a mark per page says which those are. A drawn pixel is never 0
// (its alpha is opaque), so 0 marks a pixel the stretch left alone.
class Layer
{
public:
    explicit Layer(const RasterCanvas::PixelWriter &canvas);

    // ImageSurface::write into the layer.
    void write(const qint32 *offsets, const QRgb *colours, qint32 count)
    {
        QRgb *pixels = m_pixels.get();
        bool *drawnPages = m_drawnPages.get();
        for (qint32 n = 0; n < count; ++n) {
            if (offsets[n] < 0)
                continue;
            pixels[offsets[n]] = colours[n];
            drawnPages[std::size_t(offsets[n]) / pageSize] = true;
        }
    }

    // Lays what the stretch drew over the canvas and clears the layer, which
    // then serves a later stretch of the run.
    void moveOnto(const RasterCanvas::PixelWriter &canvas);

private:
    static constexpr std::size_t pageSize = 1024; // pixels in 4 KiB

    struct Free
    {
        void operator()(void *memory) const { std::free(memory); }
    };

    const std::size_t m_size;
    const std::unique_ptr<QRgb[], Free> m_pixels;
    const std::unique_ptr<bool[], Free> m_drawnPages;
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
