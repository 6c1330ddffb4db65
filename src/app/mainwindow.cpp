#include "mainwindow.h"

#include "common/twips.h"
#include "ui/dialogs.h"
#include "ui/namedcontrols.h"
#include "document/colour.h"
#include "document/programfiles.h"
#include "document/programstate.h"
#include "editors/basefieldcommand.h"
#include "online/onlinelinks.h"
#include "posterexport.h"
#include "ui/canvasview.h"
#include "ui/progressstrip.h"
#include "toolbarrules.h"

#include <QAction>
#include <QIcon>
#include <QMenuBar>
#include <QResizeEvent>
#include <QToolButton>

namespace Vorlane {

namespace {

// The visible canvas's colour until a document sets one.
constexpr qint32 initialBackColour = rgbColour(254, 253, 245);

} // namespace

MainWindow::MainWindow(ProgramState &state, UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_blankBitmap(state.appDir + blankBitmapName, &state.workingFiles)
    , m_tempBitmap(state.appDir + tempBitmapName, &state.workingFiles)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vorlane 2.0"));

    auto *client = new QWidget(this);
    setCentralWidget(client);
    m_hiddenCanvas = new CanvasView(initialBackColour, client);
    m_hiddenCanvas->setObjectName(QStringLiteral("Pctr2"));
    m_hiddenCanvas->hide();
    m_visibleCanvas = new CanvasView(initialBackColour, client);
    m_visibleCanvas->setObjectName(QStringLiteral("Pctr1"));
    m_progressBar = new ProgressStrip(client);
    m_online = new OnlineLinks(state, dialogs, this);
    m_online->placeAdvertisement(client);
    connect(&m_session, &DocumentSession::changed, this, &MainWindow::showDocumentChange);
    m_posterExport = new PosterExport(this, dialogs);

    createActions();
    createViewCommands();
    createMenus();
    createToolbar();

    resize(twipsToPixels(initialClientWidthTwips),
           twipsToPixels(initialClientHeightTwips) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

QAction *MainWindow::addCommand(const char *name, const QString &text, const QKeySequence &shortcut,
                                const QString &toolTip)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    if (!toolTip.isEmpty())
        action->setToolTip(toolTip);
    return action;
}

void MainWindow::createActions()
{
    Commands &c = m_commands;
    c.flnw = addCommand("flnw", tr("&New"), Qt::CTRL | Qt::Key_N, QStringLiteral("New"));
    c.flopn = addCommand("flopn", tr("&Open..."), Qt::CTRL | Qt::Key_O, QStringLiteral("Open"));
    c.flsv = addCommand("flsv", tr("&Save"), Qt::CTRL | Qt::Key_S, QStringLiteral("Save"));
    c.flsavas = addCommand("flsavas", tr("Save &As..."));
    c.svbmp = addCommand("svbmp", tr("Save As b&mp..."), Qt::CTRL | Qt::Key_M);
    c.exit = addCommand("exit", tr("E&xit"), Qt::CTRL | Qt::Key_X);
    c.trns = addCommand("trns", tr("&Transformation..."), Qt::CTRL | Qt::Key_T,
                        QStringLiteral("Edit current transformations "));
    c.bstrn = addCommand("bstrn", tr("&Base Field..."), Qt::CTRL | Qt::Key_B, QStringLiteral("Edit base field"));
    c.styl = addCommand("styl", tr("Style..."), {}, QStringLiteral("Edit background and foreground colour(s)"));
    c.setng = addCommand("setng", tr("Settings..."), {}, QStringLiteral("Edit settings"));
    c.undo = m_session.createUndoAction(this);
    c.undo->setObjectName(QStringLiteral("undo"));
    c.undo->setShortcut(Qt::CTRL | Qt::Key_Z);
    c.redo = m_session.createRedoAction(this);
    c.redo->setObjectName(QStringLiteral("redo"));
    c.redo->setShortcuts({Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
    c.start = addCommand("start", tr("Sta&rt"), Qt::CTRL | Qt::Key_R, QStringLiteral("Start rendering"));
    c.poster = addCommand("poster", tr("Export &Poster..."));
    c.tellfriend = addCommand("tellfriend", tr("Tell a &Friend about VR"), Qt::CTRL | Qt::Key_F);
    c.vrws = addCommand("vrws", tr("Vorlane &Website"), Qt::CTRL | Qt::Key_W);
    c.vrg = addCommand("vrg", tr("Vorlane &Gallery"), Qt::CTRL | Qt::Key_G);
    c.eml = addCommand("eml", tr("Send &email"), Qt::CTRL | Qt::Key_E);
    c.progsite = addCommand("progsite", tr("The Vorlane &Team's Site"), Qt::CTRL | Qt::Key_P);
    c.incnt = addCommand("incnt", tr("Vorlane 2.0 Help"), Qt::Key_F1);
    c.abt = addCommand("abt", tr("&About Vorlane 2.0"), Qt::CTRL | Qt::Key_A);

    connect(c.exit, &QAction::triggered, this, &QWidget::close);
    connect(c.start, &QAction::triggered, this, &MainWindow::startRendering);
    connect(c.poster, &QAction::triggered, this, &MainWindow::exportPoster);
    connect(m_posterExport, &PosterExport::ended, c.poster, [action = c.poster] { action->setEnabled(true); });
    connect(c.tellfriend, &QAction::triggered, m_online, &OnlineLinks::tellAFriend);
    connect(c.vrws, &QAction::triggered, m_online, &OnlineLinks::openSite);
    connect(c.vrg, &QAction::triggered, m_online, &OnlineLinks::openGallery);
    connect(c.eml, &QAction::triggered, m_online, &OnlineLinks::sendMail);
    connect(c.progsite, &QAction::triggered, m_online, &OnlineLinks::openAuthorPage);
    connect(c.incnt, &QAction::triggered, m_online, &OnlineLinks::openHelp);
    connect(c.abt, &QAction::triggered, m_online, &OnlineLinks::showAbout);
    connectFileCommands();
    connect(c.trns, &QAction::triggered, this, &MainWindow::editTransformations);
    connect(c.styl, &QAction::triggered, this, &MainWindow::editColours);
    connect(c.setng, &QAction::triggered, this, &MainWindow::editSettings);
    connect(c.bstrn, &QAction::triggered, this,
            [this] { editBaseField(this, m_session, m_state, m_dialogs, m_baseFieldEditor); });
    setCommandIcons();
}

void MainWindow::setCommandIcons()
{
    const auto setIcon = [](QAction *action, const char *file) {
        action->setIcon(QIcon(QLatin1String(":/icons/") + QLatin1String(file)));
        // The pictures belong to the toolbar; the menus show captions only.
        action->setIconVisibleInMenu(false);
    };
    const Commands &c = m_commands;
    setIcon(c.flnw, "new.svg");
    setIcon(c.flopn, "open.svg");
    setIcon(c.flsv, "save.svg");
    setIcon(c.trns, "transformations.svg");
    setIcon(c.bstrn, "basefield.svg");
    setIcon(c.styl, "colours.svg");
    setIcon(c.start, "render.svg");
    setIcon(c.setng, "settings.svg");
}

void MainWindow::createMenus()
{
    const auto addMenu = [this](const char *name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto addSeparator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };
    const Commands &c = m_commands;

    QMenu *file = addMenu("file", tr("&File"));
    file->addActions({c.flnw, c.flopn, c.flsv, c.flsavas});
    addSeparator(file, "dash2");
    file->addAction(c.svbmp);
    addSeparator(file, "dash1");
    file->addAction(c.exit);

    QMenu *edit = addMenu("edit", tr("&Edit"));
    edit->addActions({c.trns, c.bstrn});
    addSeparator(edit, "dash3");
    edit->addActions({c.styl, c.setng});
    addSeparator(edit, "dash6");
    edit->addActions({c.undo, c.redo});

    QMenu *run = addMenu("run", tr("&Render"));
    run->addAction(c.start);
    addSeparator(run, "dash7");
    run->addAction(c.poster);
    addViewCommands(run);

    QMenu *net = addMenu("vrnet", tr("VR on net"));
    net->addAction(c.tellfriend);
    addSeparator(net, "dash5");
    net->addActions({c.vrws, c.vrg});
    addSeparator(net, "Dash4");
    net->addActions({c.eml, c.progsite});

    addMenu("hlp", tr("&Help"))->addActions({c.incnt, c.abt});
}

QToolButton *MainWindow::addPictureButton(const char *name, QAction *action, const QRect &twips)
{
    auto *button = placed<QToolButton>(centralWidget(), name, twips);
    button->setDefaultAction(action);
    button->setIconSize(button->size() - QSize(6, 6));
    return button;
}

void MainWindow::createToolbar()
{
    new ToolbarRules(centralWidget());
    const Commands &c = m_commands;
    addPictureButton("nw", c.flnw, QRect(90, 75, 450, 435));
    addPictureButton("opn", c.flopn, QRect(540, 55, 450, 450));
    addPictureButton("sav", c.flsv, QRect(990, 55, 450, 450));
    addPictureButton("Cmd2", c.trns, QRect(1530, 55, 450, 450));
    addPictureButton("Cmd3", c.bstrn, QRect(1980, 55, 450, 450));
    addPictureButton("Cmd4", c.styl, QRect(2430, 55, 450, 450));
    addPictureButton("Cmd1", c.start, QRect(2970, 55, 450, 450));
    addPictureButton("Command1", c.setng, QRect(3510, 55, 450, 450));
    createArrowButtons();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitCanvasesToWindow();
}

} // namespace Vorlane
