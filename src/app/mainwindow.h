#pragma once

#include "editors/basefieldeditorstate.h"
#include "render/bitmapfile.h"

#include <QMainWindow>

class QAction;
class QToolButton;

namespace Vorlane {

class CanvasView;
class OnlineLinks;
class ProgressStrip;
class UserDialogs;
struct ProgramState;

// Form1, the program's main window: the visible canvas Pctr1 with the hidden
// Pctr2 behind it, the progress bar, the toolbar and the menus. Every menu
// entry and its toolbar button share one QAction, so each command has one
// implementation.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The window's client area when it first opens, in twips.
    static constexpr int initialClientWidthTwips = 6720;
    static constexpr int initialClientHeightTwips = 7260;

    MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Builds the start-up document for the canvas as it is now shown and
    // writes the blank and the last picture beside the program.
    void initialiseDocument();

    // "Start rendering": renders the document into both canvases.
    void startRendering();

    // The editors, each shown modally over this window.
    void editTransformations();
    void editSettings();
    void editColours();

    // Reads a document file into the program. A file that is not a whole,
    // valid document is refused with a message and changes nothing; after a
    // successful read the canvases are blank in the new background colour,
    // currentFile is path and modified is 0. True when the file was read.
    bool readDocumentFile(const QString &path);

    // Clears both canvases to the document's background colour, writes that
    // blank picture as "BLANK.BMP" and shows it on the visible canvas.
    void resetCanvases();

    // Writes the document to path, replacing any file there as a whole. A
    // failure is reported, naming the file and the reason, and changes
    // nothing; on success currentFile is path and modified is 0.
    bool saveDocumentTo(const QString &path);

    // Whether a document may be written to path: true at once when no file
    // with content is there, otherwise the user's answer to the overwrite
    // question.
    bool mayReplaceDocument(const QString &path);

    // The picture a rendering leaves, kept as "TEMP.BMP".
    HandOverBitmap &lastPicture() { return m_tempBitmap; }

    CanvasView *visibleCanvas() const { return m_visibleCanvas; }
    CanvasView *hiddenCanvas() const { return m_hiddenCanvas; }
    ProgressStrip *progressBar() const { return m_progressBar; }
    OnlineLinks &online() const { return *m_online; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    QAction *addCommand(const char *name, const QString &text, const QKeySequence &shortcut = {},
                        const QString &toolTip = {});
    QToolButton *addPictureButton(const char *name, QAction *action, const QRect &twips);
    void setCommandIcons();
    void connectFileCommands();
    void layoutCanvases();
    void showProgress(qint32 stepsDone);

    // The File menu's commands.
    void newDocument();
    void openDocument();
    void saveDocument();
    void saveDocumentAs();
    void exportPicture();
    bool mayReplace(const QString &path, const QString &question);
    void reportWriteFailure(const QString &path, const QString &reason);

    ProgramState &m_state;
    UserDialogs &m_dialogs;
    HandOverBitmap m_blankBitmap;
    HandOverBitmap m_tempBitmap;
    // Outlives the base field editor's window: the tool and the pen stay.
    BaseFieldEditorState m_baseFieldEditor;

    CanvasView *m_visibleCanvas;
    CanvasView *m_hiddenCanvas;
    ProgressStrip *m_progressBar;
    OnlineLinks *m_online;

    // The commands, named as their menu entries.
    struct Commands
    {
        QAction *flnw, *flopn, *flsv, *flsavas, *svbmp, *exit;
        QAction *trns, *bstrn, *styl, *setng;
        QAction *start;
        QAction *tellfriend, *vrws, *vrg, *eml, *progsite;
        QAction *incnt, *abt;
    } m_commands{};
};

} // namespace Vorlane
