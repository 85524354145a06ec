#include "EventLog.h"

#include <algorithm>

namespace kelvos {

void EventLog::append(quint64 sequence, QString json) {
    events_.emplace_back(sequence, std::move(json));
    last_ = sequence;
    while (qsizetype(events_.size()) > capacity_)
        events_.pop_front();
}

std::optional<QList<QString>> EventLog::after(quint64 since) const {
    if (since > last_)
        return std::nullopt;
    const auto first = std::upper_bound(
        events_.begin(), events_.end(), since,
        [](quint64 sequence, const auto& event) { return sequence < event.first; });
    // The event right after `since` must still be held (or there is none yet).
    const bool complete = first == events_.end() ? since == last_ : first->first == since + 1;
    if (!complete)
        return std::nullopt;
    QList<QString> missed;
    missed.reserve(events_.end() - first);
    for (auto it = first; it != events_.end(); ++it)
        missed.append(it->second);
    return missed;
}

} // namespace kelvos
