#pragma once

#include <QDialog>

class QLineEdit;

namespace Vorlane {

class DocumentSession;
class UserDialogs;
struct ProgramState;

// Form4, "Select size of Base Field": widens a narrow field range as it
// opens, shows the four limits as display values and stores what the user
// accepts. A range the editor cannot work with is refused with a message and
// the window stays open.
class BaseFieldRangeWindow : public QDialog
{
    Q_OBJECT

public:
    BaseFieldRangeWindow(ProgramState &program, const DocumentSession &session, UserDialogs &dialogs, QWidget *owner);

private:
    QLineEdit *addLimitField(const char *labelName, const QString &label, const char *name, const QString &toolTip,
                             int left, int top);
    void acceptRange();

    ProgramState &m_program;
    const DocumentSession &m_session;
    UserDialogs &m_dialogs;
    QLineEdit *m_xmaxt;
    QLineEdit *m_xmint;
    QLineEdit *m_ymaxt;
    QLineEdit *m_ymint;
};

} // namespace Vorlane
