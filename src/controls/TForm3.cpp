#include "TForm3.h"

#include "FormScaler.h"
#include "TShineSpeedButton.h"
#include "WindowLook.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

QPointer<TForm3> TForm3::instance_;

namespace {
const QColor kBackground(239, 237, 228);
const QColor kTitleColor(100, 125, 40);
const QColor kLinkColor(170, 180, 213);

QLabel* placedLabel(QWidget* parent, QPoint at, const QString& text, const QFont& font,
                    const QColor& color) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    setTextColor(label, color);
    label->move(at);
    label->adjustSize();
    return label;
}

QLabel* linkLabel(QWidget* parent, QPoint at, const QString& text) {
    QFont underlined = timesFont(17, true);
    underlined.setUnderline(true);
    QLabel* label = placedLabel(parent, at, text, underlined, kLinkColor);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

QString aboutText() {
    return QStringLiteral("KelvoS ver. 013j\n"
                          "Programmed by the KelvoS developers\n"
                          "Voice clips rendered with espeak-ng and sox");
}
} // namespace

TForm3* TForm3::current() {
    return instance_;
}

TForm3* TForm3::ensureExists() {
    if (!instance_)
        instance_ = new TForm3;
    return instance_;
}

TForm3::TForm3() : QWidget(nullptr, Qt::Dialog) {
    setAttribute(Qt::WA_QuitOnClose, false); // closing the main window still ends the program
    setAttribute(Qt::WA_DeleteOnClose);      // closing frees the window
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("About"));
    auto* scaler = new FormScaler(this, QSize(385, 195));
    QPalette look = palette();
    look.setColor(QPalette::Window, kBackground);
    setPalette(look);
    setAutoFillBackground(true);
    setFont(timesFont(15, true));

    Label1 = placedLabel(this, {40, 24}, aboutText(), timesFont(17, true), kTitleColor);
    Label2 = linkLabel(this, {32, 104}, QString::fromLatin1(kProjectPage));
    Label3 = linkLabel(this, {56, 144}, QString::fromLatin1(kContactAddress));
    for (QLabel* link : {Label2, Label3})
        link->installEventFilter(this);

    ShineSpeedButton1 = new TShineSpeedButton(this);
    ShineSpeedButton1->setObjectName("ShineSpeedButton1");
    ShineSpeedButton1->setGeometry(304, 144, 52, 25);
    ShineSpeedButton1->setCaption(QStringLiteral("Exit"));
    ShineSpeedButton1->Colors().setColor(QColor(225, 200, 174));
    ShineSpeedButton1->setFont(timesFont(15, true));
    ShineSpeedButton1->setFontColor(QColor(184, 124, 84));
    QFont gothic(QStringLiteral("ＭＳ Ｐゴシック"));
    gothic.setPixelSize(15);
    ShineSpeedButton1->setActiveFont(gothic);
    ShineSpeedButton1->setActiveFontColor(palette().color(QPalette::Highlight));
    connect(ShineSpeedButton1, &TShineSpeedButton::clicked, this, &QWidget::close);
    scaler->addChildren();
    scaler->open();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    const bool leftClick = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (leftClick && watched == Label2)
        Label2Click();
    else if (leftClick && watched == Label3)
        Label3Click();
    return QWidget::eventFilter(watched, event);
}

// Whether the desktop could open a link is not reported: the window has nothing to add.
void TForm3::Label2Click() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProjectPage)));
}

void TForm3::Label3Click() {
    QDesktopServices::openUrl(QUrl(
        QStringLiteral("mailto:%1?Subject=KelvoLS").arg(QString::fromLatin1(kContactAddress))));
}

void TForm3::closeEvent(QCloseEvent* event) {
    instance_ = nullptr; // from now on the next use makes a new window
    QWidget::closeEvent(event);
}
