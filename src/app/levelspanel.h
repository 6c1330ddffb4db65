#pragma once

#include "document/fractaldocument.h"

#include <QDialog>
#include <QImage>
#include <QSize>

#include <memory>

class QLabel;
class QSlider;

namespace Vorlane {

class FractalLevels;

// "Show Levels": a slider from level 0, the base field, to the deepest level
// there is room for; each level is drawn, without random numbers, as the
// images of the base field under every composition of that many maps, each
// copy in the colour of the map that placed it. Left and Right step the
// level. Not modal; the picture goes to whoever shows it.
class LevelsPanel : public QDialog
{
    Q_OBJECT

public:
    explicit LevelsPanel(QWidget *parent = nullptr);
    ~LevelsPanel() override;

    // Works out the levels of document for a canvas of canvasSize pixels and
    // shows the level the slider stands at.
    void present(const FractalDocument &document, QSize canvasSize);

Q_SIGNALS:
    // The chosen level's picture, as large as the canvas.
    void pictureChanged(const QImage &picture);

private:
    void showLevel(int level);

    QSlider *m_slider;
    QLabel *m_count;
    QLabel *m_cap;
    FractalDocument m_document;
    QSize m_canvasSize;
    std::unique_ptr<FractalLevels> m_levels;
};

} // namespace Vorlane
