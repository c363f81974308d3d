// Assemblies: the number that selects one, its connection path and its packet intervals.

#include "dtmrepo/parser/description_parser.h"
#include "dtmrepo/parser/number_text.h"

namespace dtmrepo {

void DescriptionParser::selectAssembly() {
    state_.assemblyOffset = 0;
    if (!passesNumberTest(V1())) {
        error("'assemblyID' not a number!  " + notANumber(V1()) + onLine() +
              "   assemblyID=" + V1());
        return;
    }
    const long long value = integerValue(V1());
    if (value < 1 || value > 8) {
        error("'assemblyID' outside valid range (1-8)!     on line " +
              decimal(state_.descLineNumber) + "   assemblyID=" + V1());
        state_.currentAssembly = 0;
        return;
    }
    state_.currentAssembly = static_cast<int>(value);
}

void DescriptionParser::setAssemblyPath() {
    if (!passesNumberTest(V1())) {
        error("'assemblyPath' not a number!  " + notANumber(V1()) + onLine() +
              "   assemblyPath=" + decimal(state_.currentAssembly));
        return;
    }
    const long long value = integerValue(V1());
    if (value < 101 || value > 108) {
        error("'assemblyPathValue' outside valid range (101-108)!     on line " +
              decimal(state_.descLineNumber) + "   assemblyPathValue=" + V1());
    }
    record_.assemblyPathValue[state_.currentAssembly] = value;
    record_.assemblyPathHex[state_.currentAssembly] = hexText(value);
}

void DescriptionParser::setRpi(std::array<long long, sectionCount>& table, std::string_view name) {
    const std::string keyword(name);
    if (!passesNumberTest(V1())) {
        error("'" + keyword + "' not a number!  " + notANumber(V1()) + onLine() +
              "   assemblyPath=" + decimal(state_.currentAssembly));
        return;
    }
    const long long value = integerValue(V1());
    if (value < 4 || value > 500) {
        error("'" + keyword + "' outside valid range (4-500)!     on line " +
              decimal(state_.descLineNumber) + "   " + keyword + "=" + V1());
    }
    const int assembly = state_.currentAssembly;
    table[assembly] = value;
    // An input assembly's interval also serves the output assembly paired with it, until a
    // line for that one says otherwise.
    if (assembly % 2 == 1) {
        table[assembly + 1] = value;
    }
}

void DescriptionParser::setDefaultRpi() {
    setRpi(record_.defaultRpi, "assemblyDefaultRPI");
}

void DescriptionParser::setMinRpi() {
    setRpi(record_.minRpi, "assemblyMinRPI");
}

void DescriptionParser::setMaxRpi() {
    setRpi(record_.maxRpi, "assemblyMaxRPI");
}

}  // namespace dtmrepo
