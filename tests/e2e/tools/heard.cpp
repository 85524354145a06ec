// Finds what a read-out put into a recording of the sound output (raw 16-bit mono at the clip
// rate), clip by clip, from the samples of the clips as the player plays them.
// Usage:
//   heard words <count> <lap ms> <total ms>
//       the clips of the lap read-out of these figures, one a line
//   heard sequence <recording> <clip dir> <from sample> <clip>...
//       where the clips sound one after another, the first anywhere from `from` on, each other
//       within kLongestGap of the one before (a signal tone may lie over a part of a clip);
//       prints "clip start gap_ms" a line, the gap after the clip before, and fails when they
//       are not found so
//   heard tone <recording> <clip dir> <from sample> <to sample> <clip>
//       where the clip sounds between the two, mixed over whatever else sounds; prints its start
#include "ClipBank.h"
#include "ClipScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace kelvos;

namespace {
constexpr qint64 kLongestGap = kClipRate * 600 / 1000;
// A clip counts as found where this share of its samples is exactly in the recording: a tone
// mixed over it changes the rest.
constexpr double kMatchedShare = 0.6;

class Words final : public clips::ReadOutSink {
public:
    void play(const QString& clip) override { std::printf("%s\n", qPrintable(clip)); }
    void pause(int) override {}
};

int fail(const char* format, const char* what) {
    std::fprintf(stderr, format, what);
    std::fprintf(stderr, "\n");
    return 1;
}

std::vector<qint16> readRecording(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<qint16> samples(size_t(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

ClipBank bankOf(const char* folder) {
    const QDir dir(QString::fromLocal8Bit(folder));
    return ClipBank(
        [dir](const QString& name) { return dir.filePath(name); },
        [](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
}

// Whether kMatchedShare of the samples in [begin, end) of the clip are exactly in the recording
// from `at` + begin on; a few probes first, so that most places are passed over at once.
bool partLiesAt(const std::vector<qint16>& rec, const ClipSamples& clip, qint64 at, qint64 begin,
                qint64 end) {
    if (at < 0 || at + end > qint64(rec.size()))
        return false;
    const qint64 length = end - begin;
    int probesMatched = 0;
    for (int probe = 0; probe < 16; ++probe) {
        const qint64 i = begin + length * probe / 16;
        probesMatched += rec[size_t(at + i)] == clip[size_t(i)];
    }
    if (probesMatched < 16 * kMatchedShare - 4)
        return false;
    qint64 matched = 0;
    for (qint64 i = begin; i < end; ++i)
        matched += rec[size_t(at + i)] == clip[size_t(i)];
    return matched >= length * kMatchedShare;
}

// Whether the clip lies at `at`, judged by either half: a tone mixed over a part of it, or a few
// samples the recorder dropped on a busy machine, spoil the other half only.
bool liesAt(const std::vector<qint16>& rec, const ClipSamples& clip, qint64 at) {
    const qint64 length = qint64(clip.size());
    return partLiesAt(rec, clip, at, 0, length / 2) ||
           partLiesAt(rec, clip, at, length / 2, length);
}

// The earliest place in [from, to) where the clip lies; -1 when there is none.
qint64 find(const std::vector<qint16>& rec, const ClipSamples& clip, qint64 from, qint64 to) {
    for (qint64 at = from; at < std::min(to, qint64(rec.size())); ++at)
        if (liesAt(rec, clip, at))
            return at;
    return -1;
}

// The first clip is looked for anywhere from `from` on; where the others do not follow it, at
// its next place.
int sequence(int argc, char** argv) {
    const auto rec = readRecording(argv[2]);
    ClipBank bank = bankOf(argv[3]);
    std::vector<std::shared_ptr<const ClipSamples>> clips;
    for (int i = 5; i < argc; ++i) {
        clips.push_back(bank.clip(QString::fromLocal8Bit(argv[i])));
        if (!clips.back())
            return fail("no clip %s", argv[i]);
    }
    for (qint64 first = find(rec, *clips[0], std::atoll(argv[4]), qint64(rec.size())); first >= 0;
         first = find(rec, *clips[0], first + 1, qint64(rec.size()))) {
        QStringList lines{QString("%1 %2 0.0").arg(argv[5]).arg(first)};
        qint64 end = first + qint64(clips[0]->size());
        size_t next = 1;
        for (; next < clips.size(); ++next) {
            const qint64 at = find(rec, *clips[next], end, end + kLongestGap);
            if (at < 0)
                break;
            lines << QString("%1 %2 %3")
                         .arg(argv[5 + next])
                         .arg(at)
                         .arg(double(at - end) * 1000 / kClipRate, 0, 'f', 1);
            end = at + qint64(clips[next]->size());
        }
        if (next == clips.size()) {
            std::printf("%s\n", qPrintable(lines.join('\n')));
            return 0;
        }
    }
    return fail("%s and the clips after it not found in order", argv[5]);
}

// Normalised correlation of the start of the clip (past its fade) with the recording at `at`:
// about 1 where the clip sounds (whatever is mixed with it, being unrelated, adds little), about
// 0 elsewhere.
double correlationAt(const std::vector<qint16>& rec, const ClipSamples& clip, qint64 at) {
    constexpr size_t kSkip = 100, kSpan = 2048;
    double product = 0, energy = 0;
    for (size_t i = kSkip; i < std::min(clip.size(), kSkip + kSpan); ++i) {
        product += double(rec[size_t(at) + i]) * clip[i];
        energy += double(clip[i]) * clip[i];
    }
    return energy > 0 ? product / energy : 0;
}

int tone(char** argv) {
    const auto rec = readRecording(argv[2]);
    ClipBank bank = bankOf(argv[3]);
    const auto clip = bank.clip(QString::fromLocal8Bit(argv[6]));
    if (!clip)
        return fail("no clip %s", argv[6]);
    const qint64 from = std::atoll(argv[4]);
    const qint64 to = std::min(std::atoll(argv[5]), qint64(rec.size()) - qint64(clip->size()));
    for (qint64 at = from; at < to; ++at)
        if (const double c = correlationAt(rec, *clip, at); c > 0.8 && c < 1.25) {
            std::printf("%s %lld\n", argv[6], static_cast<long long>(at));
            return 0;
        }
    return fail("%s not heard", argv[6]);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == "words" && argc == 5) {
        Words words;
        const qint32 count = std::atoi(argv[2]), time = std::atoi(argv[3]),
                     total = std::atoi(argv[4]);
        clips::sayLapReadOut({[count] { return count; }, [time] { return time; },
                              [total] { return total; }, [] { return false; }},
                             words);
        return 0;
    }
    if (mode == "sequence" && argc > 5)
        return sequence(argc, argv);
    if (mode == "tone" && argc == 7)
        return tone(argv);
    std::fprintf(stderr, "usage: see the head of heard.cpp\n");
    return 2;
}
