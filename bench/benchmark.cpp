// Prints the renderer's speed: the core alone and the whole "Start rendering"
// command of the main window, for the start-up document with the largest
// point count the original progress arithmetic allowed.
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "common/randomgenerator.h"
#include "document/programstate.h"
#include "render/canvasview.h"
#include "render/renderer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace Vorlane;

namespace {

constexpr qint32 benchmarkPoints = 1966079;

class CountingTarget : public RenderTarget
{
public:
    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (qsizetype i = 0; i < count; ++i)
            checksum += points[i].colour;
    }
    void progressStepDone(qint32) override {}
    qint64 checksum = 0;
};

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

void benchmarkCore(float scaleWidth, float scaleHeight)
{
    FractalDocument document = startupDocument(1.0f / scaleWidth, 1.0f / scaleHeight, 0);
    document.settings.totalPoints = benchmarkPoints;
    RandomGenerator random;
    CountingTarget target;
    constexpr int runs = 5;
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        renderFractal(document, scaleWidth, scaleHeight, random, target);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("core: %.0f points/s\n", runs * double(benchmarkPoints) / seconds);
}

void benchmarkCommand()
{
    QTemporaryDir folder;
    ProgramState state;
    state.appDir = folder.path() + QLatin1Char('/');
    SilentDialogs dialogs;
    MainWindow window(state, dialogs);
    window.show();
    window.initialiseDocument();
    state.document.settings.totalPoints = benchmarkPoints;
    window.startRendering(); // warm up
    constexpr int runs = 5;
    QElapsedTimer timer;
    timer.start();
    for (int run = 0; run < runs; ++run)
        window.startRendering();
    std::printf("command: %.0f ms\n", double(timer.elapsed()) / runs);
    const RasterCanvas &canvas = window.visibleCanvas()->canvas();
    benchmarkCore(canvas.scaleWidth(), canvas.scaleHeight());
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmarkCommand();
    return 0;
}
