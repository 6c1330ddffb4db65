// vorlane-render: the program's renderer without its window.
#include "render/exact/documentpicture.h"
#include "programs/vorlane-render/renderoptions.h"
#include "document/documentfile.h"
#include "common/randomgenerator.h"
#include "render/picturefile/bitmapfile.h"
#include "render/poster/posterpart.h"
#include "render/poster/posterrender.h"
#include "render/exact/renderer.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
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
    return {options.size, *options.poster.points, options.seed, options.poster.zoom, options.poster.centre};
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
    std::optional<PosterAccumulation> sums = PosterAccumulation::allocate(settings.size, 0, &error);
    if (!sums)
        return leave(ToolExit::Refused, error);
    const PosterPieces pieces = posterPart(settings.points, poster.part, poster.parts);
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

int mergePoster(const RenderOptions &options)
{
    const MergedPicture merged = mergePosterPicture(options.poster.merge, options.poster.tone);
    if (merged.picture.isNull())
        return leave(ToolExit::Refused, merged.error);
    return writePicture(merged.picture, options.output);
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
    document->settings.totalPoints = options.points.value_or(document->settings.totalPoints);
    document->settings.resolution = options.resolution.value_or(document->settings.resolution);
    if (options.centre) {
        document->centreX = qint16(options.centre->x());
        document->centreY = qint16(options.centre->y());
    }
    const QString problem = renderProblem(*document);
    if (!problem.isEmpty())
        return leave(ToolExit::Refused, problem);
    if (options.mode == RenderMode::Poster)
        return options.poster.accumulation.isEmpty() ? renderPosterOf(*document, options)
                                                     : renderPosterPart(*document, options);

    const bool showBar = isatty(STDERR_FILENO) && document->settings.totalPoints >= longRunPoints;
    RunControl run;
    run.threads = options.threads;
    if (showBar)
        run.onProgress = [](qint64 stepsDone, qint64) { showProgress(qint32(stepsDone)); };
    RandomGenerator random(options.seed);
    return writePicture(renderDocumentPicture(*document, options.size, random, 1.0f, run), options.output);
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
    return options.mode == RenderMode::Merge ? mergePoster(options) : render(options);
}
