#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kelvos {

// The one format every clip is kept in and the output is opened for.
constexpr int kClipRate = 22050;
// The longest clip that is played: a longer one is taken for a mistake and becomes the beep,
// so that no clip can hold the voice, the memory or the closing of the window for long.
constexpr int kLongestClipMs = 3000;

using ClipSamples = std::vector<qint16>;

// The samples of a WAV file in the clip format (PCM, mono, 16-bit, 22050 Hz, at most
// kLongestClipMs long), with a short fade at both ends so that no clip starts or ends with a
// jump; null with the reason in `problem` when the bytes are not such a file.
std::shared_ptr<const ClipSamples> decodeClip(const QByteArray& bytes, QString* problem);

// Clips loaded and checked once, by name. A clip that cannot be used is named once, in one
// message for all of those checked together, and is answered with null from then on.
class ClipBank {
public:
    // `locate` gives the file of a clip name; `report` takes the message about unusable clips.
    ClipBank(std::function<QString(const QString&)> locate,
             std::function<void(const QString&)> report);

    // Checks the given clips now, reporting the unusable ones in one message.
    void load(const QStringList& names);
    // The clip's samples; a clip not checked yet is checked now.
    std::shared_ptr<const ClipSamples> clip(const QString& name);

private:
    QString loadOne(const QString& name); // empty, or the reason it cannot be used

    std::function<QString(const QString&)> locate_;
    std::function<void(const QString&)> report_;
    std::mutex mutex_;
    QHash<QString, std::shared_ptr<const ClipSamples>> clips_;
};

} // namespace kelvos
