#include "GatedTcpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace kelvos {

GatedTcpServer::GatedTcpServer(Judge judge, QObject* parent)
    : QTcpServer(parent), judge_(std::move(judge)) {
    setMaxPendingConnections(kMaxWaiting);
}

QList<std::pair<QByteArray, QByteArray>> GatedTcpServer::safetyHeaders(QByteArrayView host) {
    // Scripts, styles and connections only from this server (its WebSocket included, which
    // older browsers do not count as 'self'); nothing inline, no plugins, no forms.
    const QByteArray policy = "default-src 'self'; connect-src 'self' ws://" + host.toByteArray() +
                              "; object-src 'none'; base-uri 'none'; form-action 'none'";
    return {{"Content-Security-Policy", policy},
            {"X-Content-Type-Options", "nosniff"},
            {"Referrer-Policy", "no-referrer"},
            {"Cache-Control", "no-store"},
            {"Connection", "close"}};
}

void GatedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    // Idle connections are cheap to open: past the bound the oldest waiting one goes, so that
    // a flood of them never keeps a viewer out.
    if (waiting_.size() >= kMaxWaiting)
        waiting_.takeFirst()->abort();
    waiting_.append(socket);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { examine(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] { waiting_.removeOne(socket); });
    QTimer::singleShot(kHeadTimeoutMs, socket, [this, socket] {
        if (waiting_.contains(socket))
            refuse(socket, 408);
    });
}

void GatedTcpServer::examine(QTcpSocket* socket) {
    const QByteArray received = socket->peek(kMaxRequestHeadBytes + 1);
    const std::optional<qsizetype> end = requestHeadEnd(received);
    if (!end) {
        if (received.size() > kMaxRequestHeadBytes)
            refuse(socket, 431);
        return;
    }
    RequestVerdict verdict = judge_(QByteArrayView(received).first(*end));
    // A GET has no body: anything after its head would be a second request.
    if (verdict.status == 0 && socket->bytesAvailable() > *end)
        verdict.status = 400;
    if (verdict.status != 0)
        refuse(socket, verdict.status);
    else
        handOver(socket, verdict.upgrade);
}

void GatedTcpServer::refuse(QTcpSocket* socket, int status) {
    forget(socket);
    const QByteArray body = reasonPhrase(status) + '\n';
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                       "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                       QByteArray::number(body.size()) + "\r\n";
    if (status == 405)
        reply += "Allow: GET\r\n";
    for (const auto& [name, value] : safetyHeaders("localhost"))
        reply += name + ": " + value + "\r\n";
    reply += "\r\n" + body;
    socket->write(reply);
    socket->disconnectFromHost();
    QTimer::singleShot(kReplyTimeoutMs, socket, &QTcpSocket::abort);
}

void GatedTcpServer::handOver(QTcpSocket* socket, bool upgrade) {
    forget(socket);
    if (!upgrade) {
        // One request a connection: the answer written, the connection ends; any further
        // request on it was never checked and is not served.
        auto requests = std::make_shared<int>(0);
        connect(socket, &QTcpSocket::readyRead, this, [socket, requests] {
            if (++*requests > 1)
                socket->abort();
        });
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
            if (socket->bytesToWrite() == 0)
                socket->disconnectFromHost();
        });
        QTimer::singleShot(kReplyTimeoutMs, socket, &QTcpSocket::abort);
    }
    addPendingConnection(socket);
    emit newConnection();
    // The head is already waiting in the socket: the HTTP server reads it on this signal.
    emit socket->readyRead();
}

void GatedTcpServer::forget(QTcpSocket* socket) {
    waiting_.removeOne(socket);
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
}

} // namespace kelvos
