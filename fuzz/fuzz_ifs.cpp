// Any byte string read as IFS text is either refused with a message or gives
// blocks that write back to text reading back to the same blocks; every
// block then converts to a renderable document or is refused with a reason.
#include "convert/ifsconversion.h"
#include "convert/ifstext.h"
#include "render/exact/renderer.h"

#include <cmath>
#include <cstdlib>

using namespace Vorlane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto parsed = parseIfsText(text);
    if (const auto *error = std::get_if<IfsTextError>(&parsed)) {
        if (!error->message.startsWith(QLatin1String("line ")) && !error->message.startsWith(QLatin1String("the file")))
            std::abort();
        return 0;
    }
    const QList<IfsBlock> &blocks = std::get<QList<IfsBlock>>(parsed);
    const auto again = parseIfsText(writeIfsText(blocks));
    const auto *back = std::get_if<QList<IfsBlock>>(&again);
    if (!back || back->size() != blocks.size())
        std::abort();
    for (qsizetype b = 0; b < blocks.size(); ++b) {
        if (back->at(b).name != blocks.at(b).name || back->at(b).maps.size() != blocks.at(b).maps.size())
            std::abort();
        for (qsizetype m = 0; m < blocks.at(b).maps.size(); ++m) {
            if (!(back->at(b).maps.at(m).map == blocks.at(b).maps.at(m).map)
                || back->at(b).maps.at(m).probability != blocks.at(b).maps.at(m).probability)
                std::abort();
        }
        const auto imported = importIfsBlock(blocks.at(b), {true, b % 2 == 1, std::nullopt});
        const auto *result = std::get_if<IfsImport>(&imported);
        if (!result)
            continue;
        if (!renderProblem(result->document).isEmpty())
            std::abort();
        for (const Transformation &tr : result->document.transformations) {
            for (const float value : {tr.contraction[0], tr.contraction[1], tr.rotation, tr.translation[0],
                                      tr.translation[1]}) {
                if (!std::isfinite(value))
                    std::abort();
            }
        }
    }
    return 0;
}
