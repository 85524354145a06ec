#include "SoundLevels.h"

#include <algorithm>
#include <limits>

namespace kelvos {

int soundLevelFromText(const QString& text) {
    bool number = false;
    const int level = text.trimmed().toInt(&number);
    return number ? std::clamp(level, 0, SoundLevels::kFull) : SoundLevels::kFull;
}

void mixInto(std::span<qint16> out, std::span<const qint16> voice, std::span<const qint16> tones,
             SoundLevels levels) {
    constexpr qint32 low = std::numeric_limits<qint16>::min();
    constexpr qint32 high = std::numeric_limits<qint16>::max();
    for (size_t i = 0; i < out.size(); ++i) {
        const qint32 sum = qint32(voice[i]) * levels.voice / SoundLevels::kFull +
                           qint32(tones[i]) * levels.tones / SoundLevels::kFull;
        out[i] = qint16(std::clamp(sum, low, high));
    }
}

} // namespace kelvos
