#pragma once

#include <QString>

namespace kelvos {

// Receives every error message of the settings store. The program shows each one as a
// modal error box; tests record them.
class SettingsErrorReporter {
public:
    virtual ~SettingsErrorReporter();
    virtual void report(const QString& message) = 0;
};

} // namespace kelvos
