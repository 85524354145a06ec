#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace kelvos {

// What the live server lets through before a request reaches the HTTP server: one GET (or the
// WebSocket upgrade on /events) for one of the built-in paths, with a bounded head.
inline constexpr qsizetype kMaxRequestHeadBytes = 8 * 1024;
inline constexpr int kMaxRequestHeaders = 64;

// A built-in path and what it serves.
struct LiveRoute {
    enum class Kind { Resource, RunJson, RunCsv, Events, BoardJson, RemotePage, RemoteEvents };
    Kind kind = Kind::Resource;
    QString resource; // Resource, RemotePage: the Qt resource that holds the file

    bool isWebSocket() const { return kind == Kind::Events || kind == Kind::RemoteEvents; }
    // Served only while remote timekeepers are allowed.
    bool isRemote() const { return kind == Kind::RemotePage || kind == Kind::RemoteEvents; }
};
// "/" and the pages, the run as JSON and CSV, the event socket, the board of every station's
// run and its socket (both sockets of the kind Events), the remote timekeepers' page and
// socket, and "/<name>" for a script, style or picture name made of [a-z0-9-]; nothing else.
std::optional<LiveRoute> liveRoute(QByteArrayView path);
// By the name's extension; UTF-8 for text.
QByteArray contentTypeFor(QStringView fileName);

struct RequestVerdict {
    int status = 0;       // 0: let through; otherwise the HTTP status to answer with
    bool upgrade = false; // a WebSocket upgrade on /events or /remote-events
    QByteArray host;      // the Host header as sent, once it is let through
    std::optional<LiveRoute> route;
};

// The end of a request head in the bytes received so far (the index after its blank line), or
// nothing while it is incomplete.
std::optional<qsizetype> requestHeadEnd(QByteArrayView received);

// Judges a complete request head (everything up to and including the blank line). With
// loopbackOnly, a Host that is not a name of this computer's loopback is refused (403), so
// that a page of another site cannot reach the server by pointing its own name at 127.0.0.1.
RequestVerdict judgeRequestHead(QByteArrayView head, bool loopbackOnly);

// localhost, 127.0.0.1 or [::1], with or without a port.
bool isLoopbackHost(QByteArrayView host);

// The reason phrase the server gives with the statuses it answers by itself.
QByteArray reasonPhrase(int status);

} // namespace kelvos
