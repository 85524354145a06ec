#pragma once

#include "HotkeyBackend.h"

#include <QList>
#include <QMap>
#include <QSet>

namespace kelvos {

// An in-memory hotkey service for tests: it records every registration, refuses what a
// test says another program holds (and keys no keyboard has, as the X service does), and
// lets a test press a combination as if the user pressed it in another program.
class FakeHotkeyBackend : public HotkeyBackend {
    Q_OBJECT

public:
    struct Call {
        enum class Kind { Add, Remove } kind;
        int index;
        quint16 shortcut; // 0 for Remove
        bool result;
        bool operator==(const Call&) const = default;
    };

    using HotkeyBackend::HotkeyBackend;

    bool AddHotKey(int index, quint16 shortcut) override;
    bool RemoveHotKey(int index) override;
    Refuser refuser() const override { return refuser_; }
    void setRefuser(Refuser refuser) { refuser_ = refuser; }

    // From now on the combination counts as held by another program.
    void refuse(quint16 shortcut) { refused_.insert(shortcut); }
    // The other program has let the combination go.
    void release(quint16 shortcut) { refused_.remove(shortcut); }
    bool isRegistered(int index) const { return registered_.contains(index); }
    // The combination registered under `index`, 0 when none.
    quint16 shortcutOf(int index) const { return registered_.value(index, 0); }
    const QList<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    // Presses the combination, with the key event's time stamp; returns whether a registered
    // hotkey took it.
    bool press(quint16 shortcut, quint32 eventTime = 0);

private:
    QMap<int, quint16> registered_;
    QSet<quint16> refused_;
    QList<Call> calls_;
    Refuser refuser_ = Refuser::OtherProgram;
};

} // namespace kelvos
