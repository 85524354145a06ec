// Feeds arbitrary bytes to the component stream reader. Whatever it accepts must be written
// back into a stream that it accepts again.
#include "ComponentStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto component = kelvos::readComponentStream(bytes);
    if (component && !kelvos::readComponentStream(kelvos::writeComponentStream(*component)))
        std::abort();
    return 0;
}
