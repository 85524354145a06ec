// Costs of the settings store on a file of realistic size: the INI text of the program's
// settings with the seven hotkey editors, parsed and searched, and a hotkey editor streamed.
#include "ComponentStream.h"
#include "IniDocument.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray settingsFile() {
    kelvos::IniDocument document;
    for (int i = 1; i <= 7; ++i) {
        const QString section = QStringLiteral("Form\\HotKey%1").arg(i);
        document.setValue(section, "prop_c", "4");
        for (int line = 0; line < 4; ++line)
            document.setValue(section, QStringLiteral("prop_d%1").arg(line), QString(64, u'A'));
    }
    for (int i = 1; i <= 12; ++i)
        document.setValue(QStringLiteral("Form\\CheckBox%1").arg(i), "Checked", "1");
    return document.toBytes();
}

kelvos::StreamedComponent hotKeyEditor() {
    kelvos::StreamedComponent editor{"THotKey", "HotKey1", {}, {}, {}, {}};
    editor.setProperty("Left", {qint64{300}});
    editor.setProperty("Top", {qint64{8}});
    editor.setProperty("Hint", {QString("start HotKey")});
    editor.setProperty("HotKey", {qint64{38}});
    editor.setProperty("Modifiers", {kelvos::StreamSet{}});
    return editor;
}

void parseAndLookUp(benchmark::State& state) {
    const QByteArray file = settingsFile();
    for (auto _ : state) {
        const auto document = kelvos::IniDocument::fromBytes(file);
        benchmark::DoNotOptimize(document.value(u"Form\\CheckBox12", u"Checked"));
    }
}
BENCHMARK(parseAndLookUp);

void streamRoundTrip(benchmark::State& state) {
    const kelvos::StreamedComponent editor = hotKeyEditor();
    for (auto _ : state)
        benchmark::DoNotOptimize(kelvos::readComponentStream(kelvos::writeComponentStream(editor)));
}
BENCHMARK(streamRoundTrip);

} // namespace

BENCHMARK_MAIN();
