#pragma once

#include <QDialog>

namespace Vorlane {

class LinkLabel;
class UserDialogs;
struct NetInfo;

// frmAbout: the program's name, version and makers, with a link that writes
// them an e-mail.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    // What exec() answers when the user asked for the note window.
    static constexpr int noteRequested = QDialog::Accepted + 1;

    AboutWindow(const NetInfo &netInfo, UserDialogs &dialogs, QWidget *owner = nullptr);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    LinkLabel *m_authorLink;
};

} // namespace Vorlane
