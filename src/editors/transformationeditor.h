#pragma once

#include <QDialog>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Vorlane {

class DocumentSession;
class UserDialogs;
struct ProgramState;
struct TransformationFields;

// Form2, "Edit Transformation": lists, adds, removes and edits the document's
// transformations. Add and Remove change the document at once; the fields
// change the selected transformation only when accepted. The selection is the
// program-wide selectedTr, so it survives closing the window.
class TransformationEditor : public QDialog
{
    Q_OBJECT

public:
    TransformationEditor(DocumentSession &session, ProgramState &state, UserDialogs &dialogs,
                         QWidget *owner = nullptr);

    // Opens with the entry of transformation index + 1 selected, as if the
    // user had picked it, when there is one; the list shows it and the fields
    // hold its values.
    void openOn(int index);

private:
    void createControls();
    QGridLayout *createValueGrid();
    QLineEdit *addField(const char *name, const QString &toolTip);
    QPushButton *addButton(const char *name, const QString &caption, const QString &toolTip = {});
    void fillList();
    void cutName(const QString &text);
    void selectTransformation(int index);
    void addTransformation();
    void removeTransformation();
    void acceptTransformation();
    void openHelp();
    void showFields(const TransformationFields &fields);
    TransformationFields typedFields() const;

    DocumentSession &m_session;
    ProgramState &m_state;
    UserDialogs &m_dialogs;

    QComboBox *m_name = nullptr;
    QLabel *m_number = nullptr;
    QLineEdit *m_contractionX = nullptr;
    QLineEdit *m_contractionY = nullptr;
    QLineEdit *m_rotation = nullptr;
    QLineEdit *m_translationX = nullptr;
    QLineEdit *m_translationY = nullptr;
};

} // namespace Vorlane
