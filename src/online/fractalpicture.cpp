#include "fractalpicture.h"

#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/rastercanvas.h"
#include "render/renderer.h"

namespace Vorlane {

namespace {

class PictureTarget : public RenderTarget
{
public:
    explicit PictureTarget(RasterCanvas &canvas)
        : m_writer(canvas.pixelWriter())
    {
    }

    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (qsizetype i = 0; i < count; ++i)
            m_writer.plot(points[i].x, points[i].y, RasterCanvas::toRgb(points[i].colour));
    }
    void progressStepDone(qint32) override {}

private:
    RasterCanvas::PixelWriter m_writer;
};

} // namespace

QImage renderFractalPicture(FractalDocument document, QSize pixelSize, float zoom, QPoint centre,
                            RandomGenerator &random)
{
    RasterCanvas canvas(pixelSize, document.colours.backColour);
    document.settings.scaleX = toSingle(double(zoom) / double(canvas.scaleWidth()));
    document.settings.scaleY = toSingle(double(zoom) / double(canvas.scaleHeight()));
    document.centreX = cint16(centre.x());
    document.centreY = cint16(centre.y());
    PictureTarget target(canvas);
    renderFractal(document, canvas.scaleWidth(), canvas.scaleHeight(), random, target);
    return canvas.persistentImage();
}

} // namespace Vorlane
