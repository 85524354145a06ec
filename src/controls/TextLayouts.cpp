#include "TextLayouts.h"

#include <QHash>
#include <algorithm>

namespace kelvos {

namespace {
constexpr qsizetype kMostKept = 512;
} // namespace

const QStaticText& TextLayouts::of(const QFont& font, const QString& text) {
    thread_local QHash<QString, QStaticText> layouts;
    // A font's key is a long string built anew at each call; the font rarely changes.
    thread_local QFont keyedFont;
    thread_local QString fontKey = keyedFont.key();
    if (!(font == keyedFont)) {
        keyedFont = font;
        fontKey = font.key();
    }
    const QString key = fontKey + QChar(0) + text;
    if (const auto found = layouts.constFind(key); found != layouts.constEnd())
        return *found;
    if (layouts.size() >= kMostKept)
        layouts.clear();
    QStaticText layout(text);
    layout.setTextFormat(Qt::PlainText);
    layout.prepare(QTransform(), font);
    return *layouts.insert(key, layout);
}

bool TextLayouts::plainLine(const QString& text) {
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x20; });
}

qreal TextLayouts::alignedLeft(const QRectF& box, qreal width, Qt::Alignment horizontal) {
    if (horizontal & Qt::AlignRight)
        return box.right() + 1 - width;
    if (horizontal & Qt::AlignHCenter)
        return box.left() + (box.width() - width) / 2;
    return box.left();
}

} // namespace kelvos
