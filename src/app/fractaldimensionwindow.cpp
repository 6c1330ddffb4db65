#include "app/fractaldimensionwindow.h"

#include "document/fractaldocument.h"
#include "app/loglogplot.h"
#include "render/lesson/boxcounting.h"
#include "render/lesson/fractaldimension.h"
#include "render/exact/rastercanvas.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Vorlane {

namespace {

QLabel *namedLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidgetItem *numberItem(double value, int decimals = -1)
{
    auto *item = new QTableWidgetItem(decimals < 0 ? QString::number(value, 'g', 7) : QString::number(value, 'f', decimals));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

FractalDimensionWindow::FractalDimensionWindow(QWidget *parent)
    : QDialog(parent)
    , m_maps(new QTableWidget(this))
    , m_mapsDimension(namedLabel("mapsDimension", this))
    , m_explanation(namedLabel("dimensionExplanation", this))
    , m_boxCounting(namedLabel("boxCountingDimension", this))
    , m_plot(new LogLogPlot(this))
{
    setObjectName(QStringLiteral("fractalDimension"));
    setWindowTitle(tr("Fractal Dimension"));
    m_maps->setObjectName(QStringLiteral("maps"));
    m_maps->setColumnCount(5);
    m_maps->setHorizontalHeaderLabels({tr("Map"), tr("Contraction X"), tr("Contraction Y"), tr("Rotation"), tr("Weight")});
    m_maps->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_maps->verticalHeader()->hide();
    m_maps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont bold = m_mapsDimension->font();
    bold.setBold(true);
    m_mapsDimension->setFont(bold);
    m_boxCounting->setFont(bold);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_maps, m_mapsDimension, m_explanation, m_boxCounting, m_plot})
        layout->addWidget(widget);
    layout->addWidget(buttons);
    resize(520, 640);
}

void FractalDimensionWindow::present(const FractalDocument &document, const QImage &picture)
{
    showMaps(document);
    showMapsDimension(document);
    showBoxCounting(document, picture);
    QDialog::show();
    raise();
    activateWindow();
}

void FractalDimensionWindow::showMaps(const FractalDocument &document)
{
    const QList<double> percents = weightPercents(document);
    m_maps->setRowCount(document.trCount());
    for (int row = 0; row < document.trCount(); ++row) {
        const Transformation &map = document.transformations.at(row);
        m_maps->setItem(row, 0, new QTableWidgetItem(map.name.trimmed()));
        m_maps->setItem(row, 1, numberItem(map.contraction[0]));
        m_maps->setItem(row, 2, numberItem(map.contraction[1]));
        m_maps->setItem(row, 3, numberItem(map.rotation));
        auto *weight = numberItem(percents.at(row), 1);
        weight->setText(weight->text() + QStringLiteral(" %"));
        m_maps->setItem(row, 4, weight);
    }
}

void FractalDimensionWindow::showMapsDimension(const FractalDocument &document)
{
    const MapsDimension dimension = mapsDimension(document);
    const QString value = QString::number(dimension.value, 'f', 3);
    switch (dimension.kind) {
    case MapsDimension::Similarity:
        m_mapsDimension->setText(tr("Similarity dimension: %1").arg(value));
        break;
    case MapsDimension::Affinity:
        m_mapsDimension->setText(tr("Affinity dimension (estimate): %1").arg(value));
        break;
    case MapsDimension::None:
        m_mapsDimension->setText(tr("No dimension from the maps"));
        break;
    }
    m_explanation->setText(dimension.explanation);
}

void FractalDimensionWindow::showBoxCounting(const FractalDocument &document, const QImage &picture)
{
    const BoxCountingResult boxes = boxCountingDimension(picture, RasterCanvas::toRgb(document.colours.backColour));
    m_plot->setCounts(boxes);
    if (!boxes.valid()) {
        m_boxCounting->setText(tr("Box-counting dimension: render a picture first (too little is drawn to measure)"));
        return;
    }
    m_boxCounting->setText(tr("Box-counting dimension of the picture: %1, from boxes of %2 to %3 pixels")
                               .arg(boxes.dimension, 0, 'f', 3)
                               .arg(boxes.counts.at(boxes.firstFitted).size)
                               .arg(boxes.counts.at(boxes.lastFitted).size));
}

} // namespace Vorlane
