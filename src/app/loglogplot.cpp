#include "app/loglogplot.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Vorlane {

namespace {

constexpr int margin = 36;

QPointF logPoint(const BoxCount &count)
{
    return {-std::log2(double(count.size)), std::log2(double(count.boxes))};
}

// Maps the plotted points' range onto the widget, less the margins.
class PlotArea
{
public:
    PlotArea(const QList<BoxCount> &counts, const QRect &area)
        : m_area(area.adjusted(margin, margin / 2, -margin / 2, -margin))
    {
        QPointF low = logPoint(counts.constFirst());
        QPointF high = low;
        for (const BoxCount &count : counts) {
            const QPointF point = logPoint(count);
            low = {std::min(low.x(), point.x()), std::min(low.y(), point.y())};
            high = {std::max(high.x(), point.x()), std::max(high.y(), point.y())};
        }
        m_range = QRectF(low, high).adjusted(-0.5, -0.5, 0.5, 0.5);
    }

    QPointF toWidget(QPointF logPosition) const
    {
        return {m_area.left() + (logPosition.x() - m_range.left()) / m_range.width() * m_area.width(),
                m_area.bottom() - (logPosition.y() - m_range.top()) / m_range.height() * m_area.height()};
    }
    const QRect &area() const { return m_area; }
    const QRectF &range() const { return m_range; }

private:
    QRect m_area;
    QRectF m_range;
};

void drawAxes(QPainter &painter, const PlotArea &plot)
{
    painter.setPen(QPen(Qt::gray));
    painter.drawRect(plot.area());
    painter.setPen(QPen(Qt::black));
    painter.drawText(QRect(plot.area().left(), plot.area().bottom() + 4, plot.area().width(), margin - 4),
                     Qt::AlignHCenter | Qt::AlignTop, QObject::tr("log\u2082(1 / box size in pixels)"));
    painter.save();
    painter.translate(plot.area().left() - 6, plot.area().center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-plot.area().height() / 2, -margin + 6, plot.area().height(), margin - 6),
                     Qt::AlignHCenter | Qt::AlignBottom, QObject::tr("log\u2082(boxes)"));
    painter.restore();
}

void drawFit(QPainter &painter, const PlotArea &plot, const BoxCountingResult &counts)
{
    const auto lineAt = [&](double x) {
        // The fit is in natural logarithms; in base 2 the slope is the same.
        const double y = counts.intercept / std::log(2.0) + counts.dimension * x;
        return plot.toWidget({x, y});
    };
    const double from = logPoint(counts.counts.at(counts.lastFitted)).x();
    const double to = logPoint(counts.counts.at(counts.firstFitted)).x();
    painter.setPen(QPen(QColor(200, 40, 40), 2));
    painter.drawLine(lineAt(from), lineAt(to));
    painter.setPen(QPen(QColor(200, 40, 40), 1, Qt::DashLine));
    for (double x : {from, to})
        painter.drawLine(plot.toWidget({x, plot.range().top()}), plot.toWidget({x, plot.range().bottom()}));
}

} // namespace

LogLogPlot::LogLogPlot(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("boxCountingPlot"));
    setMinimumSize(240, 160);
}

void LogLogPlot::setCounts(const BoxCountingResult &counts)
{
    m_counts = counts;
    update();
}

void LogLogPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    if (m_counts.counts.isEmpty())
        return;
    const PlotArea plot(m_counts.counts, rect());
    drawAxes(painter, plot);
    if (m_counts.valid())
        drawFit(painter, plot, m_counts);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_counts.counts.size(); ++i) {
        const bool fitted = i >= m_counts.firstFitted && i <= m_counts.lastFitted;
        painter.setBrush(fitted ? QColor(30, 60, 160) : QColor(160, 160, 160));
        painter.drawEllipse(plot.toWidget(logPoint(m_counts.counts.at(i))), 4.0, 4.0);
    }
}

} // namespace Vorlane
