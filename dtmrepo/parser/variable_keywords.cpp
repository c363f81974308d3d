// Variable entries: the loop that repeats them, the heading that starts one, and its length,
// type (with the byte layout of its assembly) and name.

#include "dtmrepo/parser/description_parser.h"
#include "dtmrepo/parser/number_text.h"

namespace dtmrepo {

VariableEntry* DescriptionParser::entryForIndex(long long index) {
    auto& entries = record_.sections[state_.entryAssembly];
    const long long number = static_cast<long long>(entries.size()) - state_.loopEnd + index;
    if (number >= 1 && number <= static_cast<long long>(entries.size())) {
        return &entries[static_cast<size_t>(number - 1)];
    }
    if (!missingEntryReported_) {
        missingEntryReported_ = true;
        error("'" + line_.field(0) + "' has no variable to describe, 'varHeading' missing!" +
              onLine() + currentState());
    }
    return nullptr;
}

void DescriptionParser::forEachIndex(
    const std::function<void(VariableEntry&, long long index)>& action) {
    // Without an open loop the keyword acts once, on the newest entry.
    const long long first = state_.loopOpen ? state_.loopStart : 0;
    const long long last = state_.loopOpen ? state_.loopEnd : 0;
    for (long long index = first; index <= last; ++index) {
        if (VariableEntry* entry = entryForIndex(index)) {
            action(*entry, index);
        }
    }
}

void DescriptionParser::startLoop() {
    const std::string at = "     on line " + decimal(state_.descLineNumber);
    if (state_.loopOpen) {
        error("Missing 'varEndLoop' before next 'varStartLoop'!" + at);
        return;
    }
    if (line_.fieldCount != 2) {
        error("'varLoopStart' must have 3 fields!" + at);
        return;
    }
    state_.loopOpen = true;
    state_.loopStart = integerValue(V1());
    state_.loopEnd = integerValue(V2());
    if (state_.loopStart > state_.loopEnd) {
        error("varLoopStart must be smaller than varLoopEnd value!" + at);
        state_.loopStart = state_.loopEnd = 0;
    } else if (state_.loopEnd - state_.loopStart > maxLoopSpan) {
        error("varLoopEnd - varLoopStart must be < 500!" + at);
        state_.loopStart = state_.loopEnd = 0;
    }
}

void DescriptionParser::endLoop() {
    if (!state_.loopOpen) {
        error("Missing 'varStartLoop' before next 'varEndLoop'!     on line " +
              decimal(state_.descLineNumber));
        return;
    }
    state_.loopOpen = false;
    state_.loopStart = state_.loopEnd = 0;
}

void DescriptionParser::createEntry() {
    auto& entries = record_.sections[state_.entryAssembly];
    if (entries.size() >= static_cast<size_t>(maxEntriesPerSection)) {
        error("more than " + decimal(maxEntriesPerSection) + " variables in one assembly!" +
              onLine() + currentState());
        return;
    }
    VariableEntry entry;
    entry.varGroup = state_.parGroupDepth >= 1 ? record_.parGroupCount() : 0;
    entries.push_back(std::move(entry));
    state_.stringLength = 0;
}

void DescriptionParser::heading() {
    const std::string kind = upperCase(V1());
    const long long first = state_.loopOpen ? state_.loopStart : 0;
    const long long last = state_.loopOpen ? state_.loopEnd : 0;
    const bool oddAssembly = state_.currentAssembly % 2 == 1;
    int section = 0;
    if (kind == "CONFIGVARS") {
        state_.currentAssembly = 0;
    } else if (kind == "OUTPUTVARS") {
        if (oddAssembly) {
            error("'OUTPUTVARS' not allowed on ODD AssembyID!  '" + V1() + "'" + onLine());
            return;
        }
        section = state_.currentAssembly;
    } else if (kind == "INPUTVARS") {
        if (!oddAssembly) {
            error("'vVARS' not allowed on EVEN AssembyID!  '" + V1() + "'" + onLine());
            return;
        }
        section = state_.currentAssembly;
    } else {
        state_.entryAssembly = 0;
        error("'VarHeading' not supported!  '" + V1() + "'" + onLine());
        return;
    }
    for (long long index = first; index <= last; ++index) {
        state_.entryAssembly = section;
        createEntry();
    }
}

namespace {
constexpr long long kMaxAssemblyBytes = 65535;
}  // namespace

void DescriptionParser::setLength() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (!passesNumberTest(V1())) {
            error("'VarLength' not a number!  " + notANumber(V1()) + onLine() + currentState());
        } else if (integerValue(V1()) <= 0) {
            // A string of no or negative length would move every later offset back.
            error("'VarLength' must be greater than 0!  '" + V1() + "'" + onLine() +
                  currentState());
        }
        entry.varLength = V1();
        state_.stringLength = integerValue(V1());
    });
}

void DescriptionParser::setType() {
    state_.elementCount = 1;
    forEachIndex([this](VariableEntry& entry, long long) {
        const std::string& start = V2();
        const std::string& end = V3();
        entry.arrayStart = 0;
        if (!start.empty()) {
            if (!passesNumberTest(start)) {
                error("'Array Start Index' not a number!  " + notANumber(start) + onLine() +
                      currentState());
            } else if (numericValue(start) > 0) {
                error("'Array Start Index' must start at 0!  '" + start + "' <> '0' on line " +
                      decimal(state_.descLineNumber) + currentState());
            } else {
                entry.arrayStart = integerValue(start);
            }
        }
        entry.arrayEnd = 0;
        if (!end.empty()) {
            if (!passesNumberTest(end)) {
                error("'Array Start Index' not a number!  " + notANumber(end) +
                      " Currentstate=" + decimal(state_.entryAssembly));
            } else if (numericValue(end) <= numericValue(start)) {
                error("'Array Start Index' must be greater than Array End Index!  '" + end +
                      "' < '" + canonicalOf(start) + "'" + onLine() + currentState());
            } else {
                entry.arrayEnd = integerValue(end);
            }
        }
        state_.elementCount = entry.arrayEnd - entry.arrayStart + 1;

        const std::string type = upperCase(V1());
        long long size = 0;
        if (const DataType* known = findDataType(type)) {
            size = type == "STRING" ? state_.stringLength : known->byteSize;
            const long long bytes = state_.elementCount * size;
            long long& assemblyBytes = record_.assemblyByteCount[state_.entryAssembly];
            const bool fitted = assemblyBytes <= kMaxAssemblyBytes;
            assemblyBytes += bytes;
            if (state_.entryAssembly > 0 && fitted && assemblyBytes > kMaxAssemblyBytes) {
                // The profile's sizes and offsets are 16-bit values.
                error("Assembly " + decimal(state_.entryAssembly) + " exceeds " +
                      decimal(kMaxAssemblyBytes) + " bytes (" + decimal(assemblyBytes) + ")" +
                      onLine() + currentState());
            }
            if (state_.entryAssembly > 0) {
                // Assembly 2 follows a 2-byte header, so its 32-bit positions are shifted.
                const long long offset = state_.assemblyOffset;
                const long long position = state_.entryAssembly == 2 ? offset + 2 : offset;
                const bool wide =
                    type == "DWORD" || type == "UDINT" || type == "REAL" || type == "DINT";
                const bool narrow = type == "WORD" || type == "UINT" || type == "INT";
                if (wide && position % 4 != 0) {
                    warning("'" + V1() +
                            "' is not on a 32-bit boundary - Changed to ARRAY of BYTES (" +
                            decimal(offset) + ") AssemblyID=" + decimal(state_.entryAssembly) +
                            " Mod4=" + decimal(position % 4));
                }
                if (narrow && offset % 2 != 0) {
                    warning("'" + V1() +
                            "' is not on a 16-bit boundary - Changed to ARRAY of BYTES (" +
                            decimal(offset) + ") AssemblyID=" + decimal(state_.entryAssembly) +
                            " Mod2=" + decimal(offset % 2));
                }
            }
            state_.assemblyOffset += bytes;
        } else {
            error("'varType' not supported!  '" + V1() + "'" + onLine() + currentState());
        }
        if (type == "STRING" && state_.stringLength == 0) {
            error("'varType' STRING requires varLength to be set first!  '" + V1() + "'" +
                  onLine() + currentState());
        }
        entry.varType = type;
        entry.varByteSize = state_.elementCount * size;
    });
}

void DescriptionParser::setName() {
    const std::string& value = V1();
    if (value.empty()) {
        error("'VarName' is empty!" + onLine() + currentState());
        return;
    }
    std::string base = value;
    if (state_.loopOpen) {
        if (value.find('%') == std::string::npos) {
            error("'VarName' must include '%' for varLoop!  '" + value + "'" + onLine());
        } else {
            base.pop_back();  // the "%" stands at the end
        }
    }
    forEachIndex([this, &base](VariableEntry& entry, long long index) {
        std::string name = base;
        if (state_.loopOpen) {
            const std::string number = std::to_string(index);
            if (number.size() <= 3) {
                name += std::string(3 - number.size(), '0') + number;
            }
        }
        if (state_.allVarNames.count(name) != 0) {
            error("'VarName' not unique!  '" + name + "'" + onLine());
        } else if (state_.allVarNames.size() >= static_cast<size_t>(maxVariableNames)) {
            error("more than " + decimal(maxVariableNames) + " variable names in one file!  '" +
                  name + "'" + onLine());
        } else {
            state_.allVarNames.insert(name);
        }
        entry.varName = name;
    });
}

}  // namespace dtmrepo
