#include "app/canvaslayout.h"

#include <QtGlobal>

namespace Vorlane {

namespace {

constexpr int left = 120;
constexpr int canvasTop = 720;
constexpr int widthAllowance = 345;
constexpr int canvasHeightAllowance = 1905;
constexpr int progressBarTopAllowance = 1080;
constexpr int progressBarHeight = 255;

} // namespace

std::optional<CanvasLayout> canvasLayout(QSize outerSize, int clientHeight)
{
    const int width = outerSize.width() - widthAllowance;
    const int canvasHeight = outerSize.height() - canvasHeightAllowance;
    if (width < 0 || canvasHeight < 0)
        return std::nullopt;
    const int designedBarTop = outerSize.height() - progressBarTopAllowance;
    const int barTop = qMin(designedBarTop, clientHeight - progressBarHeight);
    const int lift = designedBarTop - barTop;
    return CanvasLayout{QRect(left, canvasTop, width, qMax(0, canvasHeight - lift)),
                        QRect(left, barTop, width, progressBarHeight)};
}

} // namespace Vorlane
