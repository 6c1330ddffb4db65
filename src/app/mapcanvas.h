#pragma once

#include "document/documentsession.h"
#include "render/view/viewport.h"
#include "widgets/mapframeview.h"

#include <QObject>
#include <QPointF>

#include <optional>

namespace Vorlane {

class CanvasView;
struct ProgramState;

// What the mouse does on the visible canvas: the maps' frames over the
// picture and their drags, zooming about the pointer and panning. The zoom is
// the window's own: it is neither stored nor a step; panning moves the
// document's view centre as the arrow buttons do. A drag is one step of the
// session, taken when the button comes up.
class MapCanvas : public QObject
{
    Q_OBJECT

public:
    // How much one wheel notch, Zoom In or Zoom Out changes the zoom.
    static constexpr double zoomStep = 1.25;

    MapCanvas(CanvasView &canvas, DocumentSession &session, ProgramState &state, QObject *parent = nullptr);

    Viewport viewport() const;
    // The picture's extent in fractal units, from a quick run of the document.
    const std::optional<Extent> &extent();

    bool framesShown() const { return m_framesShown; }
    void showFrames(bool on);
    // The map that a click on its frame selected, -1 for none.
    int selectedMap() const;
    // Selects map index, as a click on its frame does.
    void selectMap(int index);

    void zoomBy(double factor);
    // Zoom and centre such that the picture's extent fills the canvas with a
    // margin of 5 % on every side.
    void fitPicture();

Q_SIGNALS:
    // While a drag goes on: the document as the drag would leave it, to be
    // drawn quickly.
    void previewWanted(const Vorlane::FractalDocument &document);
    // The view or the document changed through the mouse: the picture is to
    // be drawn again in full.
    void renderWanted();
    // A map was selected, by a click on its frame or through selectMap.
    void mapSelected(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct MapDrag
    {
        FrameGrip grip;
        QPointF from; // fractal units
        FractalDocument before;
        FractalDocument now;
    };
    struct Pan
    {
        QPointF from; // pixels
        Viewport before;
        bool moved = false;
    };

    void press(QPointF pixels, Qt::MouseButton button);
    void move(QPointF pixels, Qt::KeyboardModifiers modifiers);
    void release();
    void wheel(QPointF pixels, int angleDelta);
    void setView(const Viewport &view);
    void dragMapTo(QPointF pixels, bool shift);
    const FractalDocument &shownDocument() const;
    QList<FrameOnScreen> frames();

    CanvasView &m_canvas;
    DocumentSession &m_session;
    ProgramState &m_state;
    double m_zoom = 1.0;
    bool m_framesShown = false;
    bool m_extentStale = true;
    std::optional<Extent> m_extent;
    std::optional<MapDrag> m_drag;
    std::optional<Pan> m_pan;
};

} // namespace Vorlane
