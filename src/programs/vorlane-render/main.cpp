// vorlane-render: the program's renderer without its window.
#include "render/exact/documentpicture.h"
#include "programs/vorlane-render/renderoptions.h"
#include "document/documentfile.h"
#include "common/filestore.h"
#include "common/randomgenerator.h"
#include "render/picturefile/bitmapfile.h"
#include "render/poster/posterpart.h"
#include "render/poster/posterrender.h"
#include "render/exact/renderer.h"
#include "programs/vorlane-render/fractalinfo.h"
#include "render/lesson/levels.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <new>
#include <unistd.h>

using namespace Vorlane;

namespace {

// Runs shorter than this finish before a progress bar would be worth reading.
constexpr qint32 longRunPoints = 5'000'000;
constexpr int barWidth = 40;

int leave(ToolExit code, const QString &message = QString())
{
    if (!message.isEmpty())
        std::fprintf(stderr, "vorlane-render: %s\n", qPrintable(message));
    return int(code);
}

void showProgress(qint32 stepsDone)
{
    const int done = qMin(stepsDone, 60) * barWidth / 60;
    std::fprintf(stderr, "\r[%s%s] %3d%%", QByteArray(done, '#').constData(),
                 QByteArray(barWidth - done, ' ').constData(), qMin(stepsDone, 60) * 100 / 60);
    if (stepsDone >= 60)
        std::fputc('\n', stderr);
}

// The poster's progress as the bar's 60 steps, each shown once.
std::function<void(qint64, qint64)> posterProgress()
{
    return [shown = qint32(0)](qint64 done, qint64 total) mutable {
        const qint32 steps = qint32(done * 60 / total);
        if (steps > shown)
            showProgress(shown = steps);
    };
}

RunControl posterControl(const RenderOptions &options, qint64 points)
{
    RunControl control;
    control.threads = options.threads;
    if (isatty(STDERR_FILENO) && points >= longRunPoints)
        control.onProgress = posterProgress();
    return control;
}

PosterSettings posterSettings(const RenderOptions &options)
{
    const PosterOptions &poster = options.poster;
    return {options.size,    *poster.points,    options.seed, poster.zoom,
            poster.centre,   poster.palette,    poster.colourBy, poster.skip,
            poster.supersample};
}

int writePicture(const QImage &picture, const QString &path)
{
    QString error;
    if (!writePictureFile(picture, path, &error))
        return leave(ToolExit::OutputFailed, QStringLiteral("cannot write '%1': %2").arg(path, error));
    return leave(ToolExit::Success);
}

int renderPosterOf(const FractalDocument &document, const RenderOptions &options)
{
    PosterRequest request;
    request.settings = posterSettings(options);
    request.tone = options.poster.tone;
    request.tone.backColour = document.colours.backColour;
    const PosterResult poster = renderPoster(document, request, posterControl(options, request.settings.points));
    if (poster.end != PosterRunEnd::Finished)
        return leave(ToolExit::Refused, poster.error);
    return writePicture(poster.picture, options.output);
}

int renderPosterPart(const FractalDocument &document, const RenderOptions &options)
{
    const PosterSettings settings = posterSettings(options);
    const PosterOptions &poster = options.poster;
    QString error;
    const PosterPieces pieces = posterPart(settings.points, poster.part, poster.parts);
    const QSize sumsSize = posterSumsSize(settings);
    const qint64 otherBytes = posterWorkerBytes(sumsSize, settings.points, pieces, options.threads)
                              + posterPartBufferBytes(sumsSize);
    std::optional<PosterAccumulation> sums = PosterAccumulation::allocate(sumsSize, 0, &error, otherBytes);
    if (!sums)
        return leave(ToolExit::Refused, error);
    const PosterRunResult run =
        accumulatePoster(document, settings, fitPosterView(document, settings), pieces, *sums,
                         posterControl(options, (pieces.end - pieces.first) * posterPiecePoints));
    if (run.end != PosterRunEnd::Finished)
        return leave(ToolExit::Refused, run.error);
    if (!writePosterPart(posterPartHeader(document, settings, poster.part, poster.parts), *sums, poster.accumulation,
                         &error))
        return leave(ToolExit::OutputFailed,
                     QStringLiteral("cannot write '%1': %2").arg(poster.accumulation, error));
    return leave(ToolExit::Success);
}

// Why the file target cannot be written, found before any work: a run of
// hours must not end in a folder that is not there, nor write over one of
// its own inputs. ToolExit::Success when nothing speaks against it.
ToolExit checkTarget(const QString &target, const QStringList &inputs, QString *message)
{
    for (const QString &input : inputs) {
        if (isSameFile(target, input)) {
            *message = QStringLiteral("'%1' is an input of this run; it is not written over.").arg(target);
            return ToolExit::BadOptions;
        }
    }
    const QString problem = replacementProblem(target);
    if (problem.isEmpty())
        return ToolExit::Success;
    *message = QStringLiteral("cannot write '%1': %2").arg(target, problem);
    return ToolExit::OutputFailed;
}

int mergePoster(const RenderOptions &options)
{
    QString message;
    const ToolExit target = checkTarget(options.output, options.poster.merge, &message);
    if (target != ToolExit::Success)
        return leave(target, message);
    const MergedPicture merged = mergePosterPicture(options.poster.merge, options.poster.tone);
    if (merged.picture.isNull())
        return leave(merged.unreadable ? ToolExit::MissingInput : ToolExit::Refused, merged.error);
    return writePicture(merged.picture, options.output);
}

QImage exactPicture(const FractalDocument &document, const RenderOptions &options)
{
    const bool showBar = isatty(STDERR_FILENO) && document.settings.totalPoints >= longRunPoints;
    RunControl run;
    run.threads = options.threads;
    if (showBar)
        run.onProgress = [](qint64 stepsDone, qint64) { showProgress(qint32(stepsDone)); };
    RandomGenerator random(options.seed);
    return renderDocumentPicture(document, options.size, random, 1.0f, run);
}

int renderLevel(const FractalDocument &document, const RenderOptions &options)
{
    int highest = 0;
    const QImage picture = levelPicture(document, options.level, options.size, &highest);
    if (picture.isNull())
        return leave(ToolExit::Refused, QStringLiteral("level %1 would draw more than %2 points; level %3 is the "
                                                       "highest this document allows")
                                            .arg(options.level)
                                            .arg(mostLevelImages)
                                            .arg(highest));
    return writePicture(picture, options.output);
}

int render(const RenderOptions &options)
{
    QString readError;
    const std::optional<QByteArray> input = readDocumentBytes(options.input, &readError);
    if (!input)
        return leave(ToolExit::MissingInput, QStringLiteral("cannot read '%1': %2").arg(options.input, readError));
    std::optional<FractalDocument> document = decodeDocument(*input, FractalDocument());
    if (!document)
        return leave(ToolExit::Refused,
                     QStringLiteral("'%1' is not a whole Vorlane fractal document").arg(options.input));
    QString message;
    const QString &target = options.poster.accumulation.isEmpty() ? options.output : options.poster.accumulation;
    const ToolExit targetCheck = options.info ? ToolExit::Success : checkTarget(target, {options.input}, &message);
    if (targetCheck != ToolExit::Success)
        return leave(targetCheck, message);
    document->settings.totalPoints = options.points.value_or(document->settings.totalPoints);
    document->settings.resolution = options.resolution.value_or(document->settings.resolution);
    if (options.centre) {
        document->centreX = qint16(options.centre->x());
        document->centreY = qint16(options.centre->y());
    }
    const QString problem = renderProblem(*document);
    if (!problem.isEmpty())
        return leave(ToolExit::Refused, problem);
    if (options.info) {
        std::fputs(qPrintable(fractalInfo(*document, exactPicture(*document, options))), stdout);
        return leave(ToolExit::Success);
    }
    if (options.poster.skip >= document->settings.resolution)
        return leave(ToolExit::Refused, QStringLiteral("--skip %1 leaves no point: the document restarts from its "
                                                       "base field every %2 points.")
                                            .arg(options.poster.skip)
                                            .arg(document->settings.resolution));
    if (options.mode == RenderMode::Poster)
        return options.poster.accumulation.isEmpty() ? renderPosterOf(*document, options)
                                                     : renderPosterPart(*document, options);
    if (options.mode == RenderMode::Levels)
        return renderLevel(*document, options);
    return writePicture(exactPicture(*document, options), options.output);
}

} // namespace

int main(int argc, char *argv[])
{
    // Past a file-size limit a write then fails with exit code 5 instead of
    // killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));

    const ParsedRenderOptions parsed = parseRenderOptions(QCoreApplication::arguments());
    if (const auto *info = std::get_if<CommandLineInfo>(&parsed)) {
        std::fputs(qPrintable(info->text), stdout);
        return leave(ToolExit::Success);
    }
    if (const auto *error = std::get_if<CommandLineError>(&parsed))
        return leave(ToolExit::BadOptions, error->message + QStringLiteral("\nTry 'vorlane-render --help'."));
    const RenderOptions &options = std::get<RenderOptions>(parsed);
    try {
        return options.mode == RenderMode::Merge ? mergePoster(options) : render(options);
    } catch (const std::bad_alloc &) {
        // Whatever asked for more than the system gives, the run ends with
        // a message instead of an abort.
        return leave(ToolExit::Refused, QStringLiteral("there is not enough memory for this run"));
    }
}
