#pragma once

#include <string>

namespace fdr {

// `value` as `digits` upper-case hexadecimal digits (more when it needs them).
std::string hexText(unsigned long value, int digits);

}  // namespace fdr
