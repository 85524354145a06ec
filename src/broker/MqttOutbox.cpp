#include "MqttOutbox.h"

#include <algorithm>

namespace kelvos {

void MqttOutbox::sendUnsent(const Send& send, std::size_t inFlight) {
    for (auto message = messages_.begin() + qsizetype(sent_);
         message != messages_.end() && sent_ < inFlight; ++message) {
        const std::optional<int> id = send(message->payload);
        if (!id)
            return;
        message->id = *id;
        ++sent_;
    }
}

void MqttOutbox::acknowledged(int messageId) {
    const auto found = std::find_if(messages_.begin(), messages_.end(),
                                    [messageId](const Message& m) { return m.id == messageId; });
    if (found == messages_.end())
        return;
    messages_.erase(found);
    --sent_;
}

void MqttOutbox::resendAll() {
    for (Message& message : messages_)
        message.id = kUnsent;
    sent_ = 0;
}

} // namespace kelvos
