#include "WmfRecorder.h"

#include <QtEndian>
#include <algorithm>

namespace kelvos::chart {
namespace {

enum Function : quint16 {
    SetBkMode = 0x0102,
    SetTextAlign = 0x012E,
    SetTextColor = 0x0209,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SaveDC = 0x001E,
    RestoreDC = 0x0127,
    IntersectClipRect = 0x0416,
    SelectObject = 0x012D,
    DeleteObject = 0x01F0,
    CreatePenIndirect = 0x02FA,
    CreateBrushIndirect = 0x02FC,
    CreateFontIndirect = 0x02FB,
    Polygon = 0x0324,
    Polyline = 0x0325,
    Rectangle = 0x041B,
    ExtTextOut = 0x0A32,
    Eof = 0x0000,
};

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kUnitsPerInch = 96;
constexpr int kFaceNameBytes = 32;

qint16 coordinate(int v) {
    return qint16(std::clamp(v, -32768, 32767));
}

void put16(QByteArray& out, int v) {
    const quint16 le = qToLittleEndian(quint16(v));
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void put32(QByteArray& out, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

void putColor(QByteArray& out, QColor c) {
    out.append(char(c.red())).append(char(c.green())).append(char(c.blue())).append('\0');
}

} // namespace

// One record: its parameters are gathered, then the size in 16-bit words is put in front.
class WmfRecorder::Record {
public:
    explicit Record(quint16 function) : function_(function) {}
    Record& word(int v) {
        put16(params_, v);
        return *this;
    }
    Record& color(QColor c) {
        putColor(params_, c);
        return *this;
    }
    Record& bytes(const QByteArray& b) {
        params_.append(b);
        if (b.size() % 2)
            params_.append('\0');
        return *this;
    }
    Record& points(const QPolygon& p) {
        for (const QPoint& pt : p)
            word(coordinate(pt.x())).word(coordinate(pt.y()));
        return *this;
    }
    quint32 words() const { return 3 + quint32(params_.size() / 2); }
    void writeTo(QByteArray& out) const {
        put32(out, words());
        put16(out, function_);
        out.append(params_);
    }

private:
    quint16 function_;
    QByteArray params_;
};

void WmfRecorder::append(const Record& record) {
    record.writeTo(records_);
    maxRecordWords_ = std::max(maxRecordWords_, record.words());
}

int WmfRecorder::takeSlot() {
    const auto free = std::find(slots_.begin(), slots_.end(), false);
    if (free != slots_.end()) {
        *free = true;
        return int(free - slots_.begin());
    }
    slots_.push_back(true);
    return int(slots_.size() - 1);
}

int WmfRecorder::createPen(PenStyle style, int width, QColor color) {
    // LOGPEN16: style, width as a point (x used, y ignored), colour
    append(Record(CreatePenIndirect).word(style).word(std::max(0, width)).word(0).color(color));
    return takeSlot();
}

int WmfRecorder::createBrush(BrushStyle style, QColor color) {
    // LOGBRUSH16: style, colour, hatch
    append(Record(CreateBrushIndirect).word(style).color(color).word(0));
    return takeSlot();
}

int WmfRecorder::createFont(int height, int escapement, int weight, bool italic,
                            const QByteArray& face) {
    QByteArray name = face.left(kFaceNameBytes - 1);
    name.append(QByteArray(kFaceNameBytes - name.size(), '\0'));
    // LOGFONT16: height, width, escapement, orientation, weight, then eight one-byte fields
    // (italic, underline, strike-out, charset, precisions, quality, pitch and family), face
    QByteArray flags(8, '\0');
    flags[0] = italic ? 1 : 0;
    flags[3] = 1; // default charset
    append(Record(CreateFontIndirect)
               .word(height)
               .word(0)
               .word(escapement)
               .word(escapement)
               .word(weight)
               .bytes(flags)
               .bytes(name));
    return takeSlot();
}

void WmfRecorder::selectObject(int index) {
    append(Record(SelectObject).word(index));
}

void WmfRecorder::deleteObject(int index) {
    append(Record(DeleteObject).word(index));
    if (index >= 0 && index < int(slots_.size()))
        slots_[index] = false;
}

void WmfRecorder::setWindowOrg(int x, int y) {
    append(Record(SetWindowOrg).word(coordinate(y)).word(coordinate(x)));
}

void WmfRecorder::setWindowExt(int width, int height) {
    append(Record(SetWindowExt).word(coordinate(height)).word(coordinate(width)));
}

void WmfRecorder::setBkMode(int mode) {
    append(Record(SetBkMode).word(mode));
}

void WmfRecorder::setTextAlign(int mode) {
    append(Record(SetTextAlign).word(mode));
}

void WmfRecorder::setTextColor(QColor color) {
    append(Record(SetTextColor).color(color));
}

void WmfRecorder::saveDC() {
    append(Record(SaveDC));
}

void WmfRecorder::restoreDC() {
    append(Record(RestoreDC).word(-1));
}

void WmfRecorder::intersectClipRect(const QRect& r) {
    append(Record(IntersectClipRect)
               .word(coordinate(r.bottom() + 1))
               .word(coordinate(r.right() + 1))
               .word(coordinate(r.top()))
               .word(coordinate(r.left())));
}

void WmfRecorder::polyline(const QPolygon& points) {
    if (points.size() >= 2)
        append(Record(Polyline).word(int(points.size())).points(points));
}

void WmfRecorder::polygon(const QPolygon& points) {
    if (points.size() >= 3)
        append(Record(Polygon).word(int(points.size())).points(points));
}

void WmfRecorder::rectangle(int left, int top, int right, int bottom) {
    append(Record(Rectangle)
               .word(coordinate(bottom))
               .word(coordinate(right))
               .word(coordinate(top))
               .word(coordinate(left)));
}

void WmfRecorder::textOut(QPoint at, const QByteArray& text) {
    if (text.isEmpty())
        return;
    append(Record(ExtTextOut)
               .word(coordinate(at.y()))
               .word(coordinate(at.x()))
               .word(int(text.size()))
               .word(0)
               .bytes(text));
}

QByteArray WmfRecorder::placeableFile(int width, int height) const {
    QByteArray placeable;
    put32(placeable, kPlaceableKey);
    put16(placeable, 0); // handle, always 0 in a file
    put16(placeable, 0);
    put16(placeable, 0);
    put16(placeable, coordinate(width));
    put16(placeable, coordinate(height));
    put16(placeable, kUnitsPerInch);
    put32(placeable, 0);
    quint16 checksum = 0;
    for (int i = 0; i < placeable.size(); i += 2)
        checksum ^= qFromLittleEndian<quint16>(placeable.constData() + i);
    put16(placeable, checksum);

    QByteArray end;
    Record(Eof).writeTo(end);
    constexpr int kHeaderWords = 9;
    const quint32 fileWords = kHeaderWords + quint32((records_.size() + end.size()) / 2);

    QByteArray out = placeable;
    put16(out, 1); // metafile in memory
    put16(out, kHeaderWords);
    put16(out, 0x0300);
    put32(out, fileWords);
    put16(out, std::max<int>(1, int(slots_.size())));
    put32(out, maxRecordWords_);
    put16(out, 0);
    out.append(records_);
    out.append(end);
    return out;
}

} // namespace kelvos::chart
