#include "MqttSettings.h"

namespace kelvos {

namespace {

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;

QString valueOf(const IniDocument& document, QStringView key, const QString& fallback = {}) {
    const QString value = document.value(u"Live", key).value_or(QString()).trimmed();
    return value.isEmpty() ? fallback : value;
}

bool switchedOn(const IniDocument& document, QStringView key) {
    return valueOf(document, key) == QLatin1String("1");
}

// "host", "host:port" or "[v6 address]:port"; false when the port is not one.
bool takeAddress(const QString& address, MqttSettings& settings) {
    const qsizetype colon = address.lastIndexOf(':');
    const bool bracketed = address.startsWith('[');
    const bool hasPort = colon > 0 && (!bracketed || address.at(colon - 1) == ']');
    QString host = hasPort ? address.left(colon) : address;
    if (bracketed && host.endsWith(']'))
        host = host.mid(1, host.size() - 2);
    settings.host = host;
    if (!hasPort)
        return !host.isEmpty() && !host.contains(':');
    bool number = false;
    settings.port = address.mid(colon + 1).toInt(&number);
    return number && settings.port > 0 && settings.port <= 65535 && !host.isEmpty();
}

} // namespace

QString MqttSettings::topic(const QString& leaf) const {
    return prefix + '/' + station + '/' + leaf;
}

std::optional<QString> MqttSettings::stationOfRunTopic(QStringView topic) const {
    static constexpr QStringView kRunLeaf = u"/run";
    // "<prefix>/" at least one character, then "/run"
    if (topic.size() <= prefix.size() + 1 + kRunLeaf.size() || !topic.startsWith(prefix) ||
        topic.at(prefix.size()) != '/' || !topic.endsWith(kRunLeaf))
        return std::nullopt;
    const QStringView station =
        topic.sliced(prefix.size() + 1, topic.size() - prefix.size() - 1 - kRunLeaf.size());
    if (station.contains('/'))
        return std::nullopt;
    return station.toString();
}

MqttSettingsRead mqttSettingsFrom(const IniDocument& document, const QString& hostName) {
    const QString address = valueOf(document, u"Broker");
    if (address.isEmpty())
        return {};
    MqttSettings settings;
    settings.tls = switchedOn(document, u"BrokerTls");
    settings.port = settings.tls ? kTlsPort : kPlainPort;
    if (!takeAddress(address, settings))
        return {std::nullopt, QString("The broker address \"%1\" is not host:port; the run is "
                                      "not shared through a broker.")
                                  .arg(address)};
    settings.user = valueOf(document, u"BrokerUser");
    settings.password = document.value(u"Live", u"BrokerPassword").value_or(QString());
    QString prefix = valueOf(document, u"Topics", settings.prefix);
    while (prefix.endsWith('/'))
        prefix.chop(1);
    settings.prefix = prefix.isEmpty() ? settings.prefix : prefix;
    settings.station = valueOf(document, u"Station", hostName);
    settings.commands = switchedOn(document, u"BrokerCommands");
    return {settings, {}};
}

} // namespace kelvos
