#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace Vorlane {

class RandomGenerator;
struct FractalDocument;

// The picture on the whole screen, for a projector: the fractal fitted to
// the screen with a margin, drawn from a copy of the program's random
// sequence, so the window's own pictures stay as they would be. Esc or F11
// leaves it.
class FullScreenCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit FullScreenCanvas(QWidget *parent = nullptr);

    // canvasSize is the main canvas's, in pixels, whose scale the document's is.
    void present(const FractalDocument &document, QSize canvasSize, const RandomGenerator &random);
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage m_picture;
    QColor m_background;
};

} // namespace Vorlane
