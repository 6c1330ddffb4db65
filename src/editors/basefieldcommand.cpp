#include "basefieldcommand.h"

#include "basefieldeditor.h"
#include "document/programstate.h"
#include "fieldrange.h"
#include "rangewindow.h"

namespace Vorlane {

void editBaseField(QWidget *owner, ProgramState &program, UserDialogs &dialogs, BaseFieldEditorState &editorState)
{
    detectFieldRange(program.fieldRange, program.document);
    BaseFieldRangeWindow rangeWindow(program, dialogs, owner);
    if (rangeWindow.exec() != QDialog::Accepted)
        return;
    BaseFieldEditor editor(program, dialogs, editorState, owner);
    editor.exec();
}

} // namespace Vorlane
