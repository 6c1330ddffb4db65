#include "render/exact/layers.h"

#include <algorithm>

namespace Vorlane::exact {

void Layer::moveOnto(const RasterCanvas::PixelWriter &canvas)
{
    const std::size_t pixels = std::size_t(canvas.stride()) * std::size_t(canvas.height());
    for (std::size_t p = 0; p < m_pieces.size(); ++p) {
        if (!m_pieces[p])
            continue;
        const QRgb *from = m_pieces[p]->data();
        QRgb *to = canvas.bits() + p * pieceSize;
        const std::size_t length = std::min(pieceSize, pixels - p * pieceSize);
        for (std::size_t i = 0; i < length; ++i) {
            // A mask, not a branch: the edge of a figure would make a
            // branch guess wrong again and again.
            const QRgb keep = 0u - QRgb(from[i] == 0);
            to[i] = from[i] | (to[i] & keep);
        }
        m_pieces[p]->fill(0);
    }
}

} // namespace Vorlane::exact
