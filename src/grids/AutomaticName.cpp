#include "AutomaticName.h"

namespace kelvos {

QString freeFileName(const QString& name, const std::function<bool(const QString&)>& taken) {
    if (!taken(name))
        return name;
    const qsizetype dot = name.lastIndexOf('.');
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    for (int suffix = 2;; ++suffix) {
        const QString candidate = QStringLiteral("%1-%2%3").arg(stem).arg(suffix).arg(extension);
        if (!taken(candidate))
            return candidate;
    }
}

} // namespace kelvos
