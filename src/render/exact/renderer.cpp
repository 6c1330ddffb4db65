#include "render/exact/renderer.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"
#include "render/chaos/chaosgame.h"
#include "render/exact/blockrenderer.h"
#include "render/exact/chainlanes.h"
#include "render/exact/layers.h"
#include "render/exact/rastercanvas.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Vorlane {

namespace {

using exact::blockSize;
using exact::BlockRenderer;
using exact::ImageSurface;
using exact::Layer;
using exact::PixelColours;
using exact::PixelOutput;

// What the threads of one run share.
struct SharedRun
{
    SharedRun(const FractalDocument &document, const RunControl &run, ChainStepping stepping,
              const RandomGenerator &random, const RasterCanvas::PixelWriter &canvas)
        : document(document)
        , run(run)
        , stepping(stepping)
        , runStart(random)
        , view(document, QSize(canvas.width(), canvas.height()))
        , game(canvasChaosGame(document, view))
        , steppingMaps(game.maps)
        , pixelColours(document, document.settings.totalPoints, stepping)
    {
    }

    const FractalDocument &document;
    const RunControl &run;
    const ChainStepping stepping;
    const RandomGenerator runStart;
    const ViewTransform view;
    const CanvasChaosGame game;
    const SteppingMaps steppingMaps;
    const PixelColours pixelColours;
    std::atomic<qint64> pointsDone{0};

    bool stopped() const { return run.stopped(); }
};

// Reports the progress steps the points done have reached, each once and in order.
class ProgressSteps
{
public:
    explicit ProgressSteps(const SharedRun &shared)
        : m_shared(shared)
        , m_step(progressStep(shared.document.settings.totalPoints))
        , m_steps(shared.document.settings.totalPoints / m_step)
    {
    }

    void catchUp()
    {
        if (!m_shared.run.onProgress)
            return;
        const qint64 reached = m_shared.pointsDone.load(std::memory_order_relaxed) / m_step;
        while (m_reported < reached)
            m_shared.run.onProgress(++m_reported, m_steps);
    }

private:
    const SharedRun &m_shared;
    const qint64 m_step;
    const qint64 m_steps; // of the whole run
    qint64 m_reported = 0;
};

// One stretch; true when it went to its end. Its points go into layer while
// there is one and straight onto the canvas once there is none. Before every
// block mayDropLayer may lay the layer over the canvas and drop it; afterBlock
// runs after every block.
bool renderStretchOnto(SharedRun &shared, const RasterCanvas::PixelWriter &canvas, Stretch stretch, int selected,
                       RandomGenerator &random, std::unique_ptr<Layer> &layer,
                       const std::function<void()> &mayDropLayer = {}, const std::function<void()> &afterBlock = {})
{
    ImageSurface image(canvas);
    // Large: they hold a block of plans and pixels.
    const auto onCanvas = std::make_unique<PixelOutput<ImageSurface>>(shared.view, canvas, shared.stepping, image);
    std::unique_ptr<PixelOutput<Layer>> inLayer;
    if (layer)
        inLayer = std::make_unique<PixelOutput<Layer>>(shared.view, canvas, shared.stepping, *layer);
    const auto renderer = std::make_unique<BlockRenderer>(shared.game, shared.steppingMaps, shared.pixelColours, random,
                                                          stretch.first, selected, shared.stepping);
    for (qint64 first = stretch.first; first <= stretch.last; first += blockSize) {
        if (shared.stopped())
            return false;
        if (layer && mayDropLayer)
            mayDropLayer();
        const qint32 count = qint32(std::min<qint64>(blockSize, stretch.last - first + 1));
        if (layer)
            renderer->render(count, *inLayer);
        else
            renderer->render(count, *onCanvas);
        shared.pointsDone.fetch_add(count, std::memory_order_relaxed);
        if (afterBlock)
            afterBlock();
    }
    return true;
}

// Hands the stretches of a run to the threads in order, and lays each
// finished stretch over the canvas once all before it are there, so that few
// layers live at once. The first stretch draws straight onto the canvas, the
// others into layers until all before them are there: then nothing else
// draws on the canvas, so the layer goes over it and the stretch draws on,
// straight onto the canvas.
class StretchBoard
{
public:
    StretchBoard(SharedRun &shared, const RasterCanvas::PixelWriter &canvas, const QList<Stretch> &stretches)
        : m_shared(shared)
        , m_canvas(canvas)
        , m_stretches(stretches)
        , m_starts(std::size_t(stretches.size()))
        , m_ends(std::size_t(stretches.size()))
        , m_layers(std::size_t(stretches.size()))
        , m_outcome(std::size_t(stretches.size()), Running)
    {
        m_starts[0] = {shared.runStart, 0};
    }

    // A thread's work: stretch after stretch until none is left or the run stops.
    void work()
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            if (m_claimed == m_outcome.size() || m_shared.stopped())
                return;
            const std::size_t s = m_claimed++;
            std::unique_ptr<Layer> layer = s == 0 ? nullptr : takeSpareLayer();
            lock.unlock();

            StretchStart start = startOf(s);
            if (s > 0 && !layer)
                layer = std::make_unique<Layer>(m_canvas);
            const bool whole = renderStretchOnto(m_shared, m_canvas, m_stretches[qsizetype(s)], start.selected,
                                                 start.random, layer, [&] { dropLayerWhenFirst(s, layer); });

            lock.lock();
            m_ends[s] = start.random;
            m_layers[s] = std::move(layer);
            m_outcome[s] = whole ? Whole : Stopped;
            layFinishedOnto();
            if (!whole)
                return;
        }
    }

    // After the threads: of a stopped run, the stretch it stopped in goes on
    // after the whole ones before it, and what later stretches drew is
    // dropped, so the picture is one that a single thread could have stopped
    // at. True when every stretch went to its end; random then stands after
    // the last one.
    bool finish(RandomGenerator &random)
    {
        if (m_laid < m_outcome.size()) {
            if (m_layers[m_laid])
                m_layers[m_laid]->moveOnto(m_canvas);
            return false;
        }
        random = m_ends.back();
        return true;
    }

private:
    enum Outcome : char { Running, Whole, Stopped };

    // Where stretch s starts, worked out from where the one before starts.
    // The threads do it as they take their stretches, rather than a thread
    // of its own: woken threads would wait for a core while it works.
    StretchStart startOf(std::size_t s)
    {
        const std::lock_guard lock(m_positioning);
        for (; m_positioned <= s; ++m_positioned) {
            m_starts[m_positioned] = nextStart(m_shared.document, m_shared.game.maps, m_starts[m_positioned - 1],
                                               m_stretches[qsizetype(m_positioned) - 1].first,
                                               m_stretches[qsizetype(m_positioned)].first);
        }
        return m_starts[s];
    }

    void layFinishedOnto()
    {
        for (; m_laid < m_outcome.size() && m_outcome[m_laid] == Whole; ++m_laid) {
            if (m_layers[m_laid]) {
                m_layers[m_laid]->moveOnto(m_canvas);
                m_spareLayers.push_back(std::move(m_layers[m_laid]));
            }
            if (m_shared.run.onPrefixDrawn)
                m_shared.run.onPrefixDrawn(m_stretches[qsizetype(m_laid)].last);
        }
    }

    // Lays the layer of stretch s over the canvas and drops it once every
    // stretch before s is there; m_laid then stays at s until s ends.
    void dropLayerWhenFirst(std::size_t s, std::unique_ptr<Layer> &layer)
    {
        if (m_laid.load(std::memory_order_relaxed) != s)
            return;
        const std::lock_guard lock(m_mutex);
        layer->moveOnto(m_canvas);
        m_spareLayers.push_back(std::move(layer));
    }

    std::unique_ptr<Layer> takeSpareLayer()
    {
        if (m_spareLayers.empty())
            return nullptr;
        std::unique_ptr<Layer> layer = std::move(m_spareLayers.back());
        m_spareLayers.pop_back();
        return layer;
    }

    SharedRun &m_shared;
    const RasterCanvas::PixelWriter &m_canvas;
    const QList<Stretch> &m_stretches;
    std::mutex m_mutex;
    std::mutex m_positioning; // guards m_starts and m_positioned
    std::vector<StretchStart> m_starts;
    std::vector<RandomGenerator> m_ends;
    std::vector<std::unique_ptr<Layer>> m_layers;
    std::vector<std::unique_ptr<Layer>> m_spareLayers; // laid over and cleared
    std::vector<Outcome> m_outcome;
    std::size_t m_positioned = 1;
    std::size_t m_claimed = 0;
    std::atomic<std::size_t> m_laid = 0; // changed under m_mutex
};

bool renderInParallel(SharedRun &shared, const RasterCanvas::PixelWriter &canvas, const QList<Stretch> &stretches,
                      int threads, RandomGenerator &random)
{
    StretchBoard board(shared, canvas, stretches);
    std::mutex mutex;
    std::condition_variable finishing;
    int finished = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            board.work();
            const std::lock_guard lock(mutex);
            ++finished;
            finishing.notify_one();
        });
    }
    ProgressSteps progress(shared);
    for (bool done = false; !done;) {
        std::unique_lock lock(mutex);
        done = finishing.wait_for(lock, std::chrono::milliseconds(5), [&] { return finished == threads; });
        lock.unlock();
        progress.catchUp();
    }
    for (std::thread &worker : workers)
        worker.join();
    return board.finish(random);
}

} // namespace

QString renderProblem(const FractalDocument &document)
{
    const auto cannot = [](const QString &reason) {
        return QCoreApplication::translate("Renderer", "This fractal cannot be rendered: %1").arg(reason);
    };
    if (document.settings.resolution < 1)
        return cannot(QCoreApplication::translate("Renderer", "its resolution is %1, and it must be at least 1.")
                          .arg(document.settings.resolution));
    if (document.basePointCount() < 1)
        return cannot(QCoreApplication::translate("Renderer", "its base field has no points. Draw a base field first."));
    if (document.basePointCount() > maxBasePoints)
        return cannot(QCoreApplication::translate("Renderer", "its base field has %1 points, and at most %2 can be used.")
                          .arg(document.basePointCount())
                          .arg(maxBasePoints));
    if (document.trCount() > maxTransformations)
        return cannot(QCoreApplication::translate("Renderer", "it has %1 transformations, and at most %2 can be used.")
                          .arg(document.trCount())
                          .arg(maxTransformations));
    return QString();
}

qint32 progressStep(qint32 totalPoints)
{
    return qMax<qint32>(1, qint32(floorToInt(double(totalPoints) / 60.0)));
}

bool renderPicture(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random,
                   const RunControl &run, ChainStepping stepping)
{
    Q_ASSERT(renderProblem(document).isEmpty());
    const qint64 totalPoints = document.settings.totalPoints;
    const qint64 worthwhile = totalPoints / std::max<qint64>(1, run.pointsPerThread);
    const int threads = int(std::clamp<qint64>(worthwhile, 1, runThreads(run.threads)));
    // Several stretches a thread, handed out as threads come free, so that a
    // thread the system holds back delays the run by a short stretch only.
    constexpr int stretchesPerThread = 4;
    const QList<Stretch> stretches = run.onPrefixDrawn
        ? planProgressStretches(totalPoints, document.settings.resolution)
        : planStretches(totalPoints, document.settings.resolution, threads == 1 ? 1 : threads * stretchesPerThread);
    const RasterCanvas::PixelWriter writer = canvas.pixelWriter();
    SharedRun shared(document, run, stepping, random, writer);
    bool completed = true;
    if (!stretches.isEmpty() && (stretches.size() > 1 || run.onPrefixDrawn)) {
        completed = renderInParallel(shared, writer, stretches, std::min(threads, int(stretches.size())), random);
    } else if (!stretches.isEmpty()) {
        ProgressSteps progress(shared);
        std::unique_ptr<Layer> none;
        completed = renderStretchOnto(shared, writer, stretches.constFirst(), 0, random, none, {},
                                      [&progress] { progress.catchUp(); });
    }
    if (!completed) {
        random = shared.runStart;
        random.discard(quint64(randomDrawsBefore(document, totalPoints + 1)));
    }
    return completed;
}

} // namespace Vorlane
