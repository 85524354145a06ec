#include "LiveResultsWindow.h"

#include "LiveServer.h"
#include "QrMatrix.h"
#include "WindowLook.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace kelvos;

namespace {
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
    QrCodeView(QWidget* parent, const QString& objectName) : QWidget(parent) {
        setObjectName(objectName);
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
    setUpToolWindow(*this, "LiveResultsWindow", "Live results", false);

    auto* column = new QVBoxLayout(this);
    addresses_ = new QLabel(this);
    addresses_->setObjectName("liveAddresses");
    addresses_->setTextFormat(Qt::RichText);
    addresses_->setOpenExternalLinks(true);
    addresses_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    code_ = new QrCodeView(this, "liveQrCode");
    shareCheck = new QCheckBox(QStringLiteral("Share on the local network"), this);
    shareCheck->setObjectName("shareCheck");
    viewers_ = new QLabel(this);
    viewers_->setObjectName("liveViewers");
    column->addWidget(addresses_);
    column->addWidget(code_, 0, Qt::AlignHCenter);
    column->addWidget(shareCheck);
    column->addWidget(viewers_);

    remoteCheck = new QCheckBox(QStringLiteral("Allow remote timekeepers"), this);
    remoteCheck->setObjectName("remoteCheck");
    remoteLink_ = new QLabel(this);
    remoteLink_->setObjectName("remoteLink");
    remoteLink_->setTextFormat(Qt::RichText);
    remoteLink_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    remoteLink_->setOpenExternalLinks(true);
    remoteCode_ = new QrCodeView(this, "remoteQrCode");
    newLinkButton = new QPushButton(QStringLiteral("New link"), this);
    newLinkButton->setObjectName("newLinkButton");
    newLinkButton->setToolTip(
        QStringLiteral("Replaces the link: every device paired with the old one is let go"));
    remoteStartStopCheck =
        new QCheckBox(QStringLiteral("Allow start and stop from remote devices"), this);
    remoteStartStopCheck->setObjectName("remoteStartStopCheck");
    remoteDevices_ = new QListWidget(this);
    remoteDevices_->setObjectName("remoteDevices");
    remoteDevices_->setMaximumHeight(100);
    column->addWidget(remoteCheck);
    column->addWidget(remoteLink_);
    column->addWidget(remoteCode_, 0, Qt::AlignHCenter);
    column->addWidget(newLinkButton, 0, Qt::AlignLeft);
    column->addWidget(remoteStartStopCheck);
    column->addWidget(remoteDevices_);

    viewers_->setText(QStringLiteral("Viewers connected: 0"));
    if (server_) {
        connect(server_, &LiveServer::viewersChanged, viewers_, [this](int viewers) {
            viewers_->setText(QStringLiteral("Viewers connected: %1").arg(viewers));
        });
    }
    // The operator's own clicks only: the setting restored at start is the server's already.
    connect(shareCheck, &QCheckBox::clicked, this, &LiveResultsWindow::shareClick);
    connect(remoteCheck, &QCheckBox::clicked, this, &LiveResultsWindow::remoteClick);
    connect(newLinkButton, &QPushButton::clicked, this, [this] { server_->newRemoteLink(); });
    connect(remoteStartStopCheck, &QCheckBox::clicked, this, [this](bool allowed) {
        server_->setRemoteStartStop(allowed);
        emit remoteStartStopChanged(allowed);
    });
    if (server_) {
        connect(server_, &LiveServer::remoteDevicesChanged, this, &LiveResultsWindow::showDevices);
        // Also a link replaced by `kelvos --send remote-new-link`.
        connect(server_, &LiveServer::remoteLinkChanged, this, &LiveResultsWindow::showRemoteLink);
    }
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

bool LiveResultsWindow::remote() const {
    return remoteCheck->isChecked();
}

void LiveResultsWindow::setRemote(bool remote) {
    remoteCheck->setChecked(remote);
    showAddresses();
}

bool LiveResultsWindow::remoteStartStop() const {
    return remoteStartStopCheck->isChecked();
}

void LiveResultsWindow::setRemoteStartStop(bool allowed) {
    remoteStartStopCheck->setChecked(allowed);
}

void LiveResultsWindow::remoteClick(bool remote) {
    server_->setRemoteAllowed(remote);
    adjustSize();
    emit remoteChanged(remote);
}

// The link and its code while remote timekeepers are allowed; the link changes with the
// sharing, as the address a phone reaches does.
void LiveResultsWindow::showRemoteLink() {
    remoteCheck->setEnabled(serving());
    const QUrl link = serving() ? server_->remoteLink() : QUrl();
    remoteLink_->setVisible(!link.isEmpty());
    remoteLink_->setText(link.isEmpty() ? QString() : linkOf(link));
    remoteCode_->setText(link.isEmpty() ? QString() : link.toString());
    newLinkButton->setVisible(!link.isEmpty());
    remoteStartStopCheck->setVisible(!link.isEmpty());
    remoteDevices_->setVisible(!link.isEmpty());
}

void LiveResultsWindow::showDevices(const QStringList& names) {
    remoteDevices_->clear();
    remoteDevices_->addItems(names);
}

bool LiveResultsWindow::serving() const {
    return server_ && server_->port() != 0;
}

// Every address with its pages; the code carries the first, which a phone opens. The server
// starts listening after the window is made, so this is asked anew at each opening.
void LiveResultsWindow::showAddresses() {
    shareCheck->setEnabled(serving());
    viewers_->setVisible(serving());
    showRemoteLink();
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
