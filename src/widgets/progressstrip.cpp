#include "widgets/progressstrip.h"

#include <QLabel>
#include <QPainter>

namespace Vorlane {

namespace {

const QColor stepColour(30, 100, 50);
constexpr int labelHeightPixels = 13; // 195 twips

} // namespace

ProgressStrip::ProgressStrip(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("Picture1"));
    m_label->setObjectName(QStringLiteral("Label1"));
    // The design's height cuts off the bottoms of the letters of a larger
    // font than its own; the bar below it has room to spare.
    m_label->setGeometry(0, 0, 100, qMax(labelHeightPixels, m_label->fontMetrics().height()));
    m_label->setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Light);
}

void ProgressStrip::setStepsDone(int stepsDone)
{
    m_stepsDone = stepsDone;
    update();
}

void ProgressStrip::centreStatusLabel()
{
    m_label->move((width() - m_label->width()) / 2, 0);
}

void ProgressStrip::paintEvent(QPaintEvent *)
{
    if (m_stepsDone <= 0)
        return;
    // Box n spans scale columns n − 1 to n of 60, both edges included.
    const int lastStep = qMin(m_stepsDone, steps);
    const int right = lastStep * width() / steps;
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, qMin(right + 1, width()), labelHeightPixels), stepColour);
}

} // namespace Vorlane
