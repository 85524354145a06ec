#include "TForm4.h"

#include "FormScaler.h"
#include "TCuteButton.h"
#include "TNValLabel.h"
#include "TimeText.h"
#include "WindowLook.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTime>

QPointer<TForm4> TForm4::instance_;

namespace {
const QColor kCaptionColor(234, 249, 238);
const QColor kValueColor(213, 223, 240);
const QColor kMilliColor(255, 208, 208);
const QColor kSpeedColor(169, 194, 189);
const QColor kDifferenceCaptionColor(254, 239, 131);

QLabel* captionLabel(QWidget* parent, const QString& text, int top, const QColor& color) {
    auto* label = new QLabel(text, parent);
    label->setFont(timesFont(30, true));
    setTextColor(label, color);
    label->setGeometry(8, top, 190, 50);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

TNValLabel* numberLabel(QWidget* parent, QPoint at, const QColor& color) {
    auto* label = new TNValLabel(parent);
    label->setAutoSize(false);
    label->setGeometry(QRect(at, QSize(225, 50)));
    label->setTransparent(true);
    label->setFont(timesFont(37, true));
    setTextColor(label, color);
    return label;
}

QLabel* plainLabel(QWidget* parent, QPoint at, const QColor& color) {
    auto* label = new QLabel(parent);
    label->setGeometry(QRect(at, QSize(320, 50)));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFont(timesFont(37, true, true));
    setTextColor(label, color);
    return label;
}
} // namespace

TForm4::TForm4()
    : QWidget(nullptr, Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_QuitOnClose, false); // closing the main window still ends the program
    setAttribute(Qt::WA_DeleteOnClose);      // closing frees the window; the reference empties
    setWindowTitle(QStringLiteral("Display"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    auto* scaler = new FormScaler(this, QSize(552, 505));
    buildCaptions();
    buildValues();
    scaler->addChildren();
    scaler->open();
}

void TForm4::buildCaptions() {
    captionLabel(this, QStringLiteral("LAP"), 7, kCaptionColor);
    captionLabel(this, QStringLiteral("Total"), 55, kCaptionColor);
    captionLabel(this, QStringLiteral("LapTime"), 103, kCaptionColor);
    captionLabel(this, QStringLiteral("Lap+-"), 164, kDifferenceCaptionColor);
    captionLabel(this, QStringLiteral("RealTime"), 218, kCaptionColor);
    captionLabel(this, QStringLiteral("Lap milli"), 274, kMilliColor);
    Label16 = captionLabel(this, QStringLiteral("Lap Km/h"), 338, kSpeedColor);
    captionLabel(this, QStringLiteral("Ave milli"), 383, kMilliColor);
    Label18 = captionLabel(this, QStringLiteral("Ave Km/h"), 442, kSpeedColor);
}

void TForm4::buildValues() {
    NValLabel1 = numberLabel(this, {200, 7}, kValueColor);
    NValLabel2 = numberLabel(this, {200, 55}, kValueColor);
    NValLabel3 = numberLabel(this, {200, 103}, kValueColor);
    Label1 = plainLabel(this, {216, 164}, kDifferenceCaptionColor);
    NValLabel5 = numberLabel(this, {199, 218}, kValueColor);
    NValLabel6 = numberLabel(this, {199, 274}, kMilliColor);
    Label7 = plainLabel(this, {216, 338}, kSpeedColor);
    NValLabel8 = numberLabel(this, {199, 383}, kMilliColor);
    Label9 = plainLabel(this, {216, 442}, kSpeedColor);

    Ok1 = new TCuteButton(this);
    Ok1->setText(QStringLiteral("OK"));
    Ok1->setFlat(true);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(27);
    arial.setBold(true);
    Ok1->setFont(arial);
    QPalette red = Ok1->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    Ok1->setPalette(red);
    Ok1->setGeometry(472, 448, 57, 33);
    connect(Ok1, &QPushButton::clicked, this, &QWidget::hide);
}

TForm4* TForm4::current() {
    return instance_;
}

TForm4* TForm4::ensureExists() {
    if (!instance_)
        instance_ = new TForm4();
    return instance_;
}

TForm4* TForm4::fill(const DisplayFigures& figures) {
    TForm4* form = ensureExists();
    form->show(figures);
    return form;
}

void TForm4::closeIfVisible() {
    if (instance_ && instance_->isVisible())
        instance_->close();
}

void TForm4::show(const DisplayFigures& figures) {
    QWidget::show();
    raise();
    activateWindow();
    Label16->setText(figures.milesPerHour ? QStringLiteral("Lap M/h") : QStringLiteral("Lap Km/h"));
    Label18->setText(figures.milesPerHour ? QStringLiteral("Ave M/h") : QStringLiteral("Ave Km/h"));
    NValLabel1->setCaption(QString::number(figures.lapCount));
    NValLabel2->setCaption(figures.totalText);
    NValLabel3->setCaption(figures.lapTimeText);
    setTextColor(Label1, figures.lapDiff < 0 ? figures.negativeColor : figures.positiveColor);
    Label1->setText(kelvos::formatSignedShort(figures.lapDiff));
    NValLabel5->setCaption(kelvos::formatWallClock(QTime::currentTime()));
    NValLabel6->setCaption(QString::number(figures.lapMillis));
    Label7->setText(figures.lapSpeedText);
    NValLabel8->setCaption(QString::number(figures.averageMillis));
    Label9->setText(figures.averageSpeedText);
}

void TForm4::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr)
        hide();
    QWidget::mousePressEvent(event);
}
