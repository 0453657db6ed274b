// The system's clocks: the boot-time millisecond count and a steady clock.
#include "platform/clocks.h"

#include <chrono>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

unsigned bootMillis() {
#if defined(_WIN32)
    return GetTickCount();
#else
    // CLOCK_BOOTTIME counts from the system's start, suspended time included,
    // as the Windows tick count does.
    timespec t{};
    if (clock_gettime(CLOCK_BOOTTIME, &t) != 0) clock_gettime(CLOCK_MONOTONIC, &t);
    const std::uint64_t ms = std::uint64_t(t.tv_sec) * 1000u + std::uint64_t(t.tv_nsec) / 1000000u;
    return unsigned(ms & 0xFFFFFFFFu);
#endif
}

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
