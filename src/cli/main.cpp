// vorlane-render: the program's renderer without its window.
#include "cli/headlessrender.h"
#include "cli/renderoptions.h"
#include "document/documentfile.h"
#include "render/bitmapfile.h"
#include "render/posterrender.h"
#include "render/renderer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

using namespace Vorlane;

namespace {

// Runs shorter than this finish before a progress bar would be worth reading.
constexpr qint32 longRunPoints = 5'000'000;
constexpr int barWidth = 40;

int leave(RenderExit code, const QString &message = QString())
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

bool writePicture(const QImage &picture, const QString &path, QString *error)
{
    if (pictureFormat(path) == "BMP")
        return writeBitmapFile(picture, path, error);
    return writePngFile(picture, path, error);
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

int renderPosterOf(const FractalDocument &document, const RenderOptions &options)
{
    PosterRequest request;
    request.settings = {options.size, *options.poster.points, options.seed, options.poster.zoom, options.poster.centre};
    request.tone = options.poster.tone;
    request.tone.backColour = document.colours.backColour;
    PosterRunControl control;
    control.threads = options.threads;
    if (isatty(STDERR_FILENO) && request.settings.points >= longRunPoints)
        control.onProgress = posterProgress();
    const PosterResult poster = renderPoster(document, request, control);
    if (poster.end != PosterRunEnd::Finished)
        return leave(RenderExit::RefusedDocument, poster.error);
    QString error;
    if (!writePngFile(poster.picture, options.output, &error))
        return leave(RenderExit::OutputFailed, QStringLiteral("cannot write '%1': %2").arg(options.output, error));
    return leave(RenderExit::Success);
}

int render(const RenderOptions &options)
{
    QFile input(options.input);
    if (!input.open(QIODevice::ReadOnly))
        return leave(RenderExit::MissingInput,
                     QStringLiteral("cannot read '%1': %2").arg(options.input, input.errorString()));
    std::optional<FractalDocument> document = decodeDocument(input.readAll(), FractalDocument());
    if (!document)
        return leave(RenderExit::RefusedDocument,
                     QStringLiteral("'%1' is not a whole Vorlane fractal document").arg(options.input));
    document->settings.totalPoints = options.points.value_or(document->settings.totalPoints);
    document->settings.resolution = options.resolution.value_or(document->settings.resolution);
    if (options.centre) {
        document->centreX = qint16(options.centre->x());
        document->centreY = qint16(options.centre->y());
    }
    const QString problem = renderProblem(*document);
    if (!problem.isEmpty())
        return leave(RenderExit::RefusedDocument, problem);
    if (options.mode == RenderMode::Poster)
        return renderPosterOf(*document, options);

    const bool showBar = isatty(STDERR_FILENO) && document->settings.totalPoints >= longRunPoints;
    const QImage picture = renderDocumentPicture(*document, options.size, options.seed,
                                                 showBar ? showProgress : std::function<void(qint32)>());
    QString error;
    if (!writePicture(picture, options.output, &error))
        return leave(RenderExit::OutputFailed, QStringLiteral("cannot write '%1': %2").arg(options.output, error));
    return leave(RenderExit::Success);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));

    const ParsedRenderOptions parsed = parseRenderOptions(QCoreApplication::arguments());
    if (const auto *info = std::get_if<RenderInfo>(&parsed)) {
        std::fputs(qPrintable(info->text), stdout);
        return leave(RenderExit::Success);
    }
    if (const auto *error = std::get_if<RenderOptionsError>(&parsed))
        return leave(RenderExit::BadOptions, error->message + QStringLiteral("\nTry 'vorlane-render --help'."));
    return render(std::get<RenderOptions>(parsed));
}
