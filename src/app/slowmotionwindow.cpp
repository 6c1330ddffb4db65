#include "app/slowmotionwindow.h"

#include "render/chaos/mapcolours.h"
#include "render/view/mapframes.h"
#include "widgets/mapframeview.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace Vorlane {

namespace {

// Points a second at each place of the speed slider; the last goes as fast
// as the window can draw.
constexpr std::array<qint64, 13> speeds{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 10000, 100000, 0};
constexpr int tickMilliseconds = 30;
constexpr qint64 mostPointsPerTick = 500000;

QPointF pixelOf(float x, float y)
{
    return {x / RasterCanvas::unitsPerPixel, y / RasterCanvas::unitsPerPixel};
}

} // namespace

SlowMotionView::SlowMotionView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("slowMotionCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SlowMotionView::start(const FractalDocument &document, QSize canvasSize, const std::optional<Extent> &extent)
{
    m_document = document;
    m_canvas = RasterCanvas(canvasSize, document.colours.backColour);
    m_extent = extent;
    m_current.reset();
    m_previous.reset();
    setFixedSize(canvasSize);
    update();
}

void SlowMotionView::plot(const RunStep &step)
{
    m_canvas.plot(step.x, step.y, step.colour);
    m_previous = m_current;
    m_current = step;
}

void SlowMotionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas.persistentImage());
    if (!m_current)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    paintChosenMap(painter);
    const QPointF current = pixelOf(m_current->x, m_current->y);
    if (m_previous && m_current->map != 0) {
        painter.setPen(QPen(QColor(90, 90, 90), 1.0));
        painter.drawLine(pixelOf(m_previous->x, m_previous->y), current);
    }
    painter.setPen(QPen(Qt::black, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(current, 6.0, 6.0);
    painter.setPen(QPen(Qt::white, 1.0));
    painter.drawEllipse(current, 4.0, 4.0);
}

// The chosen map's frame as the main canvas shows it with its frames on.
void SlowMotionView::paintChosenMap(QPainter &painter) const
{
    QString name = tr("a point of the base field");
    QColor colour = Qt::black;
    if (m_current->map != 0) {
        const Transformation &map = m_document.transformations.at(m_current->map - 1);
        colour = QColor::fromRgb(mapColour(m_current->map - 1));
        if (m_extent) {
            const Viewport viewport{1.0, m_canvas.scaleWidth(), m_canvas.scaleHeight(), m_document.centreX,
                                    m_document.centreY};
            const QPointF units = unitScale(m_document, viewport.scaleWidth, viewport.scaleHeight);
            paintFrame(painter, frameOnScreen(map, units, viewport, *m_extent), colour, true);
        }
        name = map.name.trimmed();
    }
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect().adjusted(8, 6, -8, -6), Qt::AlignLeft | Qt::AlignTop, name);
}

SlowMotionWindow::SlowMotionWindow(QWidget *parent)
    : QDialog(parent)
    , m_view(new SlowMotionView(this))
    , m_speed(new QSlider(Qt::Horizontal, this))
    , m_speedText(new QLabel(this))
    , m_position(new QLabel(this))
    , m_pause(new QPushButton(this))
{
    setObjectName(QStringLiteral("slowMotion"));
    setWindowTitle(tr("Slow Motion"));
    m_speed->setObjectName(QStringLiteral("speed"));
    m_speed->setRange(0, int(speeds.size()) - 1);
    m_speed->setValue(0);
    m_position->setObjectName(QStringLiteral("position"));
    auto *stepButton = new QPushButton(tr("Step (Right)"), this);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_speed, m_pause, stepButton})
        widget->setFocusPolicy(Qt::NoFocus);
    connect(m_pause, &QPushButton::clicked, this, [this] { setPaused(m_timer.isActive()); });
    connect(stepButton, &QPushButton::clicked, this, &SlowMotionWindow::step);
    connect(m_speed, &QSlider::valueChanged, this, &SlowMotionWindow::showSpeed);
    connect(&m_timer, &QTimer::timeout, this, &SlowMotionWindow::advance);
    m_timer.setInterval(tickMilliseconds);

    auto *controls = new QHBoxLayout;
    controls->addWidget(m_pause);
    controls->addWidget(stepButton);
    controls->addWidget(m_speed, 1);
    controls->addWidget(m_speedText);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 0, Qt::AlignCenter);
    layout->addLayout(controls);
    layout->addWidget(m_position);
    showSpeed(0);
}

SlowMotionWindow::~SlowMotionWindow() = default;

void SlowMotionWindow::present(const FractalDocument &document, QSize canvasSize, const RandomGenerator &random)
{
    const float scaleWidth = float(canvasSize.width() * RasterCanvas::unitsPerPixel);
    const float scaleHeight = float(canvasSize.height() * RasterCanvas::unitsPerPixel);
    m_run = std::make_unique<SlowMotionRun>(document, scaleWidth, scaleHeight, random);
    m_view->start(document, canvasSize, pictureExtent(document, scaleWidth, scaleHeight));
    m_total = document.settings.totalPoints;
    m_done = 0;
    setPaused(true);
    showPosition();
    show();
    raise();
    activateWindow();
}

void SlowMotionWindow::step()
{
    setPaused(true);
    if (m_run && !m_run->atEnd()) {
        m_view->plot(m_run->next());
        ++m_done;
    }
    showPosition();
    m_view->update();
}

void SlowMotionWindow::setPaused(bool paused)
{
    const bool finished = !m_run || m_run->atEnd();
    if (paused || finished) {
        m_timer.stop();
    } else if (!m_timer.isActive()) {
        m_due = 0.0;
        m_clock.start();
        m_timer.start();
    }
    m_pause->setText(m_timer.isActive() ? tr("Pause (Space)") : tr("Go (Space)"));
}

void SlowMotionWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space)
        setPaused(m_timer.isActive());
    else if (event->key() == Qt::Key_Right)
        step();
    else
        QDialog::keyPressEvent(event);
}

void SlowMotionWindow::closeEvent(QCloseEvent *event)
{
    setPaused(true);
    QDialog::closeEvent(event);
}

void SlowMotionWindow::advance()
{
    const qint64 speed = speeds[std::size_t(m_speed->value())];
    m_due += speed == 0 ? double(mostPointsPerTick) : double(speed) * double(m_clock.restart()) / 1000.0;
    const qint64 count = std::min<qint64>(qint64(m_due), mostPointsPerTick);
    m_due -= double(count);
    for (qint64 n = 0; n < count && !m_run->atEnd(); ++n) {
        m_view->plot(m_run->next());
        ++m_done;
    }
    if (m_run->atEnd())
        setPaused(true);
    showPosition();
    m_view->update();
}

void SlowMotionWindow::showSpeed(int index)
{
    const qint64 speed = speeds[std::size_t(index)];
    m_speedText->setText(speed == 0 ? tr("as fast as it goes")
                                    : tr("%1 a second").arg(QLocale().toString(speed)));
}

void SlowMotionWindow::showPosition()
{
    const QLocale locale;
    if (m_done == m_total)
        m_position->setText(tr("All %1 points: the picture \"Start rendering\" draws.").arg(locale.toString(m_total)));
    else if (m_run->atEnd())
        m_position->setText(tr("The first %1 points of %2: slow motion shows no more.")
                                .arg(locale.toString(m_done), locale.toString(m_total)));
    else
        m_position->setText(tr("Point %1 of %2").arg(locale.toString(m_done), locale.toString(m_total)));
}

} // namespace Vorlane
