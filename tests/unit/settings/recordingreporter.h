#pragma once

#include "SettingsErrorReporter.h"

#include <QStringList>

// Keeps every reported message for the test to check.
class RecordingReporter : public kelvos::SettingsErrorReporter {
public:
    void report(const QString& message) override { messages.append(message); }
    QStringList messages;
};
