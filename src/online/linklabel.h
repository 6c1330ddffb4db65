#pragma once

#include "document/colour.h"

#include <QLabel>

namespace Vorlane {

// A label that reports a click: the left button pressed and released over it.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(const QString &text = QString(), QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A link label: its caption in its colour, which turns to the hover colour
// when the mouse comes over it and back only when its window says so. A click
// reports the link's address; the window opens it.
class LinkLabel : public ClickableLabel
{
    Q_OBJECT

public:
    // Any link with the mouse over it, red + 256 × green + 65536 × blue.
    static constexpr qint32 hoverColour = rgbColour(100, 50, 255);

    LinkLabel(const QString &caption, qint32 restColour, QWidget *parent = nullptr);

    QString url() const { return m_url; }
    void setUrl(const QString &url) { m_url = url; }

    qint32 foreColour() const { return m_foreColour; }
    void setHovered(bool hovered);

Q_SIGNALS:
    void activated(const QString &url);

protected:
    void enterEvent(QEnterEvent *event) override;

private:
    void setForeColour(qint32 colour);

    qint32 m_restColour;
    qint32 m_foreColour = -1;
    QString m_url;
};

} // namespace Vorlane
