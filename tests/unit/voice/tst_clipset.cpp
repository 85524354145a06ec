#include "ClipScript.h"

#include <QDir>
#include <QFile>
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
        QVERIFY(loudestSample(wav.samples) > 8000);
    }
};

QTEST_GUILESS_MAIN(TestClipSet)
#include "tst_clipset.moc"
