#include "online/httpfetcher.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace Vorlane {

namespace {

constexpr int maxRedirects = 5;

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

std::optional<QByteArray> HttpFetcher::fetch(const QString &address, qint64 maxBytes)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!isWebAddress(url))
        return std::nullopt;

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    const std::unique_ptr<QNetworkReply> reply(m_manager.get(request));

    bool tooLong = false;
    const auto checkLength = [&reply, &tooLong, maxBytes] {
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        if (reply->bytesAvailable() > maxBytes || (announced.isValid() && announced.toLongLong() > maxBytes)) {
            tooLong = true;
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), checkLength);
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), checkLength);

    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), &QNetworkReply::abort);
    deadline.start(m_timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (tooLong || reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    return reply->readAll();
}

} // namespace Vorlane
