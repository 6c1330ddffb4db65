#include "app/maplistdock.h"

#include "document/documentsession.h"
#include "editing/transformationfields.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

namespace Vorlane {

namespace {

// The map's share of all choices of the chaos game, in percent.
QString weightInPercent(const Transformation &transformation, double totalWeight)
{
    const double share = totalWeight > 0.0 ? transformationWeight(transformation) / totalWeight : 0.0;
    return QString::number(100.0 * share, 'f', 1);
}

} // namespace

MapListDock::MapListDock(const DocumentSession &session, QWidget *parent)
    : QDockWidget(tr("Maps"), parent), m_session(session), m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("mapList"));
    // Shown and hidden by its menu entry alone, so the entry's check mark
    // always tells the truth.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_table->setObjectName(QStringLiteral("mapTable"));
    m_table->setColumnCount(7);
    m_table->setHorizontalHeaderLabels({tr("Name"), tr("Contraction X"), tr("Contraction Y"), tr("Rotation"),
                                        tr("Translation X"), tr("Translation Y"), tr("Weight %")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    setWidget(m_table);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem *> chosen = m_table->selectedItems();
        Q_EMIT mapChosen(chosen.isEmpty() ? -1 : chosen.first()->row());
    });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row) { Q_EMIT mapOpened(row); });
    refresh();
}

void MapListDock::refresh()
{
    const FractalDocument &document = m_session.document();
    double totalWeight = 0.0;
    for (const Transformation &transformation : document.transformations)
        totalWeight += transformationWeight(transformation);
    const QSignalBlocker quiet(m_table);
    m_table->setRowCount(int(document.transformations.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const Transformation &transformation = document.transformations.at(row);
        const TransformationFields fields = transformationFields(transformation, document.settings);
        const QStringList cells{fields.name, fields.contractionX, fields.contractionY, fields.rotation,
                                fields.translationX, fields.translationY, weightInPercent(transformation, totalWeight)};
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
}

void MapListDock::showSelectedMap(int index)
{
    const QSignalBlocker quiet(m_table);
    if (index >= 0 && index < m_table->rowCount())
        m_table->selectRow(index);
    else
        m_table->clearSelection();
}

} // namespace Vorlane
