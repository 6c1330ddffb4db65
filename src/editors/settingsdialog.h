#pragma once

#include <QDialog>

class QLineEdit;

namespace Vorlane {

class DocumentSession;
class UserDialogs;
struct SettingsFields;
enum class SettingsField;

// Form7, "Edit Settings": the render settings. The scales are shown relative
// to the outer size of the main canvas, which the dialog reads when it opens
// and again when the user presses "&OK".
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(DocumentSession &session, UserDialogs &dialogs, const QWidget &canvas, QWidget *owner = nullptr);

private:
    void createControls();
    QSize canvasOuterTwips() const;
    void showFields(const SettingsFields &fields);
    SettingsFields typedFields() const;
    QLineEdit *field(SettingsField which) const;
    void storeSettings();

    DocumentSession &m_session;
    UserDialogs &m_dialogs;
    const QWidget &m_canvas;

    QLineEdit *m_resolution = nullptr;
    QLineEdit *m_totalPoints = nullptr;
    QLineEdit *m_scaleX = nullptr;
    QLineEdit *m_scaleY = nullptr;
};

} // namespace Vorlane
