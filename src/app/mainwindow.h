#pragma once

#include "render/bitmapfile.h"

#include <QMainWindow>

class QAction;
class QToolButton;

namespace Vorlane {

class CanvasView;
class ProgressStrip;
class UserDialogs;
struct ProgramState;

// Form1, the program's main window: the visible canvas Pctr1 with the hidden
// Pctr2 behind it, the progress bar, the toolbar and the menus.
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

    CanvasView *visibleCanvas() const { return m_visibleCanvas; }
    CanvasView *hiddenCanvas() const { return m_hiddenCanvas; }
    ProgressStrip *progressBar() const { return m_progressBar; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    void layoutCanvases();
    void showProgress(qint32 stepsDone);

    ProgramState &m_state;
    UserDialogs &m_dialogs;
    HandOverBitmap m_blankBitmap;
    HandOverBitmap m_tempBitmap;

    CanvasView *m_visibleCanvas;
    CanvasView *m_hiddenCanvas;
    ProgressStrip *m_progressBar;
    QAction *m_startAction = nullptr;
    QToolButton *m_startButton = nullptr;
};

} // namespace Vorlane
