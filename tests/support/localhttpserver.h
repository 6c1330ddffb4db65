#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QTcpServer>

namespace Vorlane {

// A small HTTP server on 127.0.0.1 for tests. It answers every path with the
// response set for it (a "404 Not Found" page otherwise), closes the
// connection after each answer, and records the paths asked for.
class LocalHttpServer : public QObject
{
public:
    struct Response
    {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool silent = false; // accepts the request and never answers
    };

    LocalHttpServer();

    // The address of path on this server, e.g. url("/net/vornet.txt").
    QString url(const QString &path) const;
    // An address on this machine where nothing listens.
    static QString unreachableUrl(const QString &path);

    void answer(const QString &path, const Response &response) { m_responses.insert(path, response); }
    void answer(const QString &path, const QByteArray &body) { answer(path, Response{200, body, {}, false}); }
    void redirect(const QString &path, const QString &target);
    void stayQuiet(const QString &path) { answer(path, Response{200, {}, {}, true}); }

    // The paths asked for, in order.
    const QStringList &requests() const { return m_requests; }

private:
    void acceptConnection();
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, Response> m_responses;
    QStringList m_requests;
};

} // namespace Vorlane
