#pragma once

#include "document/fractaldocument.h"
#include "render/poster/posterrender.h"

#include <QDialog>
#include <QPointF>
#include <QSize>
#include <QString>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QSpinBox;
class QTimer;

namespace Vorlane {

// What the user asks of a poster; remembered in the program's settings
// between runs, never in the document.
struct PosterChoice
{
    QSize size{2000, 2000};
    qint64 points = 80'000'000;
    double gamma = 2.2;
    bool transparent = false;
    bool deep = false; // 16 bits per colour component
    // The fitted view, or zoom and centre (document units, Y up).
    bool fit = true;
    double zoom = 1.0;
    QPointF centre;
    QString palette = QStringLiteral("document");
    PosterColourBy colourBy = PosterColourBy::Document;
    double brightness = 1.0;
    double contrast = 1.0;
    double vibrancy = 1.0;
    int resolution = 0; // 0: the document's own
    int skip = 0;
    int supersample = 1;

    bool operator==(const PosterChoice &) const = default;

    static PosterChoice remembered();
    void remember() const;

    // The request for this choice and the document as the poster renders it
    // (its resolution replaced when the choice names one).
    PosterRequest request(FractalDocument &document) const;
};

// Asks for a poster's size, points, framing, colours, tone, depth and
// finish, with a small poster of the document as a preview that follows
// every change.
class PosterDialog : public QDialog
{
    Q_OBJECT

public:
    PosterDialog(const PosterChoice &initial, const FractalDocument &document, QWidget *parent = nullptr);

    PosterChoice choice() const;

private:
    void addFraming(QFormLayout *form, const PosterChoice &initial);
    void addColours(QFormLayout *form, const PosterChoice &initial);
    void showFraming();
    void updatePreview();

    FractalDocument m_document;
    QSpinBox *m_width;
    QSpinBox *m_height;
    QSpinBox *m_millions;
    QCheckBox *m_fit;
    QDoubleSpinBox *m_zoom;
    QDoubleSpinBox *m_centreX;
    QDoubleSpinBox *m_centreY;
    QComboBox *m_palette;
    QComboBox *m_colourBy;
    QDoubleSpinBox *m_gamma;
    QDoubleSpinBox *m_brightness;
    QDoubleSpinBox *m_contrast;
    QDoubleSpinBox *m_vibrancy;
    QSpinBox *m_resolution;
    QSpinBox *m_skip;
    QSpinBox *m_supersample;
    QCheckBox *m_transparent;
    QCheckBox *m_deep;
    QLabel *m_preview;
    QTimer *m_previewTimer;
};

// The small poster the dialog shows for choice: at most side pixels a side,
// a few points a pixel.
QImage posterPreview(const FractalDocument &document, const PosterChoice &choice, int side);

} // namespace Vorlane
