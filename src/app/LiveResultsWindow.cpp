#include "LiveResultsWindow.h"

#include "LiveServer.h"
#include "QrMatrix.h"
#include "WindowLook.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

using namespace kelvos;

namespace {
const QColor kBackground(239, 237, 228);
// The light border a reader needs around a QR code, in modules.
constexpr int kQuietZone = 4;
constexpr int kCodeSide = 200;

QString linkOf(const QUrl& url) {
    const QString text = url.toString();
    return QString("<a href=\"%1\">%1</a>").arg(text.toHtmlEscaped());
}
} // namespace

// Paints the QR code of a text, as large as whole pixels per module allow.
class QrCodeView : public QWidget {
public:
    explicit QrCodeView(QWidget* parent) : QWidget(parent) {
        setObjectName("liveQrCode");
        setFixedSize(kCodeSide, kCodeSide);
    }

    void setText(const QString& text) {
        matrix_ = QrMatrix::encode(text);
        setVisible(!matrix_.isEmpty());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const int modules = matrix_.size() + 2 * kQuietZone;
        const int unit = std::max(1, std::min(width(), height()) / modules);
        const QPoint origin((width() - unit * modules) / 2 + unit * kQuietZone,
                            (height() - unit * modules) / 2 + unit * kQuietZone);
        for (int y = 0; y < matrix_.size(); ++y)
            for (int x = 0; x < matrix_.size(); ++x)
                if (matrix_.dark(x, y))
                    painter.fillRect(origin.x() + x * unit, origin.y() + y * unit, unit, unit,
                                     Qt::black);
    }

private:
    QrMatrix matrix_;
};

LiveResultsWindow::LiveResultsWindow(QWidget* owner, LiveServer* server)
    : QWidget(owner, Qt::Tool), server_(server) {
    setObjectName("LiveResultsWindow");
    setWindowTitle(QStringLiteral("Live results"));
    setAttribute(Qt::WA_QuitOnClose, false); // closing the main window still ends the program
    QPalette look = palette();
    look.setColor(QPalette::Window, kBackground);
    setPalette(look);
    setAutoFillBackground(true);
    setFont(timesFont(15, false));

    auto* column = new QVBoxLayout(this);
    addresses_ = new QLabel(this);
    addresses_->setObjectName("liveAddresses");
    addresses_->setTextFormat(Qt::RichText);
    addresses_->setOpenExternalLinks(true);
    addresses_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    code_ = new QrCodeView(this);
    shareCheck = new QCheckBox(QStringLiteral("Share on the local network"), this);
    shareCheck->setObjectName("shareCheck");
    viewers_ = new QLabel(this);
    viewers_->setObjectName("liveViewers");
    column->addWidget(addresses_);
    column->addWidget(code_, 0, Qt::AlignHCenter);
    column->addWidget(shareCheck);
    column->addWidget(viewers_);

    viewers_->setText(QStringLiteral("Viewers connected: 0"));
    if (server_) {
        connect(server_, &LiveServer::viewersChanged, viewers_, [this](int viewers) {
            viewers_->setText(QStringLiteral("Viewers connected: %1").arg(viewers));
        });
    }
    // The operator's own clicks only: the setting restored at start is the server's already.
    connect(shareCheck, &QCheckBox::clicked, this, &LiveResultsWindow::shareClick);
    showAddresses();
}

bool LiveResultsWindow::share() const {
    return shareCheck->isChecked();
}

void LiveResultsWindow::setShare(bool share) {
    shareCheck->setChecked(share);
    showAddresses();
}

void LiveResultsWindow::shareClick(bool share) {
    server_->setShare(share);
    showAddresses();
    emit shareChanged(share);
}

bool LiveResultsWindow::serving() const {
    return server_ && server_->port() != 0;
}

// Every address with its pages; the code carries the first, which a phone opens. The server
// starts listening after the window is made, so this is asked anew at each opening.
void LiveResultsWindow::showAddresses() {
    shareCheck->setEnabled(serving());
    viewers_->setVisible(serving());
    const QList<QUrl> addresses = serving() ? server_->addresses() : QList<QUrl>();
    if (addresses.isEmpty()) {
        addresses_->setText(serving()
                                ? QStringLiteral("No network address to share on.")
                                : QStringLiteral("Live results are off: no port could be "
                                                 "opened, or --live-port 0 turned them off."));
        code_->setText({});
        return;
    }
    QStringList lines;
    for (const QUrl& address : addresses)
        lines << linkOf(address);
    const QUrl first = addresses.first();
    lines << QStringLiteral("Overlay: %1<br>Display: %2")
                 .arg(linkOf(first.resolved(QUrl("overlay"))),
                      linkOf(first.resolved(QUrl("display"))));
    addresses_->setText(lines.join("<br>"));
    code_->setText(first.toString());
    adjustSize();
}

void LiveResultsWindow::open() {
    showAddresses();
    openBesideOwner(*this);
}
