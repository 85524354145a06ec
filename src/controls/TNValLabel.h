#pragma once

#include <QColor>
#include <QWidget>

// A right-aligned label for numbers: it shows a floating-point value formatted by itself
// (thousands grouped with the locale's separator, a fixed or automatic number of decimals, an
// optional leading character) or a caption set as text. Opaque with a sunken frame, or
// transparent over its parent. Its height follows the font.
class TNValLabel : public QWidget {
    Q_OBJECT
public:
    enum class TextLayout { Top, Center, Bottom };
    static constexpr int kMaxDecimals = 14;

    explicit TNValLabel(QWidget* parent = nullptr);

    long double value() const { return value_; }
    void setValue(long double value);
    bool putAComma() const { return putAComma_; }
    void setPutAComma(bool on);
    bool zeroDisplay() const { return zeroDisplay_; }
    void setZeroDisplay(bool on);
    QChar leadingChar() const { return leadingChar_; }
    // Characters below the space are ignored.
    void setLeadingChar(QChar c);
    int fixDecimal() const { return fixDecimal_; }
    // -1 for as many decimals as needed; other values are clamped to -1..14.
    void setFixDecimal(int decimals);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment horizontal);
    TextLayout layout() const { return layout_; }
    void setLayout(TextLayout layout);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool ctl3D() const { return ctl3D_; }
    void setCtl3D(bool on);
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);
    // The background when opaque; the palette's window colour until set.
    QColor color() const;
    void setColor(const QColor& color);

    QString caption() const { return caption_; }
    // Sets the text shown directly (an "&" underlines the next character).
    void setCaption(const QString& caption);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString formattedValue() const;
    void rebuildCaption();
    QRect textRect() const;
    void paintFrame(QPainter& painter) const;
    void adjustHeight();

    long double value_ = 0;
    bool putAComma_ = true;
    bool zeroDisplay_ = false;
    QChar leadingChar_ = u' ';
    int fixDecimal_ = -1;
    Qt::Alignment alignment_ = Qt::AlignRight;
    TextLayout layout_ = TextLayout::Center;
    bool autoSize_ = true;
    bool ctl3D_ = true;
    bool transparent_ = false;
    QColor color_;
    QString caption_;
};
