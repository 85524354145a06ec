#include "hookhotkey.h"

#include "xcbhotkeybackend.h"

#include <QMetaMethod>
#include <QWidget>
#include <exception>

THookHotKey::THookHotKey(QObject* owner)
    : THookHotKey(kelvos::XcbHotkeyBackend::fromApplication(), owner) {}

THookHotKey::THookHotKey(std::unique_ptr<kelvos::HotkeyBackend> backend, QObject* owner)
    : QObject(owner), backend_(std::move(backend)) {
    if (backend_)
        connect(backend_.get(), &kelvos::HotkeyBackend::pressed, this, &THookHotKey::DoHotKey);
}

THookHotKey::~THookHotKey() = default;

bool THookHotKey::AddHotKey(int Index, quint16 ShortCut) {
    return backend_ && backend_->AddHotKey(Index, ShortCut);
}

bool THookHotKey::RemoveHotKey(int Index) {
    return backend_ && backend_->RemoveHotKey(Index);
}

void THookHotKey::DoHotKey(int Index) {
    if (!isSignalConnected(QMetaMethod::fromSignal(&THookHotKey::OnHotKey)))
        return;
    if (activate_)
        activateOwnerWindow();
    // An exception must not unwind through the event loop: report it and keep the
    // hotkey working.
    try {
        emit OnHotKey(this, Index);
    } catch (const std::exception& error) {
        emit hotKeyFailed(Index, QString::fromLocal8Bit(error.what()));
    }
}

void THookHotKey::activateOwnerWindow() {
    auto* owner = qobject_cast<QWidget*>(parent());
    if (!owner)
        return;
    QWidget* window = owner->window();
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}
