#pragma once

#include "document/documentsession.h"
#include "editing/basefieldeditorstate.h"
#include "render/picturefile/bitmapfile.h"

#include <QMainWindow>

#include <optional>

class QAction;
class QMenu;
class QTimer;
class QToolButton;

namespace Vorlane {

class CanvasView;
class FractalDimensionWindow;
class FullScreenCanvas;
class LevelsPanel;
class MapCanvas;
class MapListDock;
class SlowMotionWindow;
class OnlineLinks;
class PosterExport;
class ProgressStrip;
class RasterCanvas;
class UserDialogs;
enum class PanDirection;
struct LaunchOptions;
struct RunControl;
struct ProgramState;

// Form1, the program's main window: the visible canvas Pctr1 with the hidden
// Pctr2 behind it, the progress bar, the toolbar and the menus. Every menu
// entry and its toolbar button share one QAction, so each command has one
// implementation. The class is split by concern over mainwindow_file.cpp,
// _edit, _render, _poster, _view, _lesson and _lifecycle.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The window's client area when it first opens, in twips.
    static constexpr int initialClientWidthTwips = 6720;
    static constexpr int initialClientHeightTwips = 7260;

    MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Form1's loading: takes the program folder, shows the window and sets
    // up the document, from the command line or the start-up one.
    void load(const LaunchOptions &launch);

    // Reads commandLineDocument, or builds the start-up document for the
    // canvas as it is now shown when there is none or it is refused; then
    // writes the blank and the last picture beside the program.
    void initialiseDocument(const QString &commandLineDocument = QString());

    // Draws the axes for the view centre on the visible canvas.
    void showAxes();

    // The window's size with its frame, in twips, as the canvas layout
    // measures it.
    QSize outerSizeTwips() const;

    // "Start rendering": renders the document into the hidden canvas on every
    // core and hands the picture to the visible one. Esc stops it early,
    // keeping what was drawn; any other input during it is dropped.
    void startRendering();

    // "Export Poster...": asks for the poster and its file, then renders it
    // in the background.
    void exportPoster();

    // The editors, each shown modally over this window.
    void editTransformations();
    // The transformation editor opened on map index, as if the user had
    // picked it there.
    void editTransformationsOn(int index);
    void editSettings();
    void editColours();

    // Reads a document file into the program as the step Open. A file that
    // is not a whole, valid document is refused with a message and changes
    // nothing; after a successful read the canvases are blank in the new
    // background colour, currentFile is path and modified is 0. True when the
    // file was read.
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

    // The document, and the one way to change it.
    DocumentSession &session() { return m_session; }

    CanvasView *visibleCanvas() const { return m_visibleCanvas; }
    CanvasView *hiddenCanvas() const { return m_hiddenCanvas; }
    ProgressStrip *progressBar() const { return m_progressBar; }
    // The frames, the zoom and what the mouse does on the visible canvas.
    MapCanvas &mapCanvas() const { return *m_mapCanvas; }
    OnlineLinks &online() const { return *m_online; }
    PosterExport &posterExport() const { return *m_posterExport; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The shutdown: a poster export still running is stopped or kept (then
    // the window stays), the save question, then the temporary files go.
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolbar();
    QAction *addCommand(const char *name, const QString &text, const QKeySequence &shortcut = {},
                        const QString &toolTip = {});
    QToolButton *addPictureButton(const char *name, QAction *action, const QRect &twips);
    void setCommandIcons();
    void connectFileCommands();

    void createArrowButtons();

    // The Render menu's view commands: the maps' frames, zoom, Fit and
    // rendering after every change.
    void createViewCommands();
    void addViewCommands(QMenu *run);
    void showPreview(const FractalDocument &document);
    void renderSoon();
    void renderAfterChange(DocumentParts parts);
    void createMapList();
    void showMapList(bool on);

    // The Render menu's views for a lesson, in mainwindow_lesson.cpp.
    void addLessonCommands(QMenu *run);
    void showLevels();
    void showFractalDimension();
    void showSlowMotion();
    void showCanvasFullScreen();
    // False, having said why, when the document cannot be rendered.
    bool documentRenders();
    // The exact renderer, or its Colour by Map mode when that view is on.
    void renderInViewMode(const FractalDocument &document, RasterCanvas &picture, const RunControl &run);

    void fitCanvasesToWindow();
    void layOutCanvases();
    bool placeCanvasesFor(QSize outerTwips);
    void resetScales();
    QSize framePixels() const;
    void setOuterSizeTwips(QSize twips);
    int clientHeightTwips(QSize outerTwips) const;

    void pressArrow(PanDirection direction, int modifierState);
    void restoreLastPicture();

    void takeProgramFolder(const QString &programFolder);
    void buildStartupDocument();
    std::optional<FractalDocument> loadDocument(const QString &path);
    void showDocumentChange(DocumentParts parts);
    bool mayStopPosterExport();
    bool offerToSaveChanges();
    bool saveAtExit();

    // The File menu's commands.
    void newDocument();
    void openDocument();
    void saveDocument();
    void saveDocumentAs();
    void exportPicture();
    bool mayReplace(const QString &path, const QString &question);
    bool mayReplacePicture(const QString &path);
    void reportWriteFailure(const QString &path, const QString &reason);

    ProgramState &m_state;
    UserDialogs &m_dialogs;
    DocumentSession m_session;
    HandOverBitmap m_blankBitmap;
    HandOverBitmap m_tempBitmap;
    // Outlives the base field editor's window: the tool and the pen stay.
    BaseFieldEditorState m_baseFieldEditor;

    CanvasView *m_visibleCanvas;
    CanvasView *m_hiddenCanvas;
    ProgressStrip *m_progressBar;
    OnlineLinks *m_online;
    PosterExport *m_posterExport;
    MapCanvas *m_mapCanvas;
    QTimer *m_renderTimer;
    MapListDock *m_mapList;

    // The commands, named as their menu entries.
    struct Commands
    {
        QAction *newAction, *openAction, *saveAction, *saveAsAction, *saveBitmapAction, *exitAction;
        QAction *transformationsAction, *baseFieldAction, *coloursAction, *settingsAction, *undoAction, *redoAction;
        QAction *startAction, *posterAction;
        QAction *showMapsAction, *zoomInAction, *zoomOutAction, *fitPictureAction, *renderAutomaticallyAction;
        QAction *mapListAction;
        QAction *tellFriendAction, *websiteAction, *galleryAction, *emailAction, *teamSiteAction;
        QAction *helpAction, *aboutAction;
    } m_commands{};
    struct LessonCommands
    {
        QAction *levels, *slowMotion, *colourByMap, *dimension, *fullScreen;
    } m_lesson{};
    SlowMotionWindow *m_slowMotion = nullptr;
    FullScreenCanvas *m_fullScreen = nullptr;
    LevelsPanel *m_levelsPanel = nullptr;
    FractalDimensionWindow *m_dimensionWindow = nullptr;
};

} // namespace Vorlane
