#include "basefieldcommand.h"

#include "basefieldeditor.h"
#include "document/documentsession.h"
#include "document/programstate.h"
#include "fieldrange.h"
#include "rangewindow.h"

namespace Vorlane {

void editBaseField(QWidget *owner, DocumentSession &session, ProgramState &program, UserDialogs &dialogs,
                   BaseFieldEditorState &editorState)
{
    detectFieldRange(program.fieldRange, session.document());
    BaseFieldRangeWindow rangeWindow(program, session, dialogs, owner);
    if (rangeWindow.exec() != QDialog::Accepted)
        return;
    BaseFieldEditor editor(session, program, dialogs, editorState, owner);
    editor.exec();
}

} // namespace Vorlane
