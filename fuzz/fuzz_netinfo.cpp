// A downloaded net-info file is untrusted: any bytes are either taken whole
// or leave the addresses as they were, and what is taken writes back the same.
#include "netinfo/netinfo.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Vorlane::isValidNetInfoFile(bytes);
    Vorlane::NetInfo info = Vorlane::shippedNetInfo();
    const Vorlane::NetInfo before = info;
    if (!Vorlane::readNetInfo(bytes, info)) {
        if (!(info == before))
            std::abort();
        return 0;
    }
    Vorlane::NetInfo again = before;
    if (!Vorlane::readNetInfo(Vorlane::netInfoFileBytes(info), again) || !(again == info))
        std::abort();
    for (const QString &address : {info.siteAddr, info.authorPage, info.authorMail})
        Vorlane::isOpenableAddress(address);
    Vorlane::mailLink(info.authorMail);
    return 0;
}
