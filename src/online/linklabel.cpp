#include "online/linklabel.h"

#include <QMouseEvent>

namespace Vorlane {

ClickableLabel::ClickableLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    // Captions come from files and the network: never markup.
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

LinkLabel::LinkLabel(const QString &caption, qint32 restColour, QWidget *parent)
    : ClickableLabel(caption, parent)
    , m_restColour(restColour)
{
    setForeColour(restColour);
    connect(this, &ClickableLabel::clicked, this, [this] { Q_EMIT activated(m_url); });
}

void LinkLabel::setHovered(bool hovered)
{
    setForeColour(hovered ? hoverColour : m_restColour);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    ClickableLabel::enterEvent(event);
    setHovered(true);
}

void LinkLabel::setForeColour(qint32 colour)
{
    if (colour == m_foreColour)
        return;
    m_foreColour = colour;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(colourRed(colour), colourGreen(colour), colourBlue(colour)));
    setPalette(palette);
}

} // namespace Vorlane
