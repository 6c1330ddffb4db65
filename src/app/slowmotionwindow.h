#pragma once

#include "common/randomgenerator.h"
#include "document/fractaldocument.h"
#include "render/lesson/slowmotion.h"
#include "render/exact/rastercanvas.h"
#include "render/view/viewport.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QSlider;

namespace Vorlane {

// The canvas of slow motion: the points drawn so far, the current point
// marked, a line from the point before, and the frame of the map that moved
// it there, with the map's name.
class SlowMotionView : public QWidget
{
    Q_OBJECT

public:
    explicit SlowMotionView(QWidget *parent = nullptr);

    // extent is the picture's, none when it has none.
    void start(const FractalDocument &document, QSize canvasSize, const std::optional<Extent> &extent);
    void plot(const RunStep &step);
    const QImage &picture() const { return m_canvas.persistentImage(); }
    QSize sizeHint() const override { return m_canvas.pixelSize(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintChosenMap(QPainter &painter) const;

    FractalDocument m_document;
    RasterCanvas m_canvas;
    std::optional<Extent> m_extent;
    std::optional<RunStep> m_current;
    std::optional<RunStep> m_previous;
};

// "Slow Motion": the first points of a rendering one at a time, at 1 to 1,000
// points a second or faster. Space pauses and goes on, Right takes one step.
// The points are those the next "Start rendering" draws, from a copy of the
// program's random sequence, which it leaves as it is.
class SlowMotionWindow : public QDialog
{
    Q_OBJECT

public:
    explicit SlowMotionWindow(QWidget *parent = nullptr);
    ~SlowMotionWindow() override;

    // Starts from the first point of document's run, paused.
    void present(const FractalDocument &document, QSize canvasSize, const RandomGenerator &random);

    SlowMotionView *view() const { return m_view; }
    void step();
    void setPaused(bool paused);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void advance();
    void showSpeed(int index);
    void showPosition();

    SlowMotionView *m_view;
    QSlider *m_speed;
    QLabel *m_speedText;
    QLabel *m_position;
    QPushButton *m_pause;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_due = 0.0; // points owed to the speed since the last tick
    qint64 m_total = 0;
    qint64 m_done = 0;
    std::unique_ptr<SlowMotionRun> m_run;
};

} // namespace Vorlane
