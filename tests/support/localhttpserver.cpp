#include "localhttpserver.h"

#include <QTcpSocket>
#include <QTest>

namespace Vorlane {

namespace {

const QByteArray notFoundPage = "<html><head><title>404 Not Found</title></head>"
                                "<body><h1>Not Found</h1><p>The requested URL was not found.</p></body></html>";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    if (!m_server.listen(QHostAddress::LocalHost))
        QTest::qFail("the test server cannot listen", __FILE__, __LINE__);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::acceptConnection);
}

QString LocalHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

QString LocalHttpServer::unreachableUrl(const QString &path)
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
}

void LocalHttpServer::redirect(const QString &path, const QString &target)
{
    answer(path, Response{302, "moved", {{"Location", target.toLatin1()}}, false});
}

void LocalHttpServer::acceptConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
    }
}

void LocalHttpServer::serve(QTcpSocket *socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    const QString path = QString::fromLatin1(request.left(request.indexOf("\r\n")).split(' ').value(1));
    m_requests.append(path);
    const Response response = m_responses.value(path, Response{404, notFoundPage, {}, false});
    if (response.silent)
        return;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status)
        + "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n";
    for (const auto &[name, value] : response.headers)
        answer += name + ": " + value + "\r\n";
    socket->write(answer + "\r\n" + response.body);
    socket->disconnectFromHost();
}

} // namespace Vorlane
