#pragma once

#include "LiveServer.h"

#include <optional>

namespace kelvos {

class IniDocument;

// The server's options from the settings file's [Live] section (Port, Share, Remote,
// RemoteStartStop, MaxViewers), a value that is missing or no valid number taking its default;
// a port given on the command line wins over the file's.
LiveServer::Options liveOptions(const IniDocument& settings, std::optional<quint16> portArgument);

} // namespace kelvos
