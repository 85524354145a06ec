#pragma once

#include <QString>
#include <vector>

namespace kelvos {

// The modules of a QR code, for a widget to paint: a square of dark and light cells, without
// the quiet zone around it.
class QrMatrix {
public:
    // Empty when the text does not fit into a QR code.
    static QrMatrix encode(const QString& text);

    int size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    bool dark(int x, int y) const { return modules_[std::size_t(y * size_ + x)]; }

private:
    int size_ = 0;
    std::vector<bool> modules_;
};

} // namespace kelvos
