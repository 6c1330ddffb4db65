#include "document/canvasunits.h"

namespace Vorlane {

// The window's outer size less 345 × 1905 twips: a client area of 6720 ×
// 7260 twips, Qt's 19-pixel menu bar and the classic 8 × 27-pixel frame.
QSize startupCanvasSize()
{
    return QSize(433, 403);
}

} // namespace Vorlane
