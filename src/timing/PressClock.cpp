#include "PressClock.h"

namespace kelvos {
namespace {
thread_local std::optional<quint32> currentPress;
} // namespace

quint32 PressClock::now() const {
    return currentPress ? *currentPress : live_.now();
}

PressClock::Scope::Scope(std::optional<quint32> clockReading) : outer_(currentPress) {
    currentPress = clockReading;
}

PressClock::Scope::~Scope() {
    currentPress = outer_;
}

} // namespace kelvos
