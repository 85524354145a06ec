// Reading comma text never crashes, and writing cells then reading them back restores them.
#include "CommaText.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

namespace {

// Separates the cells of the round-trip part of an input; any other code unit is cell text.
constexpr QChar cellSeparator = QChar(0xE000);

QStringList cellsFrom(const uint8_t* data, size_t size) {
    const QString text(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    return text.split(cellSeparator);
}

// What reading gives back: the cells, except that an empty last cell after a comma is dropped.
QStringList expectedAfterRoundTrip(QStringList cells) {
    if (cells.size() >= 2 && cells.last().isEmpty())
        cells.removeLast();
    return cells;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kelvos::readCommaText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));

    const QStringList cells = cellsFrom(data, size);
    if (kelvos::readCommaText(kelvos::writeCommaText(cells)) != expectedAfterRoundTrip(cells))
        std::abort();
    return 0;
}
