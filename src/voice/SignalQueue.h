#pragma once

#include "ClipPlayer.h"

#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kelvos {

// Plays the short signal clips of the run commands one after another on a worker thread, so
// the UI thread never waits for a sound and a key press is always handled (and timestamped)
// at once. Clips keep the order in which they were asked for and sound over a read-out.
class SignalQueue {
public:
    explicit SignalQueue(ClipPlayer& player);
    ~SignalQueue();
    SignalQueue(const SignalQueue&) = delete;
    SignalQueue& operator=(const SignalQueue&) = delete;

    // Called on the thread that made the player (see ClipPlayer::prepare).
    void enqueue(const QString& fileName);
    void enqueueBeep();
    // Blocks until everything asked for so far has been played (used in tests).
    void waitUntilIdle();
    // Waits at most `bound` for what was asked for; then drops what has not sounded yet and
    // cuts the clip that is sounding, so that closing never waits long for its sounds.
    void finishWithin(std::chrono::milliseconds bound);

private:
    void run();

    ClipPlayer& player_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QString> pending_; // an empty name stands for a beep
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace kelvos
