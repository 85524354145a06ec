#pragma once

#include "IniDocument.h"

#include <QString>
#include <optional>

namespace kelvos {

// Where and how the run is shared through a broker: the [Live] keys of the settings file.
struct MqttSettings {
    QString host;
    int port = 1883;
    bool tls = false;
    QString user;
    QString password;
    QString prefix = QStringLiteral("kelvos");
    QString station;
    bool commands = false; // commands from the broker are carried out

    QString eventsTopic() const { return topic(QStringLiteral("events")); }
    QString runTopic() const { return topic(QStringLiteral("run")); }
    QString commandTopic() const { return topic(QStringLiteral("command")); }
    // Every station's retained run under the prefix.
    QString boardTopic() const { return prefix + QStringLiteral("/+/run"); }
    // The station whose run a topic of boardTopic() is; none for any other topic.
    std::optional<QString> stationOfRunTopic(QStringView topic) const;

private:
    QString topic(const QString& leaf) const;
};

struct MqttSettingsRead {
    std::optional<MqttSettings> settings; // none: no broker (or an address that is not one)
    QString problem;                      // why the address given was not taken
};

// `hostName` is the station's name when the file names none.
MqttSettingsRead mqttSettingsFrom(const IniDocument& document, const QString& hostName);

} // namespace kelvos
