#pragma once

#include <QString>
#include <functional>

namespace kelvos {

// The name itself when it is free, else the first free one of the name with "-2", "-3", …
// before its extension ("2612081234M.csv", "2612081234M-2.csv", …).
QString freeFileName(const QString& name, const std::function<bool(const QString&)>& taken);

} // namespace kelvos
