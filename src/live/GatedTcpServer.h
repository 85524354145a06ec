#pragma once

#include "RequestGate.h"

#include <QTcpServer>
#include <functional>

class QTcpSocket;

namespace kelvos {

// The listening socket handed to the HTTP server. A connection reaches the HTTP server only
// once its first request head has arrived whole and been let through; a request refused, too
// large or never finished is answered (or dropped) here. Each connection carries one request
// (or becomes a WebSocket), so no later request slips past the check.
class GatedTcpServer : public QTcpServer {
    Q_OBJECT

public:
    // Decides on a complete request head.
    using Judge = std::function<RequestVerdict(QByteArrayView head)>;

    static constexpr int kHeadTimeoutMs = 5000;
    static constexpr int kReplyTimeoutMs = 10000;
    static constexpr int kMaxWaiting = 512;

    explicit GatedTcpServer(Judge judge, QObject* parent = nullptr);

    // The headers every answer carries, also the refusals given here.
    static QList<std::pair<QByteArray, QByteArray>> safetyHeaders(QByteArrayView host);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void examine(QTcpSocket* socket);
    void refuse(QTcpSocket* socket, int status);
    void handOver(QTcpSocket* socket, bool upgrade);
    void forget(QTcpSocket* socket);

    Judge judge_;
    QList<QTcpSocket*> waiting_; // oldest first
};

} // namespace kelvos
