#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QTableWidget;

namespace Vorlane {

class LogLogPlot;
struct FractalDocument;

// "Fractal Dimension": the maps with their contractions and weights, the
// dimension the maps give, and the box-counting dimension measured on the
// picture last drawn, with its log-log plot. Not modal: it shows what it
// was given and is refreshed by present().
class FractalDimensionWindow : public QDialog
{
    Q_OBJECT

public:
    explicit FractalDimensionWindow(QWidget *parent = nullptr);

    // picture is the last picture drawn, on the document's background colour.
    void present(const FractalDocument &document, const QImage &picture);

private:
    void showMaps(const FractalDocument &document);
    void showMapsDimension(const FractalDocument &document);
    void showBoxCounting(const FractalDocument &document, const QImage &picture);

    QTableWidget *m_maps;
    QLabel *m_mapsDimension;
    QLabel *m_explanation;
    QLabel *m_boxCounting;
    LogLogPlot *m_plot;
};

} // namespace Vorlane
