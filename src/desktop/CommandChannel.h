#pragma once

#include "DesktopCommand.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

namespace kelvos {

// Where the user's watch on this X display takes commands: a local socket in the user's
// runtime folder ($XDG_RUNTIME_DIR) when that folder is the user's alone, else in a folder of
// the program's own in the temporary folder, made for the user and checked before each use.
struct CommandSocketPlace {
    QString path;    // empty when there is no safe place
    QString problem; // why there is none
};
CommandSocketPlace commandSocketPlace();
// Where a sender reaches the user's watch: as above, but without a display (a service, a
// remote shell) at the socket of the one watch that listens, on whichever display it runs.
CommandSocketPlace senderSocketPlace();

// The socket's file name for the X display `display` (as $DISPLAY names it): watches on
// different displays of one user do not find each other, screens of one display share it.
QString commandSocketName(const QString& display);

enum class SendResult {
    Done,       // the watch carried the command out
    Refused,    // the watch is in a state in which the command does nothing
    NoInstance, // no watch listens
    NoAnswer,   // a watch listens but did not answer in time
    Untrusted,  // a process of another user listens there; nothing was sent
};

// Hands one command to the watch listening at `path` and waits for its answer; the text that
// came with it (a question's answer, or why it was refused) goes to `answerText` when given.
SendResult sendCommand(const QString& path, DesktopCommand command, int timeoutMs = 5000,
                       QString* answerText = nullptr);

// What `kelvos --send` tells its caller: the exit status and a message for the error output
// (empty when the command was carried out).
struct SendReport {
    int exitCode;
    QString message;
};
// `answerText`: the text the watch answered with, which tells why it refused.
SendReport reportOf(SendResult result, DesktopCommand command, const QString& answerText = {});

// The watch's end of the socket. Commands are read on a thread of their own and stamped with
// the clock the moment they arrive, so a command waiting for a busy window is still timed
// when it came; the handler then runs on the thread that made the server, and its answer
// (whether the command was carried out) goes back to the sender. Only the user's own
// processes are served; idle and surplus connections are let go, so that no number of them
// can use up the program's file descriptors.
class CommandServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(DesktopCommand command, quint32 receivedAt)>;
    // Answers a question (isQuestion) on the handler's thread.
    using Asker = std::function<CommandAnswer(DesktopCommand question)>;
    // `clock` is read on the receiving thread.
    CommandServer(std::function<quint32()> clock, Handler handler, QObject* parent = nullptr);
    ~CommandServer() override;

    enum class Outcome { Listening, OtherInstance, Failed };
    // Listens at `path`, unless a running watch of the user answers there (OtherInstance). A
    // socket left behind by a watch that is gone, or held by another user, is replaced. A lock
    // file beside the socket lets one starting watch at a time do this.
    Outcome listen(const QString& path);
    QString errorString() const { return error_; }
    // Until one is set, every question is refused.
    void setAsker(Asker asker) { asker_ = std::move(asker); }

private:
    class Receiver;
    void take(DesktopCommand command, quint32 receivedAt, quint64 connection);

    Handler handler_;
    Asker asker_;
    QThread thread_;
    Receiver* receiver_;
    QString error_;
};

} // namespace kelvos
