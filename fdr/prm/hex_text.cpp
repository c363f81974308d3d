#include "fdr/prm/hex_text.h"

#include <cstdio>

namespace fdr {

std::string hexText(unsigned long value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*lX", digits, value);
    return text;
}

}  // namespace fdr
