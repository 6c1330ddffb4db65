// Prints the renderer's speed: the core alone, on one thread and on every
// core, and the whole "Start rendering" command of the main window, for the start-up document with the largest
// point count the original progress arithmetic allowed. Then the base field
// editor's two hot paths at its design size: the capture and one move event
// of the line tool with a 101 × 101 pen. Last the poster renderer on every
// processor, 4000 × 4000 pixels, a whole poster file of few points, a whole
// 1000 × 1000 poster without and with supersampling, and the export dialog's
// preview. Then the maps' frames: one step of a drag (the quick picture and
// the repaint) and Fit Picture, start-up document. Last the skip over the
// random numbers of a stopped run.
#include "widgets/dialogs.h"
#include "app/mainwindow.h"
#include "app/mapcanvas.h"
#include "app/posterdialog.h"
#include "common/randomgenerator.h"
#include "surroundings/programstate.h"
#include "editing/basefielddrawing.h"
#include "editors/basefieldeditor.h"
#include "render/picturefile/bitmapfile.h"
#include "render/poster/poster.h"
#include "render/poster/posterrender.h"
#include "widgets/canvasview.h"
#include "render/exact/renderer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <limits>
#include <memory>

using namespace Vorlane;

namespace {

constexpr qint32 benchmarkPoints = 1966079;

class SilentDialogs : public UserDialogs
{
public:
    MessageButton showMessage(QWidget *, const MessageRequest &request) override { return request.defaultButton; }
    QString chooseFileToOpen(QWidget *, const FileRequest &) override { return QString(); }
    QString chooseFileToSave(QWidget *, const FileRequest &) override { return QString(); }
    std::optional<qint32> chooseColour(QWidget *, qint32) override { return std::nullopt; }
    void openLink(const QString &) override {}
    void beep() override {}
};

// Milliseconds per run of work, over runs runs after one to warm up.
template<typename Work>
double millisecondsPerRun(int runs, Work work)
{
    work();
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        work();
    return double(timer.nsecsElapsed()) / 1e6 / runs;
}

// Milliseconds of the fastest of runs runs of work. A run of a few
// milliseconds on every core is slowed by whatever else wakes up on the
// machine; the fastest run shows what the code can do, on one core as on all.
template<typename Work>
double fastestMilliseconds(int runs, Work work)
{
    work();
    double fastest = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, double(timer.nsecsElapsed()) / 1e6);
    }
    return fastest;
}

// The renderer alone onto a canvas of the main window's size: on one thread
// and on every core, then on one thread in vector lanes and in plain code
// (the same where the processor has no lanes). Each line is the fastest of
// 40 runs. The two lines of a pair take turns, so that a slow spell of the
// machine, which can last a second, slows both alike, and a core that a
// line leaves idle is not idle for long.
void benchmarkCore(QSize canvasSize)
{
    FractalDocument document = startupDocument(0.0f, 0.0f, 0);
    document.settings.totalPoints = benchmarkPoints;
    RasterCanvas canvas(canvasSize);
    document.settings.scaleX = 1.0f / canvas.scaleWidth();
    document.settings.scaleY = 1.0f / canvas.scaleHeight();
    RandomGenerator random;
    struct Line
    {
        const char *label;
        int threads;
        ChainStepping stepping;
        double fastest = std::numeric_limits<double>::max();
    };
    const auto measureInTurns = [&](Line first, Line second) {
        std::array pair{first, second};
        for (int turn = 0; turn < 40; ++turn) {
            for (Line &line : pair) {
                RunControl run;
                run.threads = line.threads;
                QElapsedTimer timer;
                timer.start();
                renderPicture(document, canvas, random, run, line.stepping);
                line.fastest = std::min(line.fastest, double(timer.nsecsElapsed()) / 1e6);
            }
        }
        for (const Line &line : pair)
            std::printf("%s: %.0f points/s\n", line.label, double(benchmarkPoints) / line.fastest * 1000.0);
    };
    measureInTurns({"core", 1, fastestChainStepping()}, {"core-all", 0, fastestChainStepping()});
    measureInTurns({"lanes", 1, ChainStepping::Lanes}, {"scalar", 1, ChainStepping::Scalar});
}

// The main window in a folder of its own, showing the start-up document.
struct BenchWindow
{
    BenchWindow()
    {
        state.appDir = folder.path() + QLatin1Char('/');
        window = std::make_unique<MainWindow>(state, dialogs);
        window->show();
        window->initialiseDocument();
    }

    QTemporaryDir folder;
    ProgramState state;
    SilentDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

void benchmarkCommand()
{
    BenchWindow bench;
    MainWindow &window = *bench.window;
    FractalDocument document = window.session().document();
    document.settings.totalPoints = benchmarkPoints;
    window.session().begin(document);
    window.startRendering(); // warm up
    constexpr int runs = 5;
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        window.startRendering();
    std::printf("command: %.0f ms\n", double(timer.elapsed()) / runs);
    benchmarkCore(window.visibleCanvas()->canvas().pixelSize());
}

void sendMouse(QWidget *widget, QEvent::Type type, QPointF position)
{
    QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A move of the pointer while the last map's frame is dragged, with the
// picture drawn again and painted, and Fit Picture with its picture.
void benchmarkMapFrames()
{
    BenchWindow bench;
    MainWindow &window = *bench.window;
    window.findChild<QAction *>(QStringLiteral("showMaps"))->trigger();
    MapCanvas &maps = window.mapCanvas();
    CanvasView *canvas = window.visibleCanvas();
    const FrameOnScreen frame = framesOnScreen(window.session().document(), maps.viewport(), *maps.extent()).constLast();
    const QPointF handle = frame.corners[2];
    sendMouse(canvas, QEvent::MouseButtonPress, handle);
    int step = 0;
    const double dragFrame = fastestMilliseconds(30, [&] {
        ++step;
        sendMouse(canvas, QEvent::MouseMove, handle + QPointF(step % 7, step % 5));
        canvas->repaint();
    });
    sendMouse(canvas, QEvent::MouseButtonRelease, handle);
    std::printf("drag-frame: %.1f ms\n", dragFrame);
    QAction *fit = window.findChild<QAction *>(QStringLiteral("fitPicture"));
    const double fitPicture = fastestMilliseconds(15, [&] {
        fit->trigger();
        canvas->repaint();
    });
    std::printf("fit: %.1f ms\n", fitPicture);
}

void benchmarkBaseField()
{
    QTemporaryDir folder;
    ProgramState state;
    state.appDir = folder.path() + QLatin1Char('/');
    DocumentSession session;
    session.begin(startupDocument(1.0f, 1.0f, 0));
    state.fieldRange = {-2150, 2150, 0, 4200};
    BaseFieldEditorState editorState;
    BaseFieldDrawing drawing(state.fieldRange, state.appDir + QLatin1String("BENCH.BMP"), editorState);
    drawing.open(session.document().basePoints);
    SilentDialogs dialogs;
    BaseFieldEditor editor(session, state, dialogs, editorState, nullptr);
    editor.show();

    const double captureCore = millisecondsPerRun(20, [&] { drawing.capture(state.random, [](qint32) {}); });
    auto *save = editor.findChild<QAbstractButton *>(QStringLiteral("save"));
    const double captureCommand = millisecondsPerRun(20, [save] { save->click(); });
    std::printf("capture: %.2f ms core, %.2f ms \"&Save\" (4300 x 4200 area, %lld points)\n", captureCore,
                captureCommand, qint64(session.document().basePointCount()));

    editorState.currentTool = StraightLine;
    editorState.penWidthX = 101.0f;
    editorState.penWidthY = 101.0f;
    drawing.press(100.0f, 4100.0f);
    const double moveCore = millisecondsPerRun(50, [&] { drawing.move(4200.0f, 100.0f); });
    QWidget *area = editor.findChild<QWidget *>(QStringLiteral("Picture1"));
    sendMouse(area, QEvent::MouseButtonPress, QPointF(6.0, 273.0));
    const double moveEvent = millisecondsPerRun(50, [area] {
        sendMouse(area, QEvent::MouseMove, QPointF(280.0, 6.0));
        area->repaint();
    });
    std::printf("line move: %.2f ms core, %.2f ms event with repaint (101 x 101 pen)\n", moveCore, moveEvent);
}

double processSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

// The machine is shared, so the processor time beside the wall-clock time
// tells what one thread does when it runs.
void benchmarkPoster()
{
    const FractalDocument document = startupDocument(1.0f, 1.0f, 0);
    PosterSettings settings;
    settings.size = QSize(4000, 4000);
    settings.points = 40'000'000;
    QString error;
    std::optional<PosterAccumulation> sums = PosterAccumulation::allocate(settings.size, 0, &error);
    if (!sums) {
        std::printf("poster: %s\n", qPrintable(error));
        return;
    }
    const PosterView view = fitPosterView(document, settings);
    QElapsedTimer timer;
    timer.start();
    const double processStart = processSeconds();
    accumulatePoster(document, settings, view, {0, posterPieceCount(settings.points)}, *sums);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double processorSeconds = processSeconds() - processStart;
    std::printf("poster: %.0f points/s (%.0f points per processor second, %d processors)\n",
                double(settings.points) / seconds, double(settings.points) / processorSeconds,
                QThread::idealThreadCount());
}

double renderSeconds(const FractalDocument &document, const PosterRequest &request)
{
    QElapsedTimer timer;
    timer.start();
    renderPoster(document, request);
    return double(timer.nsecsElapsed()) / 1e9;
}

// Whole posters, fitting, sums, filter and tone, taken in turns so that the
// machine's other work falls on both alike; the fastest of three each.
void benchmarkSupersampling()
{
    const FractalDocument document = startupDocument(1.0f, 1.0f, 0);
    PosterRequest plain;
    plain.settings.size = QSize(1000, 1000);
    plain.settings.points = 20'000'000;
    PosterRequest supersampled = plain;
    supersampled.settings.supersample = 2;
    double plainSeconds = std::numeric_limits<double>::max();
    double supersampledSeconds = std::numeric_limits<double>::max();
    for (int round = 0; round < 3; ++round) {
        plainSeconds = std::min(plainSeconds, renderSeconds(document, plain));
        supersampledSeconds = std::min(supersampledSeconds, renderSeconds(document, supersampled));
    }
    std::printf("poster 1000 x 1000, 20 million points: %.2f s, supersampled x 2: %.2f s (%.2f times)\n",
                plainSeconds, supersampledSeconds, supersampledSeconds / plainSeconds);
}

void benchmarkPreview()
{
    const FractalDocument document = startupDocument(1.0f, 1.0f, 0);
    double fastest = std::numeric_limits<double>::max();
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        posterPreview(document, PosterChoice(), 300);
        fastest = std::min(fastest, double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("poster preview: %.0f ms (300 x 300)\n", fastest);
}

// A whole poster file of few points on a large picture, where what follows
// the points (the densest pixel, the toning, the PNG file) weighs most.
void benchmarkPosterFile()
{
    PosterRequest request;
    request.settings.size = QSize(4000, 4000);
    request.settings.points = 1'000'000;
    const FractalDocument document = startupDocument(1.0f, 1.0f, 0);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("poster.png"));
    const double milliseconds = fastestMilliseconds(5, [&] {
        const PosterResult poster = renderPoster(document, request);
        writePictureFile(poster.picture, path);
    });
    std::printf("poster-fixed: %.0f ms (4000 x 4000, 1e6 points, PNG file included)\n", milliseconds);
}

// Skipping the random numbers of a whole 2^31-point run, as stopping one
// does.
void benchmarkSkip()
{
    RandomGenerator random;
    const double milliseconds = fastestMilliseconds(5, [&] { random.discard(std::uint64_t(1) << 31); });
    std::printf("skip: %.1f ms (2^31 numbers)\n", milliseconds);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmarkCommand();
    benchmarkBaseField();
    benchmarkPoster();
    benchmarkPosterFile();
    benchmarkSupersampling();
    benchmarkPreview();
    benchmarkMapFrames();
    benchmarkSkip();
    return 0;
}
