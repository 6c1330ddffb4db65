// The main window's editor commands. Each opens its window modally, made
// afresh so that it shows the document as it is now.
#include "app/mainwindow.h"

#include "editors/colourdialog.h"
#include "editors/settingsdialog.h"
#include "editors/transformationeditor.h"
#include "widgets/canvasview.h"

namespace Vorlane {

void MainWindow::editTransformations()
{
    TransformationEditor editor(m_session, m_state, m_dialogs, this);
    editor.exec();
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
