#pragma once

#include <QByteArray>
#include <deque>
#include <functional>
#include <optional>

namespace kelvos {

// The messages the broker has not acknowledged yet, in the order they happened. A message
// leaves only on its acknowledgement; a new connection sends again all that are left, so none
// is lost across a reconnect and none overtakes an earlier one. Not thread-safe: its owner
// locks it.
class MqttOutbox {
public:
    // The broker's message id of a message handed to the connection; none when the
    // connection took it not.
    using Send = std::function<std::optional<int>(const QByteArray& payload)>;

    void add(QByteArray payload) { messages_.push_back({std::move(payload), kUnsent}); }
    // Hands over, in order, the messages not yet sent on this connection, until one is not
    // taken or `inFlight` wait for their acknowledgement.
    void sendUnsent(const Send& send, std::size_t inFlight);
    void acknowledged(int messageId);
    // A new connection knows nothing of the ids of the one before.
    void resendAll();
    bool empty() const { return messages_.empty(); }
    std::size_t size() const { return messages_.size(); }

private:
    static constexpr int kUnsent = 0; // the broker's ids start at 1
    struct Message {
        QByteArray payload;
        int id;
    };
    std::deque<Message> messages_;
    std::size_t sent_ = 0; // messages handed to this connection, not yet acknowledged
};

} // namespace kelvos
