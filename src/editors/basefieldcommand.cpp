#include "editors/basefieldcommand.h"

#include "editors/basefieldeditor.h"
#include "document/documentsession.h"
#include "surroundings/programstate.h"
#include "editing/fieldrange.h"
#include "editors/rangewindow.h"

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
