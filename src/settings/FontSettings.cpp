#include "FontSettings.h"

#include <array>

namespace kelvos {
namespace {

struct NamedColor {
    const char* name;
    quint32 value;
};

constexpr quint32 SystemColor = 0xFF000000;

constexpr std::array<NamedColor, 52> namedColors{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", SystemColor | 10},
    {"clActiveCaption", SystemColor | 2},
    {"clAppWorkSpace", SystemColor | 12},
    {"clBackground", SystemColor | 1},
    {"clBtnFace", SystemColor | 15},
    {"clBtnHighlight", SystemColor | 20},
    {"clBtnShadow", SystemColor | 16},
    {"clBtnText", SystemColor | 18},
    {"clCaptionText", SystemColor | 9},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", SystemColor | 27},
    {"clGradientInactiveCaption", SystemColor | 28},
    {"clGrayText", SystemColor | 17},
    {"clHighlight", SystemColor | 13},
    {"clHighlightText", SystemColor | 14},
    {"clHotLight", SystemColor | 26},
    {"clInactiveBorder", SystemColor | 11},
    {"clInactiveCaption", SystemColor | 3},
    {"clInactiveCaptionText", SystemColor | 19},
    {"clInfoBk", SystemColor | 24},
    {"clInfoText", SystemColor | 23},
    {"clMenu", SystemColor | 4},
    {"clMenuBar", SystemColor | 30},
    {"clMenuHighlight", SystemColor | 29},
    {"clMenuText", SystemColor | 7},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", SystemColor | 0},
    {"clWindow", SystemColor | 5},
    {"clWindowFrame", SystemColor | 6},
    {"clWindowText", SystemColor | 8},
    {"cl3DDkShadow", SystemColor | 21},
    {"cl3DLight", SystemColor | 22},
}};

std::optional<qint32> parseHexColor(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    bool ok = false;
    const quint32 value = digits.toUInt(&ok, 16);
    return ok ? std::optional<qint32>(static_cast<qint32>(value)) : std::nullopt;
}

} // namespace

QString colorToText(qint32 color) {
    for (const NamedColor& named : namedColors) {
        if (static_cast<qint32>(named.value) == color)
            return QLatin1String(named.name);
    }
    return u'$' +
           QString::number(static_cast<quint32>(color), 16).toUpper().rightJustified(8, u'0');
}

std::optional<qint32> colorFromText(QStringView text) {
    for (const NamedColor& named : namedColors) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return static_cast<qint32>(named.value);
    }
    if (text.startsWith(u'$'))
        return parseHexColor(text.sliced(1));
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

} // namespace kelvos
