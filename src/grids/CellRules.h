#pragma once

#include <QChar>
#include <QString>
#include <optional>

enum TGridStyle { gsNormal, gsStriped };
enum TInputDataType { dtString, dtInteger };

namespace kelvos {

// Where a data cell's background colour comes from.
enum class CellColorSource { GridColor, StripeColor, ColumnColor };

// gsStriped: even rows the stripe colour, odd rows the grid colour, in every column.
// gsNormal: the column definition's colour, or the grid colour for a column without one.
CellColorSource cellColorSource(TGridStyle style, int row, bool columnHasDefinition);

// The characters typing may insert into a dtInteger cell: control characters, the blank, the
// signs, the decimal point and the digits.
bool isIntegerInputChar(QChar c);

// The text a dtInteger cell stores for an edited text: "-" alone becomes "-0", the empty text
// stays, any other text is normalised through a 32-bit integer (007 gives 7, +5 gives 5).
// Nothing when the text is not an integer: the cell then keeps its old text.
std::optional<QString> integerCellText(const QString& edited);

// A cell text as the column's display mask shows it: a text made only of digits, signs and
// decimal points is read as a number and formatted with the mask as a numeric pattern ("0" and
// "#" digit placeholders, "." decimal point, "," thousands separators, quoted or other literal
// text, ";"-separated sections for positive, negative and zero); any other text is placed into
// the mask's literal layout as an edit mask.
QString formatDisplayMask(const QString& text, const QString& mask);

// Numeric pattern formatting on its own, as used by formatDisplayMask.
QString formatNumberPattern(double value, const QString& pattern);
// Edit-mask placement on its own, as used by formatDisplayMask.
QString formatEditMask(const QString& text, const QString& mask);

} // namespace kelvos
