// Feeds arbitrary bytes to the course list parser with small limits: the list never exceeds
// them, and a cut is always reported.
#include "CourseList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const kelvos::CourseFileLimits limits{.maxBytes = 4096, .maxEntries = 20, .maxEntryLength = 8};
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const kelvos::CourseList list = kelvos::courseListFromBytes(bytes, limits);
    if (list.entries.size() > limits.maxEntries)
        std::abort();
    for (const QString& entry : list.entries) {
        if (entry.size() > limits.maxEntryLength)
            std::abort();
    }
    const QStringList whole = kelvos::courseLinesFromBytes(bytes);
    if (list.problem.isEmpty() != (whole == list.entries))
        std::abort();
    return 0;
}
