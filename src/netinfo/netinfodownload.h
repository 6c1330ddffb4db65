#pragma once

#include "netinfo/netinfo.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace Vorlane {

// Fetches the body of a web address, at most maxBytes long; none when the
// address is empty or not a web address, the transfer fails, or the body is
// longer.
using FetchBody = std::function<std::optional<QByteArray>(const QString &address, qint64 maxBytes)>;

// The longest bodies the update takes; a longer one fails its transfer.
constexpr qint64 maxNetInfoBytes = 1024 * 1024;
constexpr qint64 maxPictureBytes = 5 * 1024 * 1024;
// A fetched advertisement picture shorter than this is discarded.
constexpr qint64 minPictureBytes = 500;

// What playing the advertisement picture may cost: pixels in one frame, and
// in all frames of one loop together. A picture within the size limit can
// hold far more, and would keep a core busy for as long as it plays.
constexpr qint64 maxPictureFramePixels = 1024 * 1024;
constexpr qint64 maxPictureLoopPixels = 16 * 1024 * 1024;

// True when the bytes are a GIF picture within the bounds above.
bool isPlayablePicture(const QByteArray &bytes);

// True when the bytes are an advertisement picture worth keeping: at least
// 500 bytes long and a playable GIF picture whose first frame can be read.
bool isUsablePicture(const QByteArray &bytes);

// The file work of the net-info update in the program's folder. The old
// "vornet.dat" waits as "vornet1.dat" while new copies are tried, and the old
// advertisement picture "vornad.gif" as "vornad1.gif" while a new one is
// fetched. File errors are not reported: each step goes on as well as it can.
class NetInfoDownload
{
public:
    NetInfoDownload(const QString &appDir, FetchBody fetch);

    // Moves "vornet.dat" aside, then tries the sources in order, calling
    // onAttempt with the attempt's number (1 to 10) before each, until one
    // delivers a whole, valid net-info file and it is written whole to
    // "vornet.dat". True on success; on
    // failure call restoreNetInfo.
    bool fetchNetInfo(const std::array<QString, NetInfo::sourceCount> &sources,
                      const std::function<void(int attempt)> &onAttempt);
    // After a failed fetch: the old "vornet.dat" is back.
    void restoreNetInfo();
    // After a successful fetch: the old "vornet.dat" is deleted.
    void dropNetInfoBackup();

    // Fetches the advertisement picture into "vornad.gif". A picture that
    // is missing, not usable or cannot be written whole is discarded and the
    // old one kept.
    void replacePicture(const QString &address);

private:
    bool tryNetInfoSource(const QString &address);

    FetchBody m_fetch;
    QString m_netInfo;
    QString m_netInfoBackup;
    QString m_picture;
};

} // namespace Vorlane
