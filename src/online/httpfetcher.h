#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>

#include <chrono>
#include <optional>

namespace Vorlane {

// Fetches web bodies one at a time. Each fetch waits in a local event loop,
// so that timers and painting go on while it runs, but takes no user input.
class HttpFetcher
{
public:
    static constexpr std::chrono::milliseconds defaultTimeout{10000};

    // How long one fetch may take in all before it is given up.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // The body of an http or https address, following redirects that do not
    // lead from https to http. None for any other address, a transfer error,
    // an error status, a time-out, or a body longer than maxBytes.
    std::optional<QByteArray> fetch(const QString &address, qint64 maxBytes);

private:
    QNetworkAccessManager m_manager;
    std::chrono::milliseconds m_timeout = defaultTimeout;
};

} // namespace Vorlane
