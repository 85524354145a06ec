#pragma once

#include <chrono>
#include <stop_token>

namespace kelvos {

// The pauses of the read-outs. A pause ends early when its worker is asked to stop.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepFor(std::chrono::milliseconds duration, std::stop_token stop) = 0;
};

// Sleeps on the real clock.
class ThreadSleeper final : public Sleeper {
public:
    void sleepFor(std::chrono::milliseconds duration, std::stop_token stop) override;
};

} // namespace kelvos
