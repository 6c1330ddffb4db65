#include "render/exact/renderer.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/chaos/chaosgame.h"
#include "render/exact/chainlanes.h"
#include "render/exact/rastercanvas.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Vorlane {

namespace {

// Long enough to keep the output's calls rare, short enough to stay in cache.
constexpr qint32 blockSize = 4096;

QRgb rgbOf(qint32 colour)
{
    return 0xff000000u | (quint32(colourRed(colour)) << 16) | (quint32(colourGreen(colour)) << 8)
        | quint32(colourBlue(colour));
}

// The canvas's own pixels.
class ImageSurface
{
public:
    explicit ImageSurface(const RasterCanvas::PixelWriter &writer)
        : m_bits(writer.bits())
        , m_stride(writer.stride())
    {
    }

    void write(quint32 x, quint32 y, QRgb rgb) { m_bits[qsizetype(y) * m_stride + x] = rgb; }

private:
    QRgb *m_bits;
    qsizetype m_stride;
};

// What one stretch draws, kept apart until the stretches before it are on
// the canvas: tiles made when first touched, so a layer is only as large as
// the part of the canvas the stretch reaches. A drawn pixel is never 0 (its
// alpha is opaque), so 0 marks a pixel the stretch left alone.
class Layer
{
public:
    Layer(int width, int height)
        : m_across(tilesFor(width))
        , m_tiles(std::size_t(m_across) * tilesFor(height))
    {
    }

    void write(quint32 x, quint32 y, QRgb rgb)
    {
        std::unique_ptr<Tile> &tile = m_tiles[std::size_t(y / tileSide) * m_across + x / tileSide];
        if (!tile)
            tile = std::make_unique<Tile>();
        (*tile)[(y % tileSide) * tileSide + x % tileSide] = rgb;
    }

    // Lays what the stretch drew over the canvas and clears the layer, whose
    // tiles then serve a later stretch of the run without being made again:
    // the stretches of one run reach much the same part of the canvas.
    void moveOnto(const RasterCanvas::PixelWriter &canvas)
    {
        for (std::size_t t = 0; t < m_tiles.size(); ++t) {
            if (!m_tiles[t])
                continue;
            const int left = int(t % m_across) * tileSide;
            const int top = int(t / m_across) * tileSide;
            const int width = std::min(tileSide, canvas.width() - left);
            const int height = std::min(tileSide, canvas.height() - top);
            for (int y = 0; y < height; ++y) {
                const QRgb *from = m_tiles[t]->data() + y * tileSide;
                QRgb *to = canvas.bits() + (top + y) * canvas.stride() + left;
                for (int x = 0; x < width; ++x) {
                    // A mask, not a branch: the edge of a figure would
                    // make a branch guess wrong again and again.
                    const QRgb keep = 0u - QRgb(from[x] == 0);
                    to[x] = from[x] | (to[x] & keep);
                }
            }
            m_tiles[t]->fill(0);
        }
    }

private:
    static constexpr int tileSide = 64;
    using Tile = std::array<QRgb, tileSide * tileSide>;

    static std::size_t tilesFor(int pixels) { return std::size_t(pixels + tileSide - 1) / tileSide; }

    std::size_t m_across;
    std::vector<std::unique_ptr<Tile>> m_tiles; // each made value-initialised: all 0
};

// Puts a block's points on the pixels of a surface, in the order of the
// iterations, so that the last point on a pixel gives its colour.
template<typename Surface>
class PixelOutput
{
public:
    PixelOutput(const ViewTransform &view, int width, int height, ChainStepping stepping, Surface &surface)
        : m_view(view)
        , m_stepping(stepping)
        , m_width(quint32(width))
        , m_height(quint32(height))
        , m_surface(surface)
    {
    }

    void put(const CanvasPoint *points, const qint32 *colours, qint32 count)
    {
        pixels(m_stepping, m_view, points, count, m_columns.data(), m_rows.data());
        for (qint32 n = 0; n < count; ++n) {
            // A negative position turns into a large unsigned one: off the canvas too.
            const quint32 x = quint32(m_columns[n]);
            const quint32 y = quint32(m_rows[n]);
            if (x < m_width && y < m_height)
                m_surface.write(x, y, rgbOf(colours[n]));
        }
    }

private:
    const ViewTransform &m_view;
    const ChainStepping m_stepping;
    std::array<qint32, blockSize> m_columns;
    std::array<qint32, blockSize> m_rows;
    const quint32 m_width;
    const quint32 m_height;
    Surface &m_surface;
};

// What one iteration does besides moving its point depends on random numbers
// alone, so a block's worth is drawn from the random sequence first, in the
// order the iterations draw: the restart's base point, the colour, the
// choice of transformation. Then the chains between restarts are stepped.
template<typename Output>
class BlockRenderer
{
public:
    // Starts before iteration first, with selected as the transformation
    // chosen last.
    BlockRenderer(const CanvasChaosGame &game, const SteppingMaps &steppingMaps, RandomGenerator &random,
                  qint64 first, int selected, ChainStepping stepping, Output &output)
        : m_game(game)
        , m_steppingMaps(steppingMaps)
        , m_random(random)
        , m_stepping(stepping)
        , m_output(output)
        , m_resolution(game.resolution)
        , m_colourDraws(game.colours.draws())
        , m_untilRestart(qint32(m_resolution - (first - 1) % m_resolution))
        , m_cir(qint16((first - 1) % m_resolution))
        , m_selected(quint8(selected))
        , m_point(game.maps.basePoint(1))
        , m_next(first)
    {
    }

    // Plans and moves the next count iterations and hands their points on.
    void render(qint32 count)
    {
        plan(count);
        moveChains(count);
        m_output.put(m_points.data(), m_colour.data(), count);
        m_next += count;
    }

private:
    qint32 restartsIn(qint32 count) const
    {
        return m_untilRestart > count ? 0 : 1 + (count - m_untilRestart) / m_resolution;
    }

    // IterationPlanner's plans for a block, a span between restarts at a time.
    void plan(qint32 count)
    {
        const int perIteration = 1 + m_colourDraws;
        m_random.fill(m_drawn.data(), std::size_t(count * perIteration + restartsIn(count)));
        const float *drawn = m_drawn.data();
        m_restarts.clear();
        // A span of iterations at a time, from a restart or from where the
        // block begins to the next restart.
        for (qint32 n = 0; n < count;) {
            qint32 span = m_untilRestart - 1;
            qint16 firstCir = qint16(m_cir + 1);
            if (m_untilRestart == 1) {
                m_restarts.push_back({n, m_game.maps.basePointNumber(*drawn++)});
                span = m_resolution;
                firstCir = 0;
            }
            const qint32 length = std::min(span, count - n);
            m_game.colours.colours(m_next + n, firstCir, drawn, perIteration, length, &m_colour[n]);
            for (qint32 i = 0; i < length; ++i)
                m_choiceDrawn[n + i] = drawn[i * perIteration + m_colourDraws];
            drawn += length * perIteration;
            m_cir = qint16(firstCir + length - 1);
            m_untilRestart = span - length + 1;
            n += length;
        }
        chooseMaps(count);
    }

    // PreparedMaps::choose for each of a block's numbers: the previous
    // choice where a number chooses none.
    void chooseMaps(qint32 count)
    {
        countEntriesBelow(m_stepping, m_game.maps.cumulativeWeights(), m_game.maps.count(), m_choiceDrawn.data(),
                          m_transformation.data(), std::size_t(count));
        quint8 last = m_selected;
        for (qint32 n = 0; n < count; ++n) {
            last = m_transformation[n] > 0 ? m_transformation[n] : last;
            m_transformation[n] = last;
        }
        m_selected = last;
    }

    // Each restart begins a chain that owes nothing to the one before.
    void moveChains(qint32 count)
    {
        m_chains.clear();
        qint32 begin = 0;
        CanvasPoint point = m_point;
        for (const Restart &restart : m_restarts) {
            if (restart.iteration > begin)
                m_chains.push_back({begin, restart.iteration, point});
            begin = restart.iteration;
            point = m_game.maps.basePoint(restart.basePoint);
        }
        m_chains.push_back({begin, count, point});
        stepChains(m_stepping, m_steppingMaps, m_transformation.data(), m_chains.data(), m_chains.size(),
                   m_points.data());
        m_point = m_chains.back().point;
    }

    const CanvasChaosGame &m_game;
    const SteppingMaps &m_steppingMaps;
    RandomGenerator &m_random;
    const ChainStepping m_stepping;
    Output &m_output;
    const qint32 m_resolution;
    const int m_colourDraws;
    qint32 m_untilRestart; // to the next multiple of resolution
    qint16 m_cir;
    quint8 m_selected; // the map chosen last
    CanvasPoint m_point; // where the next iteration starts unless it restarts
    qint64 m_next;       // the number of the next iteration
    // At most a restart's, a colour's and a choice's number an iteration.
    std::array<float, 3 * blockSize> m_drawn;
    std::array<float, blockSize> m_choiceDrawn;
    struct Restart
    {
        qint32 iteration;
        qint16 basePoint;
    };
    std::vector<Restart> m_restarts;
    std::array<qint32, blockSize> m_colour;
    std::array<quint8, blockSize> m_transformation;
    std::array<CanvasPoint, blockSize> m_points;
    std::vector<Chain> m_chains;
};

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
    {
    }

    const FractalDocument &document;
    const RunControl &run;
    const ChainStepping stepping;
    const RandomGenerator runStart;
    const ViewTransform view;
    const CanvasChaosGame game;
    const SteppingMaps steppingMaps;
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

// One stretch onto a surface; true when it went to its end. afterBlock runs
// after every block.
template<typename Surface>
bool renderStretchOnto(SharedRun &shared, const RasterCanvas::PixelWriter &canvas, Stretch stretch, int selected,
                       RandomGenerator &random, Surface &surface, const std::function<void()> &afterBlock = {})
{
    // Large: they hold a block of plans and pixels.
    const auto output = std::make_unique<PixelOutput<Surface>>(shared.view, canvas.width(), canvas.height(),
                                                               shared.stepping, surface);
    const auto renderer = std::make_unique<BlockRenderer<PixelOutput<Surface>>>(
        shared.game, shared.steppingMaps, random, stretch.first, selected, shared.stepping, *output);
    for (qint64 first = stretch.first; first <= stretch.last; first += blockSize) {
        if (shared.stopped())
            return false;
        const qint32 count = qint32(std::min<qint64>(blockSize, stretch.last - first + 1));
        renderer->render(count);
        shared.pointsDone.fetch_add(count, std::memory_order_relaxed);
        if (afterBlock)
            afterBlock();
    }
    return true;
}

// Hands the stretches of a run to the threads in order, as soon as it knows
// where they start, and lays each finished stretch over the canvas once all
// before it are there, so that few layers live at once. The first stretch
// draws straight onto the canvas, the others into layers.
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

    // Works out where each stretch starts, one after the other.
    void position()
    {
        for (std::size_t s = 1; s < m_starts.size(); ++s) {
            const StretchStart start = nextStart(m_shared.document, m_shared.game.maps, m_starts[s - 1],
                                                 m_stretches[qsizetype(s) - 1].first, m_stretches[qsizetype(s)].first);
            const std::lock_guard lock(m_mutex);
            m_starts[s] = start;
            ++m_positioned;
            m_changed.notify_all();
        }
    }

    // A thread's work: stretch after stretch until none is left or the run stops.
    void work()
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            if (m_claimed == m_starts.size() || m_shared.stopped())
                return;
            const std::size_t s = m_claimed++;
            m_changed.wait(lock, [&] { return m_positioned > s; });
            StretchStart start = m_starts[s];
            std::unique_ptr<Layer> layer = s == 0 ? nullptr : takeSpareLayer();
            lock.unlock();

            bool whole;
            if (s == 0) {
                ImageSurface image(m_canvas);
                whole = renderStretchOnto(m_shared, m_canvas, m_stretches[0], start.selected, start.random, image);
            } else {
                if (!layer)
                    layer = std::make_unique<Layer>(m_canvas.width(), m_canvas.height());
                whole = renderStretchOnto(m_shared, m_canvas, m_stretches[qsizetype(s)], start.selected, start.random,
                                          *layer);
            }

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
    std::condition_variable m_changed;
    std::vector<StretchStart> m_starts;
    std::vector<RandomGenerator> m_ends;
    std::vector<std::unique_ptr<Layer>> m_layers;
    std::vector<std::unique_ptr<Layer>> m_spareLayers; // laid over and cleared
    std::vector<Outcome> m_outcome;
    std::size_t m_positioned = 1;
    std::size_t m_claimed = 0;
    std::size_t m_laid = 0;
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
    board.position();
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
        ImageSurface image(writer);
        completed = renderStretchOnto(shared, writer, stretches.constFirst(), 0, random, image,
                                      [&progress] { progress.catchUp(); });
    }
    if (!completed) {
        random = shared.runStart;
        random.discard(quint64(randomDrawsBefore(document, totalPoints + 1)));
    }
    return completed;
}

} // namespace Vorlane
