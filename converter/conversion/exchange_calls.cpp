#include "converter/conversion/exchange_calls.h"

#include "converter/format/xef_line.h"

namespace vornick {
namespace {

// A READ_VAR sends its request words from EMIS.
constexpr std::string_view readVarCall[] = {
    "\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),",
    "       \t\tTYP := 1 (*INT*),",
    "       \t\tEMIS := EMIS (*ANY_ARRAY_INT*),",
    "       \t\tGEST := GEST (*ANY_ARRAY_INT*),",
    "       \t\tRECP =&gt; RECP (*ANY_ARRAY_INT*));",
};

// WRITE_VAR and SEND_REQ send theirs from Output_Data.
constexpr std::string_view outputDataCall[] = {
    "\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),",
    "\t\tTYP := 1 (*INT*),",
    "\t\tEMIS := Output_Data (*ANY_ARRAY_INT*),",
    "\t\tGEST := GEST (*ANY_ARRAY_INT*),",
    "\t\tRECP =&gt; RECP (*ANY_ARRAY_INT*));",
};

template <std::size_t N>
void append(const std::string_view (&lines)[N], std::vector<std::string>& out) {
    for (std::string_view line : lines) {
        out.emplace_back(line);
    }
}

}  // namespace

void exchangeCallsBefore(std::string_view line, std::vector<std::string>& out) {
    if (holds(line, "READ_VAR_DATA_EXCH")) {
        append(readVarCall, out);
    }
    if (holds(line, "WRITE_VAR_DATA_EXCH")) {
        append(outputDataCall, out);
    }
    if (holds(line, "SEND_REQ_DATA_EXCH")) {
        append(outputDataCall, out);
    }
}

}  // namespace vornick
