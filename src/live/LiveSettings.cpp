#include "LiveSettings.h"

#include "IniDocument.h"

namespace kelvos {

namespace {

// The number in the [Live] key, when it is one within [lowest, highest].
std::optional<int> liveNumber(const IniDocument& settings, QStringView key, int lowest,
                              int highest) {
    bool number = false;
    const int value = settings.value(u"Live", key).value_or(QString()).toInt(&number);
    if (!number || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

LiveServer::Options liveOptions(const IniDocument& settings, std::optional<quint16> portArgument) {
    LiveServer::Options options;
    options.port = portArgument.value_or(
        quint16(liveNumber(settings, u"Port", 0, 0xffff).value_or(options.port)));
    options.share = liveNumber(settings, u"Share", 0, 1).value_or(0) == 1;
    options.remote = liveNumber(settings, u"Remote", 0, 1).value_or(0) == 1;
    options.remoteStartStop = liveNumber(settings, u"RemoteStartStop", 0, 1).value_or(0) == 1;
    options.maxViewers =
        liveNumber(settings, u"MaxViewers", 1, 100'000).value_or(options.maxViewers);
    return options;
}

} // namespace kelvos
