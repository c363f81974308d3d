#pragma once

// The creation date and time written into a profile.

#include <chrono>
#include <string>

namespace dtmrepo {

struct TimeStamp {
    std::string date;  // yyyy-mm-dd
    std::string time;  // hh:mm:ss, a point and seven fraction digits, then "+1:00"
};

// The local date and time at `now`.
TimeStamp timeStampAt(std::chrono::system_clock::time_point now);
TimeStamp currentTimeStamp();

}  // namespace dtmrepo
