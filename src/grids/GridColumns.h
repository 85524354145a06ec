#pragma once

#include "CellRules.h"
#include "TextGrid.h"

#include <QColor>
#include <QString>
#include <memory>
#include <vector>

class TStringGridEx;
class TGridColumns;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Input-method modes of an editor. On this desktop only "disabled" and "enabled" differ:
// imDisable turns the input method off, every other mode leaves it available.
enum TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};

// The definition of one grid column: caption, colours, fonts, alignment, wrapping, display
// mask and the editing rules of its cells. Setters that change the look repaint the grid only
// when the value differs; the others take effect when editing starts.
class TGridColumn {
public:
    explicit TGridColumn(TGridColumns* collection);

    // Copies all eleven properties.
    void assign(const TGridColumn& other);

    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment value);
    bool canEdit() const { return canEdit_; }
    void setCanEdit(bool value) { canEdit_ = value; }
    QString caption() const { return caption_; }
    // An empty caption is stored as a single blank.
    void setCaption(const QString& value);
    QColor color() const { return color_; }
    void setColor(const QColor& value);
    TInputDataType dataType() const { return dataType_; }
    void setDataType(TInputDataType value) { dataType_ = value; }
    QString displayMask() const { return displayMask_; }
    void setDisplayMask(const QString& value) { displayMask_ = value; }
    kelvos::CellFont font() const { return font_; }
    void setFont(const kelvos::CellFont& value);
    // The font of the column's header cell.
    kelvos::CellFont fixCellFont() const { return fixCellFont_; }
    void setFixCellFont(const kelvos::CellFont& value);
    TImeMode imeMode() const { return imeMode_; }
    void setImeMode(TImeMode value) { imeMode_ = value; }
    bool wordwrap() const { return wordwrap_; }
    void setWordwrap(bool value);
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool value) { multiLine_ = value; }

private:
    void changed();

    TGridColumns* collection_;
    TAlignment alignment_ = taLeftJustify;
    bool canEdit_ = true;
    QString caption_;
    QColor color_;
    TInputDataType dataType_ = dtString;
    QString displayMask_;
    kelvos::CellFont font_;
    kelvos::CellFont fixCellFont_;
    TImeMode imeMode_ = imDisable;
    bool wordwrap_ = false;
    bool multiLine_ = false;
};

// The column definitions of a TStringGridEx, always as many as the grid has columns: changing
// the collection sets the grid's column count, and changing the column count adds default
// definitions at the end or deletes them from the end.
class TGridColumns {
public:
    explicit TGridColumns(TStringGridEx* grid);

    int count() const { return int(items_.size()); }
    TGridColumn* items(int index) const;
    TGridColumn* add();
    void deleteItem(int index);

    TStringGridEx* grid() const { return grid_; }

private:
    friend class TGridColumn;
    friend class TStringGridEx;

    void changed();
    // Brings the definition count to the grid's column count without echoing back.
    void matchColumnCount(int cols);
    void appendDefault();

    TStringGridEx* grid_;
    std::vector<std::unique_ptr<TGridColumn>> items_;
    bool synchronising_ = true;
};
