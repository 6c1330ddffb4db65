#pragma once

#include <QWidget>

namespace Vorlane {

class BaseFieldDrawing;

// Picture1: shows the base field drawing and hands it the pointer's press,
// move and release in area units. Moves count without a pressed button too:
// after a numeric preview the shape follows the pointer.
class BaseFieldAreaView : public QWidget
{
    Q_OBJECT

public:
    BaseFieldAreaView(BaseFieldDrawing &drawing, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    BaseFieldDrawing &m_drawing;
};

} // namespace Vorlane
