#pragma once

#include <QString>
#include <QtGlobal>
#include <span>

namespace kelvos {

// How loud the two lanes of the output sound, in percent of the clips' own level: 100 plays
// them as rendered, 50 at half their amplitude (6 dB quieter), 0 silences the lane.
struct SoundLevels {
    static constexpr int kFull = 100;
    int voice = kFull;
    int tones = kFull;

    bool operator==(const SoundLevels&) const = default;
};

// A level as the settings file holds it: a whole number of percent, held to 0..100. Anything
// else gives the full level, so a damaged file never silences the watch.
int soundLevelFromText(const QString& text);

// Adds the voice and the tones into `out`, sample by sample, each scaled by its level; a sum
// beyond the 16-bit range is clipped to its limit. The three spans have the same length.
void mixInto(std::span<qint16> out, std::span<const qint16> voice, std::span<const qint16> tones,
             SoundLevels levels);

} // namespace kelvos
