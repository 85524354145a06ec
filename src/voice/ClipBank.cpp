#include "ClipBank.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

namespace kelvos {

namespace {
constexpr int kFadeSamples = kClipRate * 4 / 1000; // 4 ms
constexpr qint64 kLongestClipSamples = qint64(kClipRate) * kLongestClipMs / 1000;
// Room for the header chunks besides the samples; a larger file is not read at all.
constexpr qint64 kLargestClipFile = kLongestClipSamples * 2 + 4096;

struct Format {
    quint16 encoding = 0, channels = 0, bits = 0;
    quint32 rate = 0;
};

// Scales the first and last samples up from and down to zero.
void fadeEnds(ClipSamples& samples) {
    const qsizetype fade = std::min<qsizetype>(kFadeSamples, qsizetype(samples.size()) / 2);
    for (qsizetype i = 0; i < fade; ++i) {
        const double gain = double(i) / fade;
        samples[i] = qint16(std::lround(samples[i] * gain));
        auto& last = samples[samples.size() - 1 - i];
        last = qint16(std::lround(last * gain));
    }
}
} // namespace

std::shared_ptr<const ClipSamples> decodeClip(const QByteArray& bytes, QString* problem) {
    const auto fail = [problem](const char* why) {
        *problem = QString::fromLatin1(why);
        return nullptr;
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail("not a WAV file");
    Format format;
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const char* body = bytes.constData() + at + 8;
        const qsizetype room = bytes.size() - at - 8;
        if (size > quint64(room))
            return fail("damaged: a chunk is longer than the file");
        if (id == "fmt " && size >= 16) {
            format = {qFromLittleEndian<quint16>(body), qFromLittleEndian<quint16>(body + 2),
                      qFromLittleEndian<quint16>(body + 14), qFromLittleEndian<quint32>(body + 4)};
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail("damaged: no format before the samples");
            if (format.encoding != 1 || format.channels != 1 || format.bits != 16 ||
                format.rate != quint32(kClipRate))
                return fail("not 16-bit mono PCM at 22050 Hz");
            if (size / 2 > quint64(kLongestClipSamples))
                return fail("longer than 3 seconds");
            if (size < 2)
                return fail("empty");
            auto samples = std::make_shared<ClipSamples>(size / 2);
            for (quint32 i = 0; i < size / 2; ++i)
                (*samples)[i] = qFromLittleEndian<qint16>(body + 2 * i);
            fadeEnds(*samples);
            return samples;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return fail("damaged: no samples");
}

ClipBank::ClipBank(std::function<QString(const QString&)> locate,
                   std::function<void(const QString&)> report)
    : locate_(std::move(locate)), report_(std::move(report)) {}

void ClipBank::load(const QStringList& names) {
    QStringList unusable;
    {
        std::lock_guard lock(mutex_);
        for (const QString& name : names)
            if (!clips_.contains(name))
                if (const QString why = loadOne(name); !why.isEmpty())
                    unusable << QStringLiteral("%1 (%2)").arg(name, why);
    }
    if (!unusable.isEmpty())
        report_(QStringLiteral("these voice clips sound as a beep: ") + unusable.join(", "));
}

std::shared_ptr<const ClipSamples> ClipBank::clip(const QString& name) {
    {
        std::lock_guard lock(mutex_);
        if (const auto found = clips_.constFind(name); found != clips_.constEnd())
            return *found;
    }
    load({name});
    std::lock_guard lock(mutex_);
    return clips_.value(name);
}

QString ClipBank::loadOne(const QString& name) {
    QFile file(locate_(name));
    clips_.insert(name, nullptr); // checked once, whatever the outcome
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("missing");
    if (file.size() > kLargestClipFile)
        return QStringLiteral("longer than 3 seconds");
    QString problem;
    auto samples = decodeClip(file.readAll(), &problem);
    if (!samples)
        return problem;
    clips_.insert(name, std::move(samples));
    return {};
}

} // namespace kelvos
