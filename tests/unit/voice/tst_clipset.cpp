#include "ClipScript.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cstdlib>

namespace {
struct Wav {
    quint16 format = 0, channels = 0, bits = 0;
    quint32 rate = 0;
    QByteArray samples;
};

// Reads the chunks of a RIFF WAVE file; empty fields when it is not one.
Wav readWav(const QByteArray& bytes) {
    Wav wav;
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wav;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const char* body = bytes.constData() + at + 8;
        if (id == "fmt " && size >= 16) {
            wav.format = qFromLittleEndian<quint16>(body);
            wav.channels = qFromLittleEndian<quint16>(body + 2);
            wav.rate = qFromLittleEndian<quint32>(body + 4);
            wav.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            wav.samples = bytes.mid(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

int loudestSample(const QByteArray& samples) {
    int loudest = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        loudest =
            std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    return loudest;
}
qint16 sampleAt(const QByteArray& samples, qsizetype index) {
    return qFromLittleEndian<qint16>(samples.constData() + 2 * index);
}

// The clip's integrated loudness (EBU R128) in LUFS, measured by ffmpeg on the clip repeated,
// since one clip is shorter than the measure's 400 ms blocks.
double loudnessOf(const QString& clip, const QString& scratch) {
    const QString repeated = QDir(scratch).filePath("repeated.wav");
    if (QProcess::execute("sox", {clip, repeated, "repeat", "40"}) != 0)
        return 0;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-hide_banner", "-nostats", "-i", repeated, "-af",
                            "loudnorm=print_format=json", "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(60'000))
        return 0;
    const auto match = QRegularExpression(QStringLiteral("\"input_i\" : \"(-?[0-9.]+)\""))
                           .match(QString::fromUtf8(ffmpeg.readAllStandardError()));
    return match.hasMatch() ? match.captured(1).toDouble() : 0;
}

const QStringList kTones{"pi.wav", "pa.wav", "po.wav", "pipi.wav", "goo.wav"};
constexpr double kVoiceLufs = -21;
constexpr double kToneLufs = -24;
} // namespace

// The rendered clip set holds every clip the read-outs can play, each in the one format the
// player opens its device for, and each with sound in it.
class TestClipSet : public QObject {
    Q_OBJECT
private slots:
    void everyClipIsRendered_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : kelvos::clips::everyClipName())
            QTest::newRow(qPrintable(name)) << name;
    }
    void everyClipIsRendered() {
        QFETCH(QString, name);
        QFile file(QDir(KELVOS_CLIPS_DIR).filePath(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        const Wav wav = readWav(file.readAll());
        QCOMPARE(wav.format, quint16(1)); // PCM
        QCOMPARE(wav.channels, quint16(1));
        QCOMPARE(wav.rate, quint32(22050));
        QCOMPARE(wav.bits, quint16(16));
        QVERIFY(wav.samples.size() >= 22050 / 50 * 2); // at least 20 ms
        QVERIFY(loudestSample(wav.samples) > 2000);
        // No clip starts or ends with a jump, which would click.
        const qsizetype last = wav.samples.size() / 2 - 1;
        for (const qsizetype at : {qsizetype(0), qsizetype(1), last - 1, last})
            QVERIFY2(std::abs(sampleAt(wav.samples, at)) <= 16,
                     qPrintable(QString("sample %1 is %2").arg(at).arg(sampleAt(wav.samples, at))));
    }

    // Every word sounds equally loud, and every tone, a little below the words it sounds over.
    void everyClipHasItsLoudness_data() { everyClipIsRendered_data(); }
    void everyClipHasItsLoudness() {
        QFETCH(QString, name);
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const double level = kTones.contains(name) ? kToneLufs : kVoiceLufs;
        const double loudness = loudnessOf(QDir(KELVOS_CLIPS_DIR).filePath(name), scratch.path());
        QVERIFY2(std::abs(loudness - level) <= 1.0,
                 qPrintable(QString("%1 LUFS, not %2").arg(loudness).arg(level)));
    }
};

QTEST_GUILESS_MAIN(TestClipSet)
#include "tst_clipset.moc"
