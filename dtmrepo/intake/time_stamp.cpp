#include "dtmrepo/intake/time_stamp.h"

#include <cstdio>
#include <ctime>

namespace dtmrepo {

TimeStamp timeStampAt(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&seconds)) {
        local = *converted;
    }
    // Tenths of microseconds within the second: the seven fraction digits.
    const auto sinceSecond = now - std::chrono::system_clock::from_time_t(seconds);
    long long ticks =
        std::chrono::duration_cast<std::chrono::nanoseconds>(sinceSecond).count() / 100;
    if (ticks < 0 || ticks > 9999999) {
        ticks = 0;
    }
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", (local.tm_year + 1900) % 10000,
                  (local.tm_mon + 1) % 100, local.tm_mday % 100);
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d.%07lld+1:00", local.tm_hour % 100,
                  local.tm_min % 100, local.tm_sec % 100, ticks);
    return {date, time};
}

TimeStamp currentTimeStamp() {
    return timeStampAt(std::chrono::system_clock::now());
}

}  // namespace dtmrepo
