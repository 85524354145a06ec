#include "RemoteAccess.h"

#include <QRandomGenerator>

namespace kelvos {

QByteArray newRemoteToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

bool tokenMatches(QByteArrayView expected, QByteArrayView given) {
    if (expected.isEmpty() || expected.size() != given.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < expected.size(); ++i)
        difference |= static_cast<unsigned char>(expected[i] ^ given[i]);
    return difference == 0;
}

RemotePressTime remotePressTime(std::optional<quint32> touched, quint32 previousPress,
                                quint32 arrived, quint32 now) {
    // Differences in 32-bit arithmetic stay right across a wrap of the clock.
    if (touched && qint32(*touched - previousPress) > 0 && qint32(now - *touched) >= 0)
        return {*touched, false};
    return {arrived, true};
}

} // namespace kelvos
