#pragma once

#include <QByteArray>
#include <QColor>
#include <QPolygon>
#include <QRect>
#include <vector>

namespace kelvos::chart {

// Writes the records of an old-style Windows metafile and wraps them in a placeable file: the
// 22-byte placeable header, the standard header, the records and the end record. Objects take
// the lowest free slot of the object table, as a player assigns them.
class WmfRecorder {
public:
    enum PenStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, NullPen = 5 };
    enum BrushStyle { SolidBrush = 0, NullBrush = 1 };
    static constexpr int kTransparent = 1;
    static constexpr int kAlignBaseline = 24;

    int createPen(PenStyle style, int width, QColor color);
    int createBrush(BrushStyle style, QColor color);
    // height in logical units (negative: character height), escapement in tenths of a degree
    int createFont(int height, int escapement, int weight, bool italic, const QByteArray& face);
    void selectObject(int index);
    void deleteObject(int index);

    void setWindowOrg(int x, int y);
    void setWindowExt(int width, int height);
    void setBkMode(int mode);
    void setTextAlign(int mode);
    void setTextColor(QColor color);
    void saveDC();
    void restoreDC();
    void intersectClipRect(const QRect& r);

    void polyline(const QPolygon& points);
    void polygon(const QPolygon& points);
    // left, top, right and bottom bound the rectangle; right and bottom are exclusive
    void rectangle(int left, int top, int right, int bottom);
    void textOut(QPoint at, const QByteArray& text);

    // The whole file for a picture of width x height logical units at 96 units per inch.
    QByteArray placeableFile(int width, int height) const;

private:
    class Record;
    void append(const Record& record);
    int takeSlot();

    QByteArray records_;
    quint32 maxRecordWords_ = 3;
    std::vector<bool> slots_;
};

} // namespace kelvos::chart
