#include "render/exact/layers.h"

#include <algorithm>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vorlane::exact {

namespace {

// A zeroed array of count values, or std::bad_alloc.
template<typename Value>
Value *zeroedArray(std::size_t count)
{
    void *memory = std::calloc(count, sizeof(Value));
    if (memory == nullptr)
        throw std::bad_alloc();
    return static_cast<Value *>(memory);
}

// Each pixel drawn in from over the canvas's pixel in to, and from cleared.
// A mask, not a branch: the edge of a figure would make a branch guess wrong
// again and again.
void layOverAndClear(QRgb *from, QRgb *to, std::size_t length)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= length; i += 4) {
        const __m128i drawn = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + i));
        const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i *>(to + i));
        const __m128i keep = _mm_cmpeq_epi32(drawn, _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), _mm_or_si128(drawn, _mm_and_si128(under, keep)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(from + i), _mm_setzero_si128());
    }
#endif
    for (; i < length; ++i) {
        const QRgb keep = 0u - QRgb(from[i] == 0);
        to[i] = from[i] | (to[i] & keep);
        from[i] = 0;
    }
}

} // namespace

Layer::Layer(const RasterCanvas::PixelWriter &canvas)
    : m_size(std::size_t(canvas.stride()) * std::size_t(canvas.height()))
    , m_pixels(zeroedArray<QRgb>(m_size))
    , m_drawnPages(zeroedArray<bool>((m_size + pageSize - 1) / pageSize))
{
}

void Layer::moveOnto(const RasterCanvas::PixelWriter &canvas)
{
    for (std::size_t page = 0; page * pageSize < m_size; ++page) {
        if (!m_drawnPages[page])
            continue;
        const std::size_t first = page * pageSize;
        layOverAndClear(m_pixels.get() + first, canvas.bits() + first, std::min(pageSize, m_size - first));
        m_drawnPages[page] = false;
    }
}

} // namespace Vorlane::exact
