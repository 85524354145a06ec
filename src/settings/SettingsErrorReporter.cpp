#include "SettingsErrorReporter.h"

namespace kelvos {

SettingsErrorReporter::~SettingsErrorReporter() = default;

} // namespace kelvos
