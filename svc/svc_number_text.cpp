#include "svc/svc_number_text.h"

#include <cmath>
#include <cstdio>

namespace svc {
namespace {

std::string upperHex(unsigned value, int minimumDigits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", minimumDigits, value);
    return buffer;
}

}  // namespace

std::string decimalText(long long value) {
    return std::to_string(value);
}

std::string hexText(long long value) {
    return upperHex(static_cast<unsigned>(value) & 0xFFFFu, 1);
}

std::string hex4Text(long long value) {
    return upperHex(static_cast<unsigned>(value) & 0xFFFFu, 4);
}

std::string hex2Text(long long value) {
    return upperHex(static_cast<unsigned>(value) & 0xFFu, 2);
}

std::string realText(double value) {
    if (value == 0.0) {
        return "0";  // also for -0.0
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

long long roundHalfEven(double value) {
    // The default floating-point rounding mode rounds a half to the even neighbour.
    return static_cast<long long>(std::nearbyint(value));
}

}  // namespace svc
