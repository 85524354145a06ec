#include "GridSetup.h"

#include "LapFacts.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"

#include <QScrollBar>
#include <array>

namespace kelvos {

namespace {

constexpr int resultColumns = kelvos::kLapColumnCount;
constexpr int mainGridRows = 12;
constexpr int mixGridRows = 30;
constexpr int mainGridMinRowsKeepingColumns = 12;
constexpr int mixGridMinRowsKeepingColumns = 6;
// The total and lap time columns: a full time text ("00:01:01:040") needs this much in the
// serif faces found on Linux, where the default width would clip its first digit.
constexpr int timeColumnWidth = 80;
constexpr int timeColumns[] = {int(kelvos::LapColumn::Total), int(kelvos::LapColumn::LapTime)};

// "Times New Roman" is asked for by family; where it is missing the font matcher substitutes
// a metric-compatible serif face.
QFont timesNewRoman(int pixelHeight, bool bold) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

struct MainColumn {
    const char* caption;
    quint32 color;
    quint32 fontColor;
    quint32 fixCellFontColor;
};

constexpr quint32 white = 0xFFFFFF;

constexpr std::array<MainColumn, resultColumns> mainColumns{{
    {"LAP", 8281904, white, 12123865},
    {"Number", 2567224, white, 14408938},
    {"Total", 1711149, white, white},
    {"LAPtime", 3024673, white, white},
    {"LAP  + - ", 2567224, 11796422, 11796422},
    {"Realtime", 5526854, white, white},
    {"LAP milli", 3024673, 13684991, 13684991},
    {"LAP Km/h", 2567224, 15324871, 15324871},
    {"Ave milli", 3024673, 13684991, 13684991},
    {"Ave Km/h", 1711149, 15324871, 15324871},
}};

void defineMainColumn(TGridColumn& column, const MainColumn& values) {
    column.setAlignment(taRightJustify);
    column.setCanEdit(true);
    column.setCaption(QString::fromLatin1(values.caption));
    column.setColor(fromStoredColor(values.color));
    column.setDataType(dtString);
    column.setDisplayMask(QString());
    column.setFont({timesNewRoman(13, false), fromStoredColor(values.fontColor)});
    column.setFixCellFont({timesNewRoman(12, false), fromStoredColor(values.fixCellFontColor)});
    column.setImeMode(imDisable);
    column.setWordwrap(false);
    column.setMultiLine(false);
}

void resetGrid(TextGrid& grid, int minRowsKeepingColumns, int rows, const QString& headerLine) {
    grid.clearCells();
    if (grid.rowCount() < minRowsKeepingColumns)
        grid.setColCount(resultColumns);
    grid.setRowCount(rows);
    grid.setTopRow(1);
    grid.setRowCommaText(0, headerLine);
}

} // namespace

void configureMainGrid(TStringGridEx& grid) {
    grid.setObjectName(QStringLiteral("StringGridEx1"));
    grid.setToolTip(QStringLiteral("Main Number data grid"));
    grid.setColor(Qt::black);
    grid.setGridFont({timesNewRoman(13, true), QColor(Qt::green)});
    grid.setColCount(resultColumns);
    grid.setDefaultColWidth(72);
    grid.setDefaultRowHeight(18);
    grid.setFixedColor(fromStoredColor(8281904));
    grid.setRowCount(mainGridRows);
    grid.setRangeSelect(true);
    grid.setGridStyle(gsNormal);
    grid.setStripeColor(grid.palette().color(QPalette::Base));
    for (int col = 0; col < resultColumns; ++col)
        defineMainColumn(*grid.gridColumns()->items(col), mainColumns[std::size_t(col)]);
    for (int col : timeColumns)
        grid.setColumnWidth(col, timeColumnWidth);
}

void configureMixGrid(TStrSortGrid& grid) {
    grid.setObjectName(QStringLiteral("StrSortGrid1"));
    grid.setToolTip(QStringLiteral("MixGrid"));
    grid.setColor(fromStoredColor(12313053));
    grid.setGridFont({timesNewRoman(13, false), QColor(Qt::black)});
    grid.setColCount(resultColumns);
    grid.setDefaultColWidth(72);
    grid.setDefaultRowHeight(18);
    grid.setFixedColor(fromStoredColor(9823929));
    grid.setRowCount(mixGridRows);
    grid.setRangeSelect(false);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setSortOps(soBoth);
    grid.setSpacing(10);
    for (int col : timeColumns)
        grid.setColumnWidth(col, timeColumnWidth);
}

void fillMixGridIntro(TStrSortGrid& grid) {
    const QStringList lines = mixGridIntroLines();
    for (int row = 1; row <= lines.size() && row < grid.rowCount(); ++row)
        grid.setRowCommaText(row, lines[row - 1]);
    grid.setRowCommaText(0, mixGridHeaderLine(HeaderUnit::Kilometre));
}

void resetMainGrid(TStringGridEx& grid, HeaderUnit unit) {
    resetGrid(grid, mainGridMinRowsKeepingColumns, mainGridRows, mainGridHeaderLine(unit));
}

void resetMixGrid(TStrSortGrid& grid, HeaderUnit unit) {
    resetGrid(grid, mixGridMinRowsKeepingColumns, mixGridRows, mixGridHeaderLine(unit));
}

} // namespace kelvos
