// Any byte string read as a document either is refused or gives a document
// that writes back to exactly the bytes it was read from, but for the
// signature, which the writer always writes the same.
#include "document/documentfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<Vorlane::FractalDocument> document = Vorlane::decodeDocument(bytes, {});
    if (!document)
        return 0;
    const QByteArray written = Vorlane::encodeDocument(*document);
    constexpr int signatureSize = 4;
    if (written.mid(signatureSize) != bytes.mid(signatureSize, written.size() - signatureSize))
        std::abort();
    return 0;
}
