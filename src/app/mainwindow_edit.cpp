// The main window's editor commands. Each opens its window modally, made
// afresh so that it shows the document as it is now.
#include "app/mainwindow.h"

#include "app/maplistdock.h"
#include "surroundings/programstate.h"
#include "editors/colourdialog.h"
#include "editors/settingsdialog.h"
#include "editors/transformationeditor.h"
#include "widgets/canvasview.h"

#include <QAction>

namespace Vorlane {

void MainWindow::editTransformations()
{
    // A map chosen on the canvas is the one to edit; with the frames hidden
    // the editor opens with nothing selected.
    editTransformationsOn(m_commands.showMapsAction->isChecked() ? m_state.selectedTr - 1 : -1);
}

void MainWindow::editTransformationsOn(int index)
{
    TransformationEditor editor(m_session, m_state, m_dialogs, this);
    editor.openOn(index);
    editor.exec();
    // The editor's choice of map is the program's selection.
    m_mapList->showSelectedMap(m_state.selectedTr - 1);
}

void MainWindow::editSettings()
{
    SettingsDialog dialog(m_session, m_dialogs, *m_visibleCanvas, this);
    dialog.exec();
}

void MainWindow::editColours()
{
    ColourDialog dialog(m_session, m_dialogs, this);
    dialog.exec();
}

} // namespace Vorlane
