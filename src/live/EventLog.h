#pragma once

#include <QList>
#include <QString>
#include <deque>
#include <optional>
#include <utility>

namespace kelvos {

// The published form of the latest events, so that a viewer that lost its connection for a
// moment is sent what it missed instead of the whole run again.
class EventLog {
public:
    static constexpr qsizetype kDefaultCapacity = 50'000;

    explicit EventLog(qsizetype capacity = kDefaultCapacity) : capacity_(capacity) {}

    // Events come in the order of their sequence numbers; the oldest is forgotten beyond the
    // capacity.
    void append(quint64 sequence, QString json);
    // Every event after `since`, in order, when the log still holds all of them; nothing when
    // some are gone or `since` is ahead of the log.
    std::optional<QList<QString>> after(quint64 since) const;

private:
    qsizetype capacity_;
    quint64 last_ = 0;
    std::deque<std::pair<quint64, QString>> events_;
};

} // namespace kelvos
