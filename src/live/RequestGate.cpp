#include "RequestGate.h"

#include <QRegularExpression>
#include <algorithm>

namespace kelvos {

namespace {

struct Header {
    QByteArrayView name;
    QByteArrayView value;
};

struct ParsedHead {
    QByteArrayView method;
    QByteArrayView target;
    QByteArrayView version;
    QList<Header> headers;
};

bool isTokenChar(char c) {
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c) || (c >= '0' && c <= '9') ||
           (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isToken(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

// A host name, an IPv4 address or a bracketed IPv6 address, with an optional port: nothing
// that could end or extend a header the server writes with it.
bool isPlainHost(QByteArrayView host) {
    static const QRegularExpression plain(QStringLiteral("^(\\[[0-9A-Fa-f:.]+\\]|[A-Za-z0-9.-]+)"
                                                         "(:[0-9]{1,5})?$"));
    return plain.match(QString::fromLatin1(host)).hasMatch();
}

QList<QByteArrayView> headLines(QByteArrayView head) {
    QList<QByteArrayView> lines;
    qsizetype from = 0;
    while (from < head.size()) {
        qsizetype end = head.indexOf('\n', from);
        if (end < 0)
            end = head.size();
        QByteArrayView line = head.sliced(from, end - from);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        from = end + 1;
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// 0 when the head parsed, else the status that refuses it.
int parseHead(QByteArrayView head, ParsedHead& parsed) {
    const QList<QByteArrayView> lines = headLines(head);
    if (lines.isEmpty())
        return 400;
    const QByteArrayView line = lines.first();
    const qsizetype methodEnd = line.indexOf(' ');
    const qsizetype targetEnd = line.lastIndexOf(' ');
    if (methodEnd <= 0 || targetEnd <= methodEnd + 1)
        return 400;
    parsed.method = line.first(methodEnd);
    parsed.target = line.sliced(methodEnd + 1, targetEnd - methodEnd - 1);
    parsed.version = line.sliced(targetEnd + 1);
    if (!isToken(parsed.method) || !parsed.target.startsWith('/') || parsed.target.contains(' ') ||
        (parsed.version != "HTTP/1.1" && parsed.version != "HTTP/1.0"))
        return 400;
    if (lines.size() - 1 > kMaxRequestHeaders)
        return 431;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0 || !isToken(lines[i].first(colon)))
            return 400; // also a folded line, which starts with a blank
        parsed.headers.append({lines[i].first(colon), lines[i].sliced(colon + 1).trimmed()});
    }
    return 0;
}

QList<QByteArrayView> headerValues(const ParsedHead& head, QByteArrayView name) {
    QList<QByteArrayView> values;
    for (const Header& header : head.headers) {
        if (header.name.compare(name, Qt::CaseInsensitive) == 0)
            values.append(header.value);
    }
    return values;
}

bool hasToken(const QList<QByteArrayView>& values, QByteArrayView token) {
    for (QByteArrayView value : values) {
        for (const QByteArray& part : value.toByteArray().split(',')) {
            if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

// A GET carries no body: a length or a transfer coding could smuggle a second request past
// the gate.
bool announcesBody(const ParsedHead& head) {
    if (!headerValues(head, "Transfer-Encoding").isEmpty())
        return true;
    const QList<QByteArrayView> lengths = headerValues(head, "Content-Length");
    return std::any_of(lengths.begin(), lengths.end(),
                       [](QByteArrayView length) { return length != "0"; });
}

} // namespace

std::optional<LiveRoute> liveRoute(QByteArrayView path) {
    using Kind = LiveRoute::Kind;
    if (path == "/")
        return LiveRoute{Kind::Resource, QStringLiteral(":/live/index.html")};
    if (path == "/overlay")
        return LiveRoute{Kind::Resource, QStringLiteral(":/live/overlay.html")};
    if (path == "/display")
        return LiveRoute{Kind::Resource, QStringLiteral(":/live/display.html")};
    if (path == "/run.json")
        return LiveRoute{Kind::RunJson, {}};
    if (path == "/run.csv")
        return LiveRoute{Kind::RunCsv, {}};
    if (path == "/events")
        return LiveRoute{Kind::Events, {}};
    if (path == "/board")
        return LiveRoute{Kind::Resource, QStringLiteral(":/live/board.html")};
    if (path == "/board.json")
        return LiveRoute{Kind::BoardJson, {}};
    if (path == "/board-events")
        return LiveRoute{Kind::Events, {}};
    if (path == "/remote")
        return LiveRoute{Kind::RemotePage, QStringLiteral(":/live/remote.html")};
    if (path == "/remote-events")
        return LiveRoute{Kind::RemoteEvents, {}};
    static const QRegularExpression asset(QStringLiteral("^/[a-z0-9-]+\\.(js|css|svg)$"));
    const QString name = QString::fromLatin1(path);
    if (asset.match(name).hasMatch())
        return LiveRoute{Kind::Resource, QStringLiteral(":/live") + name};
    return std::nullopt;
}

QByteArray contentTypeFor(QStringView fileName) {
    if (fileName.endsWith(u".html"))
        return "text/html; charset=utf-8";
    if (fileName.endsWith(u".js"))
        return "text/javascript; charset=utf-8";
    if (fileName.endsWith(u".css"))
        return "text/css; charset=utf-8";
    if (fileName.endsWith(u".svg"))
        return "image/svg+xml";
    if (fileName.endsWith(u".json"))
        return "application/json";
    if (fileName.endsWith(u".csv"))
        return "text/csv; charset=utf-8";
    return "application/octet-stream";
}

std::optional<qsizetype> requestHeadEnd(QByteArrayView received) {
    const qsizetype crlf = received.indexOf("\r\n\r\n");
    const qsizetype lf = received.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf + 2 <= lf))
        return crlf + 4;
    if (lf >= 0)
        return lf + 2;
    return std::nullopt;
}

bool isLoopbackHost(QByteArrayView host) {
    const qsizetype portColon = host.lastIndexOf(':');
    QByteArrayView name = host;
    if (portColon >= 0 && !host.sliced(portColon).contains(']'))
        name = host.first(portColon);
    return name.compare("localhost", Qt::CaseInsensitive) == 0 || name == "127.0.0.1" ||
           name == "[::1]";
}

RequestVerdict judgeRequestHead(QByteArrayView head, bool loopbackOnly) {
    RequestVerdict verdict;
    if (head.size() > kMaxRequestHeadBytes) {
        verdict.status = 431;
        return verdict;
    }
    ParsedHead parsed;
    verdict.status = parseHead(head, parsed);
    if (verdict.status != 0)
        return verdict;
    if (parsed.method != "GET") {
        verdict.status = 405;
        return verdict;
    }
    const QList<QByteArrayView> hosts = headerValues(parsed, "Host");
    if (hosts.size() != 1 || !isPlainHost(hosts.first()) || announcesBody(parsed)) {
        verdict.status = 400;
        return verdict;
    }
    if (loopbackOnly && !isLoopbackHost(hosts.first())) {
        verdict.status = 403;
        return verdict;
    }
    const qsizetype query = parsed.target.indexOf('?');
    verdict.route = liveRoute(query < 0 ? parsed.target : parsed.target.first(query));
    if (!verdict.route) {
        verdict.status = 404;
        return verdict;
    }
    const bool asksUpgrade = !headerValues(parsed, "Upgrade").isEmpty();
    const bool events = verdict.route->isWebSocket();
    verdict.upgrade = events && hasToken(headerValues(parsed, "Upgrade"), "websocket") &&
                      hasToken(headerValues(parsed, "Connection"), "upgrade");
    if (events != verdict.upgrade || (asksUpgrade && !events)) {
        verdict.status = events ? 426 : 400;
        return verdict;
    }
    verdict.host = hosts.first().toByteArray();
    return verdict;
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 426:
        return "Upgrade Required";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

} // namespace kelvos
