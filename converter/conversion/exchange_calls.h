#pragma once

// The exchange call that the PMEDWL module needs at each communication marker that Fennick left
// in its IBY_READ_VAR, IBY_WRITE_VAR and IBY_SEND_REQ blocks (the dynamic SEND_REQ marker holds
// the SEND_REQ text too). The call goes in front of the marker line.

#include <string>
#include <string_view>
#include <vector>

namespace vornick {

// Appends to `out` the lines to write before `line`: none for a line without a marker, one
// DATA_EXCH call for each marker text it holds.
void exchangeCallsBefore(std::string_view line, std::vector<std::string>& out);

}  // namespace vornick
