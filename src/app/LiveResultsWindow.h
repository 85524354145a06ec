#pragma once

#include <QWidget>

class QCheckBox;
class QrCodeView;
class QLabel;
class QListWidget;
class QPushButton;

namespace kelvos {
class LiveServer;
}

// A small window beside the main one that tells where the live results are seen: the
// addresses, a QR code of the first one for a phone's camera, whether they are shared on the
// local network, and how many viewers are connected. It also lets remote timekeepers in: their
// pairing link with its QR code, a new link that lets every paired device go, whether they may
// start and stop the watch, and the devices connected. Like the Volume window it does not block.
class LiveResultsWindow : public QWidget {
    Q_OBJECT
public:
    // server: none when the program runs without live results.
    LiveResultsWindow(QWidget* owner, kelvos::LiveServer* server);

    bool share() const;
    // Shows the setting as kept; the server was started with it already.
    void setShare(bool share);
    bool remote() const;
    // Shows the setting as kept; the server was started with it already.
    void setRemote(bool remote);
    bool remoteStartStop() const;
    // Shows the setting as kept; the server was started with it already.
    void setRemoteStartStop(bool allowed);
    // Shows the window in front with the addresses as they are now, or brings it there.
    void open();

signals:
    // The operator shared the results on the network or took them back to this computer.
    void shareChanged(bool share);
    // The operator allowed remote timekeepers or took the permission back.
    void remoteChanged(bool remote);
    // The operator let remote timekeepers start and stop the watch, or no longer.
    void remoteStartStopChanged(bool allowed);

private:
    void shareClick(bool share);
    bool serving() const;
    void showAddresses();
    void remoteClick(bool remote);
    void showRemoteLink();
    void showDevices(const QStringList& names);

    kelvos::LiveServer* server_;
    QLabel* addresses_ = nullptr;
    QrCodeView* code_ = nullptr;
    QCheckBox* shareCheck = nullptr;
    QLabel* viewers_ = nullptr;
    QCheckBox* remoteCheck = nullptr;
    QCheckBox* remoteStartStopCheck = nullptr;
    QLabel* remoteLink_ = nullptr;
    QrCodeView* remoteCode_ = nullptr;
    QPushButton* newLinkButton = nullptr;
    QListWidget* remoteDevices_ = nullptr;
};
