#pragma once

#include "editing/basefielddrawing.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace Vorlane {

class BaseFieldAreaView;
class DocumentSession;
class UserDialogs;
struct ProgramState;

// Form3, "Edit Base Field": the drawing area Picture1 as large as the field
// range, four tools drawing with a rectangular pen, numeric input of lines
// and ellipses, and "&Save", which replaces the document's base points by the
// ink it finds. The editor state lives outside the window and survives it.
class BaseFieldEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr QRgb highlight = qRgb(255, 0, 125);

    BaseFieldEditor(DocumentSession &session, ProgramState &program, UserDialogs &dialogs, BaseFieldEditorState &state,
                    QWidget *owner);
    ~BaseFieldEditor() override;

    // Shows the typed line or ellipse on the area, replacing the last preview.
    void manual();
    // Shows every tool button unselected.
    void deselect();

    const BaseFieldDrawing &drawing() const { return m_drawing; }

private:
    struct ToolButton
    {
        BaseFieldTool tool;
        QToolButton *button;
    };

    void createToolButtons();
    void createPenFields();
    void createNumericInput();
    void placeAreaAndCorners();
    void chooseTool(const ToolButton &choice);
    void fixNumericShape();
    void captureBaseField();

    DocumentSession &m_session;
    ProgramState &m_program;
    UserDialogs &m_dialogs;
    BaseFieldDrawing m_drawing;

    QWidget *m_strip;
    std::array<ToolButton, 4> m_toolButtons{};
    QGroupBox *m_numericInput = nullptr;
    std::array<QLabel *, 4> m_numericLabels{};
    std::array<QLineEdit *, 4> m_numericFields{};
    BaseFieldAreaView *m_area;
};

} // namespace Vorlane
