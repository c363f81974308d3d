// Variable entries: labels and descriptions, enumerations, warning texts, addresses, access,
// the conditional-access links and the values the writer emits only when given.

#include <algorithm>

#include "dtmrepo/parser/description_parser.h"
#include "dtmrepo/parser/number_text.h"

namespace dtmrepo {

namespace {

bool heldCommas(const LineFields& line) {
    return line.fieldCount > 2;
}

// varAccessIN names match without regard to letter case.
bool isAccessInName(const std::vector<std::string>& names, const std::string& name) {
    const std::string upper = upperCase(name);
    for (const std::string& known : names) {
        if (upperCase(known) == upper) {
            return true;
        }
    }
    return false;
}

}  // namespace

void DescriptionParser::giveAutomaticAddress(VariableEntry& entry) {
    if (entry.varAddress.empty()) {
        entry.varAddress = decimal(state_.nextAddress);
        // One address per element.
        state_.nextAddress += std::max(state_.elementCount, 1LL);
    }
}

void DescriptionParser::setLabel() {
    if (heldCommas(line_)) {
        error("'varLabel' includes commas!  '" + line_.trimmed + "'" + onLine());
    }
    forEachIndex([this](VariableEntry& entry, long long) {
        storeLanguageText(entry.varLabel,
                          {"'varLabel' language in wrong order!",
                           "'varLabel' language not supported!", false, false, true});
        if (heldCommas(line_)) {
            error("'varDesc' includes commas!  '" + line_.trimmed + "'" + onLine());
        }
        storeLanguageText(entry.varDesc, {"'varDesc' language in wrong order!",
                                          "'varDESC' language not supported!", false, false, true});
        // A label also gives the entry its default access and persistence.
        const bool input = state_.entryAssembly % 2 == 1;
        entry.varAccess = input ? "read" : "readWrite";
        giveAutomaticAddress(entry);
        entry.varPersistent = input ? "true" : "false";
    });
}

void DescriptionParser::setDescription() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (heldCommas(line_)) {
            error("'varDesc' includes commas!  '" + line_.trimmed + "'" + onLine());
        }
        storeLanguageText(entry.varDesc, {"'varDesc' language in wrong order!",
                                          "'varDESC' language not supported!", false, false, true});
    });
}

void DescriptionParser::setEnumType() {
    forEachIndex([this](VariableEntry& entry, long long) {
        const std::string type = upperCase(V1());
        if (type != "BYTE" && type != "WORD" && type != "INT") {
            error("'VarENUMtype' must be BYTE, WORD, or INT!  " + notANumber(V1()) + onLine() +
                  currentState());
        }
        entry.enumType = V1();
    });
}

void DescriptionParser::addEnumValue() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (!passesNumberTest(V1())) {
            error("'VarENUMValue' not a number!  " + notANumber(V1()) + onLine() + currentState());
        }
        if (entry.enumValues.size() >= static_cast<size_t>(maxEnumValues)) {
            error("more than " + decimal(maxEnumValues) + " 'VarENUMValue' for one variable!  '" +
                  V1() + "'" + onLine() + currentState());
            return;
        }
        ++record_.enumValueTotal;
        EnumValue value;
        value.value = V1();
        entry.enumValues.push_back(std::move(value));
    });
}

void DescriptionParser::setEnumLabel() {
    if (heldCommas(line_)) {
        error("'varENUMLabel' includes commas!  '" + line_.trimmed + "'" + onLine());
    }
    forEachIndex([this](VariableEntry& entry, long long) {
        if (entry.enumValues.empty()) {
            error("'varENUMLabel' before any 'VarENUMValue'!  '" + V1() + "'" + onLine() +
                  currentState());
            return;
        }
        storeLanguageText(entry.enumValues.back().label,
                          {"'varENUMLabel' language in wrong order!",
                           "'varENUMLabel' language not supported!", false, false, true});
    });
}

void DescriptionParser::setWarningText() {
    forEachIndex([this](VariableEntry& entry, long long) {
        storeLanguageText(entry.varWarning,
                          {"'varWarning' language in wrong order!",
                           "'varWarning' language not supported!", false, false, true});
    });
}

void DescriptionParser::setAddress() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (!passesNumberTest(V1())) {
            error("'VarAddress' not a number!  " + notANumber(V1()) + onLine() + currentState());
        }
        entry.varAddress = V1();
    });
}

void DescriptionParser::setAccess() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (auto name = findName(V1(), variableAccessNames)) {
            entry.varAccess = std::string(*name);
        } else {
            error("'varAccess' not supported!  '" + V1() + "'" + onLine() + currentState());
            entry.varAccess = V1();
        }
        giveAutomaticAddress(entry);
    });
}

void DescriptionParser::setAccessIn() {
    if (state_.entryAssembly != 0) {
        error("'varAccessIN' only supported in confgVars!  '" + V1() + "'" + onLine() +
              currentState());
        return;
    }
    forEachIndex([this](VariableEntry& entry, long long) {
        const std::string upper = upperCase(V1());
        for (const std::string& name : record_.accessInNames) {
            if (upperCase(name) == upper) {
                error("'varAccessIN' name not unique!  '" + V1() + "'" + onLine() + currentState());
                return;
            }
        }
        if (record_.accessInNames.size() >= static_cast<size_t>(maxAccessInNames)) {
            error("more than " + decimal(maxAccessInNames) + " 'varAccessIN' names!  '" + V1() +
                  "'" + onLine() + currentState());
            return;
        }
        record_.accessInNames.push_back(V1());
        entry.accessLink = AccessLink::In;
        entry.accessLinkName = V1();
    });
}

void DescriptionParser::setAccessOut() {
    if (state_.entryAssembly != 0) {
        error("'varAccessOUT' only supported in confgVars!  '" + V1() + "'" + onLine() +
              currentState());
        return;
    }
    forEachIndex([this](VariableEntry& entry, long long) {
        if (!isAccessInName(record_.accessInNames, V1())) {
            error("'varAccessIN' name not matched!  '" + V1() + "'" + onLine() + currentState());
            return;
        }
        entry.accessLink = AccessLink::Out;
        entry.accessLinkName = V1();
    });
}

void DescriptionParser::setDefault() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (entry.varType != "STRING" && !passesNumberTest(V1())) {
            error("'VarDefault' not a number!  " + notANumber(V1()) + onLine() + currentState());
        }
        entry.varDefault = {V1(), true};
    });
}

void DescriptionParser::setLowLimit() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (!passesNumberTest(V1())) {
            error("'VarLoLimit' not a number!  " + notANumber(V1()) + onLine() + currentState());
        }
        entry.varLoLimit = {V1(), true};
    });
}

void DescriptionParser::setHighLimit() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (!passesNumberTest(V1())) {
            error("'VarHiLimit' not a number!  " + notANumber(V1()) + onLine() + currentState());
        }
        entry.varHiLimit = {V1(), true};
    });
}

void DescriptionParser::setUnit() {
    forEachIndex([this](VariableEntry& entry, long long) { entry.varUnit = {V1(), true}; });
}

void DescriptionParser::setPersistent() {
    forEachIndex([this](VariableEntry& entry, long long) {
        if (auto name = findName(V1(), persistenceNames)) {
            entry.varPersistent = std::string(*name);
        } else {
            error("'varPersistent' not supported!  '" + V1() + "'" + onLine() + currentState());
            entry.varPersistent = V1();
        }
    });
}

}  // namespace dtmrepo
