#pragma once

#include "DesktopCommand.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

namespace kelvos {

// The local socket on which the running watch takes commands: in the user's runtime folder
// ($XDG_RUNTIME_DIR), which only the user can enter; without one, in the temporary folder
// under the user's id.
QString commandSocketPath();

enum class SendResult {
    Done,       // the watch carried the command out
    Refused,    // the watch is in a state in which the command does nothing
    NoInstance, // no watch listens
    NoAnswer,   // a watch listens but did not answer in time
};

// Hands one command to the watch listening at `path` and waits for its answer.
SendResult sendCommand(const QString& path, DesktopCommand command, int timeoutMs = 5000);

// What `kelvos --send` tells its caller: the exit status and a message for the error output
// (empty when the command was carried out).
struct SendReport {
    int exitCode;
    QString message;
};
SendReport reportOf(SendResult result, DesktopCommand command);

// The watch's end of the socket. Commands are read on a thread of their own and stamped with
// the clock the moment they arrive, so a command waiting for a busy window is still timed
// when it came; the handler then runs on the thread that made the server, and its answer
// (whether the command was carried out) goes back to the sender.
class CommandServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(DesktopCommand command, quint32 receivedAt)>;
    // `clock` is read on the receiving thread.
    CommandServer(std::function<quint32()> clock, Handler handler, QObject* parent = nullptr);
    ~CommandServer() override;

    enum class Outcome { Listening, OtherInstance, Failed };
    // Listens at `path`, unless a running watch answers there (OtherInstance). A socket left
    // behind by a watch that is gone is replaced.
    Outcome listen(const QString& path);
    QString errorString() const { return error_; }

private:
    class Receiver;
    void take(DesktopCommand command, quint32 receivedAt, quint64 connection);

    Handler handler_;
    QThread thread_;
    Receiver* receiver_;
    QString error_;
};

} // namespace kelvos
