#pragma once

// What an error box of a query says: the failure, then the address it concerns and, where the
// failure's own text does not say it, why.

#include <cstdint>
#include <string>
#include <string_view>

namespace fdr {

std::string errorBoxText(std::string_view failure, std::string_view address, uint16_t port);

}  // namespace fdr
