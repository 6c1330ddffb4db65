// Any byte string read as a poster part is either refused with a message or
// merged into a picture of the size its header gives, and never takes more
// memory than that picture and a band of sums: sizes, counts and compressed
// streams in the file are all bounded before anything is allocated.
#include "render/poster/posterpart.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <unistd.h>

namespace {

// Pictures up to this many pixels are merged; larger ones are legitimate,
// but their memory would only measure the picture, not the reader.
constexpr qint64 largestPicture = qint64(1) << 22;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The reader works on files, as the merge hands it.
    static const QString path =
        QDir::temp().filePath(QStringLiteral("fuzz_posterpart_%1.vacc").arg(qint64(getpid())));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    QString error;
    const std::optional<Vorlane::PosterPartHeader> header = Vorlane::readPosterPartHeader(path, &error);
    if (!header && error.isEmpty())
        std::abort();
    if (header && qint64(header->settings.size.width()) * header->settings.size.height() > largestPicture)
        return 0;
    const Vorlane::MergedPicture merged = Vorlane::mergePosterPicture({path}, {});
    if (merged.picture.isNull() == merged.error.isEmpty())
        std::abort();
    if (!merged.picture.isNull() && merged.picture.size() != merged.header.settings.size)
        std::abort();
    return 0;
}
