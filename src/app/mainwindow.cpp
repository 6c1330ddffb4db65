#include "app/mainwindow.h"

#include "common/twips.h"
#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "document/colour.h"
#include "surroundings/programfiles.h"
#include "surroundings/programstate.h"
#include "editors/basefieldcommand.h"
#include "online/onlinelinks.h"
#include "app/posterexport.h"
#include "widgets/canvasview.h"
#include "widgets/progressstrip.h"
#include "app/toolbarrules.h"

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
    c.newAction = addCommand("flnw", tr("&New"), Qt::CTRL | Qt::Key_N, QStringLiteral("New"));
    c.openAction = addCommand("flopn", tr("&Open..."), Qt::CTRL | Qt::Key_O, QStringLiteral("Open"));
    c.saveAction = addCommand("flsv", tr("&Save"), Qt::CTRL | Qt::Key_S, QStringLiteral("Save"));
    c.saveAsAction = addCommand("flsavas", tr("Save &As..."));
    c.saveBitmapAction = addCommand("svbmp", tr("Save As b&mp..."), Qt::CTRL | Qt::Key_M);
    c.exitAction = addCommand("exit", tr("E&xit"), Qt::CTRL | Qt::Key_X);
    c.transformationsAction = addCommand("trns", tr("&Transformation..."), Qt::CTRL | Qt::Key_T,
                        QStringLiteral("Edit current transformations "));
    c.baseFieldAction = addCommand("bstrn", tr("&Base Field..."), Qt::CTRL | Qt::Key_B, QStringLiteral("Edit base field"));
    c.coloursAction = addCommand("styl", tr("Style..."), {}, QStringLiteral("Edit background and foreground colour(s)"));
    c.settingsAction = addCommand("setng", tr("Settings..."), {}, QStringLiteral("Edit settings"));
    c.undoAction = m_session.createUndoAction(this);
    c.undoAction->setObjectName(QStringLiteral("undo"));
    c.undoAction->setShortcut(Qt::CTRL | Qt::Key_Z);
    c.redoAction = m_session.createRedoAction(this);
    c.redoAction->setObjectName(QStringLiteral("redo"));
    c.redoAction->setShortcuts({Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
    c.startAction = addCommand("start", tr("Sta&rt"), Qt::CTRL | Qt::Key_R, QStringLiteral("Start rendering"));
    c.posterAction = addCommand("poster", tr("Export &Poster..."));
    c.tellFriendAction = addCommand("tellfriend", tr("Tell a &Friend about VR"), Qt::CTRL | Qt::Key_F);
    c.websiteAction = addCommand("vrws", tr("Vorlane &Website"), Qt::CTRL | Qt::Key_W);
    c.galleryAction = addCommand("vrg", tr("Vorlane &Gallery"), Qt::CTRL | Qt::Key_G);
    c.emailAction = addCommand("eml", tr("Send &email"), Qt::CTRL | Qt::Key_E);
    c.teamSiteAction = addCommand("progsite", tr("The Vorlane &Team's Site"), Qt::CTRL | Qt::Key_P);
    c.helpAction = addCommand("incnt", tr("Vorlane 2.0 Help"), Qt::Key_F1);
    c.aboutAction = addCommand("abt", tr("&About Vorlane 2.0"), Qt::CTRL | Qt::Key_A);

    connect(c.exitAction, &QAction::triggered, this, &QWidget::close);
    connect(c.startAction, &QAction::triggered, this, &MainWindow::startRendering);
    connect(c.posterAction, &QAction::triggered, this, &MainWindow::exportPoster);
    connect(m_posterExport, &PosterExport::ended, c.posterAction, [action = c.posterAction] { action->setEnabled(true); });
    connect(c.tellFriendAction, &QAction::triggered, m_online, &OnlineLinks::tellAFriend);
    connect(c.websiteAction, &QAction::triggered, m_online, &OnlineLinks::openSite);
    connect(c.galleryAction, &QAction::triggered, m_online, &OnlineLinks::openGallery);
    connect(c.emailAction, &QAction::triggered, m_online, &OnlineLinks::sendMail);
    connect(c.teamSiteAction, &QAction::triggered, m_online, &OnlineLinks::openAuthorPage);
    connect(c.helpAction, &QAction::triggered, m_online, &OnlineLinks::openHelp);
    connect(c.aboutAction, &QAction::triggered, m_online, &OnlineLinks::showAbout);
    connectFileCommands();
    connect(c.transformationsAction, &QAction::triggered, this, &MainWindow::editTransformations);
    connect(c.coloursAction, &QAction::triggered, this, &MainWindow::editColours);
    connect(c.settingsAction, &QAction::triggered, this, &MainWindow::editSettings);
    connect(c.baseFieldAction, &QAction::triggered, this,
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
    setIcon(c.newAction, "new.svg");
    setIcon(c.openAction, "open.svg");
    setIcon(c.saveAction, "save.svg");
    setIcon(c.transformationsAction, "transformations.svg");
    setIcon(c.baseFieldAction, "basefield.svg");
    setIcon(c.coloursAction, "colours.svg");
    setIcon(c.startAction, "render.svg");
    setIcon(c.settingsAction, "settings.svg");
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
    file->addActions({c.newAction, c.openAction, c.saveAction, c.saveAsAction});
    addSeparator(file, "dash2");
    file->addAction(c.saveBitmapAction);
    addSeparator(file, "dash1");
    file->addAction(c.exitAction);

    QMenu *edit = addMenu("edit", tr("&Edit"));
    edit->addActions({c.transformationsAction, c.baseFieldAction});
    addSeparator(edit, "dash3");
    edit->addActions({c.coloursAction, c.settingsAction});
    addSeparator(edit, "dash6");
    edit->addActions({c.undoAction, c.redoAction});

    QMenu *run = addMenu("run", tr("&Render"));
    run->addAction(c.startAction);
    addSeparator(run, "dash7");
    run->addAction(c.posterAction);
    addViewCommands(run);
    addSeparator(run, "dash10");
    addLessonCommands(run);
    addSeparator(run, "dash11");
    run->addAction(c.mapListAction);

    QMenu *net = addMenu("vrnet", tr("VR on net"));
    net->addAction(c.tellFriendAction);
    addSeparator(net, "dash5");
    net->addActions({c.websiteAction, c.galleryAction});
    addSeparator(net, "Dash4");
    net->addActions({c.emailAction, c.teamSiteAction});

    addMenu("hlp", tr("&Help"))->addActions({c.helpAction, c.aboutAction});
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
    addPictureButton("nw", c.newAction, QRect(90, 75, 450, 435));
    addPictureButton("opn", c.openAction, QRect(540, 55, 450, 450));
    addPictureButton("sav", c.saveAction, QRect(990, 55, 450, 450));
    addPictureButton("Cmd2", c.transformationsAction, QRect(1530, 55, 450, 450));
    addPictureButton("Cmd3", c.baseFieldAction, QRect(1980, 55, 450, 450));
    addPictureButton("Cmd4", c.coloursAction, QRect(2430, 55, 450, 450));
    addPictureButton("Cmd1", c.startAction, QRect(2970, 55, 450, 450));
    addPictureButton("Command1", c.settingsAction, QRect(3510, 55, 450, 450));
    createArrowButtons();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitCanvasesToWindow();
}

} // namespace Vorlane
