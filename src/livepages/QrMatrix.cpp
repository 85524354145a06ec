#include "QrMatrix.h"

#include <memory>
#include <qrencode.h>

namespace kelvos {

QrMatrix QrMatrix::encode(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    // Level M: a phone still reads the code from a screen that shines or is partly covered.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    QrMatrix matrix;
    if (!code)
        return matrix;
    matrix.size_ = code->width;
    matrix.modules_.reserve(std::size_t(code->width) * std::size_t(code->width));
    for (int i = 0; i < code->width * code->width; ++i)
        matrix.modules_.push_back((code->data[i] & 1) != 0); // bit 0 of each byte: dark
    return matrix;
}

} // namespace kelvos
