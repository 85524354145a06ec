// Feeds arbitrary bytes to the CSV decoding, line splitting and loading. No line holds a CR,
// an LF only where CRs end the lines, and the store ends with a row per line plus the header.
#include "CsvFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = kelvos::decodeCsvBytes(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const bool crEndsLines = text.contains(u'\r');
    const QList<QStringView> lines = kelvos::csvLines(text);
    for (QStringView line : lines) {
        if (line.contains(u'\r') || (!crEndsLines && line.contains(u'\n')))
            std::abort();
    }
    kelvos::CellStore store(12, 10);
    const int rows = kelvos::loadCsvRows(store, text);
    if (rows != lines.size() || (rows > 0 && store.rowCount() != rows + 1))
        std::abort();
    return 0;
}
