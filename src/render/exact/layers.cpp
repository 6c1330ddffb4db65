#include "render/exact/layers.h"

#include <algorithm>

namespace Vorlane::exact {

void Layer::moveOnto(const RasterCanvas::PixelWriter &canvas)
{
    for (std::size_t t = 0; t < m_tiles.size(); ++t) {
        if (!m_tiles[t])
            continue;
        const int left = int(t % m_across) * tileSide;
        const int top = int(t / m_across) * tileSide;
        const int width = std::min(tileSide, canvas.width() - left);
        const int height = std::min(tileSide, canvas.height() - top);
        for (int y = 0; y < height; ++y) {
            const QRgb *from = m_tiles[t]->data() + y * tileSide;
            QRgb *to = canvas.bits() + (top + y) * canvas.stride() + left;
            for (int x = 0; x < width; ++x) {
                // A mask, not a branch: the edge of a figure would
                // make a branch guess wrong again and again.
                const QRgb keep = 0u - QRgb(from[x] == 0);
                to[x] = from[x] | (to[x] & keep);
            }
        }
        m_tiles[t]->fill(0);
    }
}

} // namespace Vorlane::exact
