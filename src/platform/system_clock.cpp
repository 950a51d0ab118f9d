// system_clock.cpp: the millisecond system clock on the monotonic clock.
#include "platform/system_clock.h"

#include <chrono>
#include <thread>

// Milliseconds of the steady clock since the first call.
uint32_t time_get_time() {
    static const auto start = std::chrono::steady_clock::now();
    auto elapsed = std::chrono::steady_clock::now() - start;
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void sleep_milliseconds(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
