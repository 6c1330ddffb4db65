#include "app/toolbarrules.h"

#include "common/twips.h"

#include <QEvent>
#include <QPainter>

namespace Vorlane {

namespace {

constexpr int uprightGreyTwips[] = {1455, 2910, 3450, 4770};
constexpr int uprightLightTwips[] = {1485, 2925, 3465};
constexpr int ruleTwips = 540;
// The advertisement and its "Click Here" lie right of the toolbar; the rule
// under the toolbar would strike through the caption.
constexpr int ruleEndTwips = 4995;
const QColor etchedGrey(128, 128, 128);

} // namespace

ToolbarRules::ToolbarRules(QWidget *client)
    : QWidget(client)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    lower();
    client->installEventFilter(this);
    fitToClient();
}

bool ToolbarRules::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitToClient();
    return QWidget::eventFilter(watched, event);
}

void ToolbarRules::fitToClient()
{
    setGeometry(0, 0, parentWidget()->width(), twipsToPixels(ruleTwips) + 1);
}

void ToolbarRules::paintEvent(QPaintEvent *)
{
    const int bottom = twipsToPixels(ruleTwips);
    QPainter painter(this);
    const auto drawUprights = [&painter, bottom](const auto &xTwips, const QColor &colour) {
        painter.setPen(colour);
        for (const int x : xTwips)
            painter.drawLine(twipsToPixels(x), 0, twipsToPixels(x), bottom);
    };
    drawUprights(uprightGreyTwips, etchedGrey);
    // The system's window colour, white on most desktops, is Qt's Base role.
    drawUprights(uprightLightTwips, palette().color(QPalette::Base));
    painter.setPen(etchedGrey);
    painter.drawLine(0, bottom, qMin(width(), twipsToPixels(ruleEndTwips)) - 1, bottom);
}

} // namespace Vorlane
