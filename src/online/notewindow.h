#pragma once

#include <QDialog>

namespace Vorlane {

class LinkLabel;
class UserDialogs;
struct NetInfo;

// Form6: a note from the makers with their e-mail address and web page. It has
// no buttons; its close box closes it.
class NoteWindow : public QDialog
{
    Q_OBJECT

public:
    NoteWindow(const NetInfo &netInfo, UserDialogs &dialogs, QWidget *owner = nullptr);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LinkLabel *m_mailLink;
    LinkLabel *m_pageLink;
};

} // namespace Vorlane
