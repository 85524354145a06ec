#include "TChart.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <map>
#include <set>

namespace {

// What a reader of our own finds in a placeable metafile: the header fields and, per record,
// its function and parameter words.
struct Metafile {
    QString problem; // empty when the file is well formed
    int bboxRight = 0, bboxBottom = 0;
    std::vector<std::pair<quint16, QByteArray>> records;
    std::set<QRgb> penColours, brushColours;
    std::multiset<int> polylinePoints;
};

quint16 word(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 dword(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
QRgb colourAt(const QByteArray& b, int at) {
    return qRgb(quint8(b[at]), quint8(b[at + 1]), quint8(b[at + 2]));
}

// Plays the object records as a player would: a created object takes the lowest free slot, a
// selection or deletion names a live object, a selected object is never deleted, and what a
// restored device context selects again is still alive.
QString objectUseProblem(const std::vector<std::pair<quint16, QByteArray>>& records) {
    enum Kind { None, Pen, Brush, Font };
    std::vector<Kind> table;
    std::map<Kind, int> selected;
    std::vector<std::map<Kind, int>> savedContexts;
    const auto live = [&](int slot) {
        return slot >= 0 && slot < int(table.size()) && table[slot];
    };
    for (const auto& [function, params] : records) {
        const Kind created = function == 0x02FA   ? Pen
                             : function == 0x02FC ? Brush
                             : function == 0x02FB ? Font
                                                  : None;
        if (created != None) {
            auto free = std::find(table.begin(), table.end(), None);
            if (free == table.end())
                free = table.insert(table.end(), None);
            *free = created;
        } else if (function == 0x012D) {
            const int slot = word(params, 0);
            if (!live(slot))
                return QString("selects dead object %1").arg(slot);
            selected[table[slot]] = slot;
        } else if (function == 0x01F0) {
            const int slot = word(params, 0);
            if (!live(slot))
                return QString("deletes dead object %1").arg(slot);
            const auto sel = selected.find(table[slot]);
            if (sel != selected.end() && sel->second == slot)
                return QString("deletes selected object %1").arg(slot);
            table[slot] = None;
        } else if (function == 0x001E) {
            savedContexts.push_back(selected);
        } else if (function == 0x0127) {
            if (savedContexts.empty())
                return "restores an unsaved context";
            selected = savedContexts.back();
            savedContexts.pop_back();
            for (const auto& [kind, slot] : selected)
                if (!live(slot) || table[slot] != kind)
                    return QString("restored selection of dead object %1").arg(slot);
        }
    }
    return savedContexts.empty() ? QString() : "context saved and never restored";
}

Metafile readMetafile(const QByteArray& file) {
    Metafile m;
    const auto fail = [&](const QString& why) {
        m.problem = why;
        return m;
    };
    if (file.size() < 22 + 18 + 6)
        return fail("too short");
    if (dword(file, 0) != 0x9AC6CDD7u || word(file, 4) != 0 || word(file, 6) != 0 ||
        word(file, 8) != 0 || word(file, 14) != 96 || dword(file, 16) != 0)
        return fail("placeable header");
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= word(file, i);
    if (checksum != word(file, 20))
        return fail("checksum");
    m.bboxRight = qint16(word(file, 10));
    m.bboxBottom = qint16(word(file, 12));
    const int h = 22;
    if (word(file, h) != 1 || word(file, h + 2) != 9 || word(file, h + 4) != 0x0300)
        return fail("standard header");
    if (dword(file, h + 6) * 2 != quint32(file.size() - h))
        return fail("file size in header");
    const int objects = word(file, h + 10);
    const quint32 maxRecord = dword(file, h + 12);
    int at = h + 18;
    quint32 largest = 0;
    int highestObject = -1;
    while (at + 6 <= file.size()) {
        const quint32 words = dword(file, at);
        const quint16 function = word(file, at + 4);
        if (words < 3 || at + qint64(words) * 2 > file.size())
            return fail(QString("record size at %1").arg(at));
        largest = std::max(largest, words);
        const QByteArray params = file.mid(at + 6, int(words * 2 - 6));
        m.records.emplace_back(function, params);
        if (function == 0x02FA)
            m.penColours.insert(colourAt(params, 6));
        if (function == 0x02FC)
            m.brushColours.insert(colourAt(params, 2));
        if (function == 0x0325)
            m.polylinePoints.insert(word(params, 0));
        if (function == 0x012D || function == 0x01F0)
            highestObject = std::max<int>(highestObject, word(params, 0));
        at += int(words * 2);
        if (function == 0x0000)
            break;
    }
    if (m.records.empty() || m.records.back().first != 0 || at != file.size())
        return fail("no end record at the end");
    if (largest > maxRecord)
        return fail("largest record");
    if (objects < highestObject + 1)
        return fail("object count");
    m.problem = objectUseProblem(m.records);
    return m;
}

} // namespace

class ChartMetafileTest : public QObject {
    Q_OBJECT
private:
    static constexpr int kPoints = 12;
    std::unique_ptr<TChart> chart_;

private slots:
    void init() {
        chart_ = std::make_unique<TChart>();
        chart_->resize(998, 316);
        for (int i = 0; i < kPoints; ++i) {
            chart_->appendPoint(0, 60000 + (i * 7919) % 5000);
            chart_->appendPoint(1, 61000 + i * 20);
        }
    }
    void cleanup() { chart_.reset(); }

    void wellFormed_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("view3D");
        QTest::addColumn<bool>("marks");
        QTest::newRow("lap chart size") << QSize(998, 316) << false << false;
        QTest::newRow("3D with marks") << QSize(998, 316) << true << true;
        QTest::newRow("one pixel: one unit") << QSize(1, 1) << false << false;
    }
    void wellFormed() {
        QFETCH(QSize, size);
        QFETCH(bool, view3D);
        QFETCH(bool, marks);
        chart_->resize(size);
        chart_->setView3D(view3D);
        chart_->setMarksVisible(marks);
        const Metafile m = readMetafile(chart_->metafile());
        QVERIFY2(m.problem.isEmpty(), qPrintable(m.problem));
        QCOMPARE(m.bboxRight, std::max(1, size.width() - 1));
        QCOMPARE(m.bboxBottom, std::max(1, size.height() - 1));
    }

    void carriesTheSeries() {
        chart_->setView3D(true); // the walls are polygons
        const Metafile m = readMetafile(chart_->metafile());
        QVERIFY2(m.problem.isEmpty(), qPrintable(m.problem));
        QVERIFY(m.penColours.count(qRgb(0, 255, 128)));
        QVERIFY(m.penColours.count(qRgb(255, 0, 0)));
        QVERIFY(m.brushColours.count(qRgb(176, 255, 216)));
        QVERIFY(m.brushColours.count(qRgb(255, 0, 128)));
        QCOMPARE(int(m.polylinePoints.count(kPoints)), 1); // the lap-time line; averages have none
        std::set<quint16> kinds;
        for (const auto& r : m.records)
            kinds.insert(r.first);
        for (quint16 kind : {0x020B, 0x020C, 0x0102, 0x02FB, 0x041B, 0x0324, 0x0A32, 0x0209})
            QVERIFY2(kinds.count(kind), qPrintable(QString::number(kind, 16)));
    }

    // Another program reads the file: wmf2svg lists its records and converts it.
    void readByWmf2svg() {
        const QString tool = QStandardPaths::findExecutable("wmf2svg");
        if (tool.isEmpty())
            QSKIP("wmf2svg (libwmf-bin) is not installed");
        chart_->setView3D(true);
        QTemporaryDir dir;
        const QString wmf = dir.filePath("chart.wmf"), svg = dir.filePath("chart.svg");
        QFile file(wmf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(chart_->metafile());
        file.close();

        QProcess diagnostics;
        diagnostics.setProcessChannelMode(QProcess::MergedChannels);
        diagnostics.start(tool, {"--wmf-diagnostics", "-o", svg, wmf});
        QVERIFY(diagnostics.waitForFinished(60000));
        QCOMPARE(diagnostics.exitCode(), 0);
        const QString listing = QString::fromLatin1(diagnostics.readAll());
        std::map<QString, int> kinds;
        int seriesLines = 0;
        static const QRegularExpression record(R"(New Record: (\w+)\s.*#par=(\d+))");
        for (auto it = record.globalMatch(listing); it.hasNext();) {
            const auto match = it.next();
            ++kinds[match.captured(1)];
            if (match.captured(1) == "POLYLINE" && match.captured(2).toInt() == 1 + 2 * kPoints)
                ++seriesLines;
        }
        QCOMPARE(seriesLines, 1);
        for (const char* kind : {"RECTANGLE", "POLYGON", "EXTTEXTOUT", "CREATEFONTINDIRECT"})
            QVERIFY2(kinds[kind] > 0, kind);

        QProcess convert;
        convert.start(tool, {"-o", svg, wmf});
        QVERIFY(convert.waitForFinished(60000));
        QCOMPARE(convert.exitCode(), 0);
        QFile out(svg);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.readAll().count("<polyline") > 0);
    }
};

QTEST_MAIN(ChartMetafileTest)
#include "tst_chartmetafile.moc"
