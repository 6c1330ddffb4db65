#pragma once

class QWidget;

namespace Vorlane {

class DocumentSession;
class UserDialogs;
struct BaseFieldEditorState;
struct ProgramState;

// "Edit base field": detects the field range from the base points and the
// translations, lets the user settle it in the range window and, when it is
// accepted, opens the base field editor. Both windows are modal with owner as
// their owner; the command returns when the last of them has closed.
void editBaseField(QWidget *owner, DocumentSession &session, ProgramState &program, UserDialogs &dialogs,
                   BaseFieldEditorState &editorState);

} // namespace Vorlane
