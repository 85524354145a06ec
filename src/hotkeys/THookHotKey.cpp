#include "THookHotKey.h"

#include "XcbHotkeyBackend.h"

#include <QMetaMethod>
#include <QWidget>
#include <exception>

THookHotKey::THookHotKey(QObject* owner)
    : THookHotKey(kelvos::XcbHotkeyBackend::fromApplication(), owner) {}

THookHotKey::THookHotKey(std::unique_ptr<kelvos::HotkeyBackend> backend, QObject* owner)
    : QObject(owner), backend_(std::move(backend)) {
    if (backend_) {
        connect(backend_.get(), &kelvos::HotkeyBackend::pressed, this, &THookHotKey::DoHotKey);
        connect(backend_.get(), &kelvos::HotkeyBackend::registrationChanged, this,
                &THookHotKey::registrationChanged);
    }
    retry_.setInterval(3000);
    connect(&retry_, &QTimer::timeout, this, &THookHotKey::retryPending);
}

THookHotKey::~THookHotKey() = default;

bool THookHotKey::AddHotKey(int Index, quint16 ShortCut) {
    if (!backend_)
        return false;
    const bool accepted = backend_->AddHotKey(Index, ShortCut);
    // A combination with no key cannot become live later: there is nothing to wait for.
    if (accepted || ShortCut == 0)
        pending_.remove(Index);
    else
        pending_.insert(Index, ShortCut);
    if (pending_.isEmpty())
        retry_.stop();
    else if (!retry_.isActive())
        retry_.start();
    return accepted;
}

bool THookHotKey::RemoveHotKey(int Index) {
    pending_.remove(Index);
    if (pending_.isEmpty())
        retry_.stop();
    return backend_ && backend_->RemoveHotKey(Index);
}

void THookHotKey::retryPending() {
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (backend_->AddHotKey(it.key(), it.value())) {
            const int index = it.key();
            it = pending_.erase(it);
            emit registrationChanged(index, true);
        } else {
            ++it;
        }
    }
    if (pending_.isEmpty())
        retry_.stop();
}

bool THookHotKey::hasListener() const {
    return isSignalConnected(QMetaMethod::fromSignal(&THookHotKey::OnHotKey)) ||
           isSignalConnected(QMetaMethod::fromSignal(&THookHotKey::OnHotKeyAt));
}

void THookHotKey::DoHotKey(int Index, quint32 EventTime) {
    if (!hasListener())
        return;
    if (activate_)
        activateOwnerWindow();
    // An exception must not unwind through the event loop: report it and keep the
    // hotkey working.
    try {
        emit OnHotKey(this, Index);
        emit OnHotKeyAt(this, Index, EventTime);
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
