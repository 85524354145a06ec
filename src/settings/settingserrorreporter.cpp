#include "settingserrorreporter.h"

namespace kelvos {

SettingsErrorReporter::~SettingsErrorReporter() = default;

} // namespace kelvos
