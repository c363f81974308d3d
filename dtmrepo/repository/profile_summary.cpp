#include "dtmrepo/repository/profile_summary.h"

#include <array>

#include "dtmrepo/parser/number_text.h"
#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/quoted_values.h"

namespace dtmrepo {

namespace {

// The last of the type elements "<BOOL/>" ... that the line holds, or null.
const DataType* typeElement(std::string_view line) {
    const DataType* found = nullptr;
    for (const DataType& type : dataTypes) {
        if (line.find("<" + std::string(type.name) + "/>") != std::string_view::npos) {
            found = &type;
        }
    }
    return found;
}

// Bytes as the DTM counts them: an enumeration of the profile takes none of its own, and a
// STRING's size comes from its declaration.
long long bytesOf(const DataType& type) {
    return type.name == "ENUM" || type.name == "STRING" ? 0 : type.byteSize;
}

bool holds(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

long long number(std::string_view text) {
    return integerValue(text);
}

}  // namespace

void ProfileScanner::line(std::string_view text) {
    // Connection paths: "20 04 24 64 2C <output path> 2C <input path>", one pair per line.
    if (holds(text, "<ePath ")) {
        const std::string path = quotedValue(text, 2);
        auto digits = [&path](size_t at) {
            return path.size() >= at + 2 ? hexValue(path.substr(at, 2)) : 0;
        };
        if (nextPathAssembly_ + 1 < static_cast<int>(summary_.assemblyPath.size())) {
            summary_.assemblyPath[nextPathAssembly_] = digits(21);
            summary_.assemblyPath[nextPathAssembly_ + 1] = digits(15);
        }
        nextPathAssembly_ += 2;
    }
    if (holds(text, "<cipAssemblyList>")) {
        inAssemblyList_ = true;
    }
    if (holds(text, "</cipAssemblyList>")) {
        inAssemblyList_ = false;
    }
    if (holds(text, "<O2T_RPI>") || holds(text, "<T2O_RPI>")) {
        inRpiReference_ = true;
    }
    if (holds(text, "</O2T_RPI>") || holds(text, "</T2O_RPI>")) {
        inRpiReference_ = false;
    }
    if (inRpiReference_ && holds(text, "parameterIDRef=") &&
        rpiNames_.size() + 1 < summary_.rpi.size()) {
        rpiNames_.push_back(quotedValue(text, 1));
    }
    for (size_t n = 1; n <= rpiNames_.size() && n <= summaryAssemblies; ++n) {
        if (!rpiNames_[n - 1].empty() && holds(text, rpiNames_[n - 1])) {
            currentRpi_ = static_cast<int>(n);
        }
    }
    if (currentRpi_ != 0 && holds(text, "defaultValue")) {
        summary_.rpi[currentRpi_] = quotedValue(text, 2);
        currentRpi_ = 0;
    }
    if (inAssemblyList_ && holds(text, "assemblyID=")) {
        currentAssembly_ = quotedValue(text, 1);
    }
    if (holds(text, "assemblySize")) {
        for (int n = 1; n <= summaryAssemblies; ++n) {
            if (currentAssembly_ == "Assem0" + std::to_string(n)) {
                // Assemblies 1 and 2 carry the module's own header bytes.
                const long long header = n == 1 ? 72 : n == 2 ? 26 : 0;
                summary_.assemblySize[n] = number(quotedValue(text, 1)) - header;
            }
        }
    }
    if (inAssemblyList_ && holds(text, "parameterIDRef=") &&
        summary_.members.size() < summaryCapacity) {
        AssemblyMember member;
        member.parameterName = quotedValue(text, 1);
        member.assemblyName = currentAssembly_;
        summary_.members.push_back(std::move(member));
    }
    if (holds(text, "<array ")) {
        arrayOpen_ = arrays_.size() < summaryCapacity;
        subrangeSeen_ = false;
        if (arrayOpen_) {
            ArrayType array;
            array.identifier = quotedValue(text, 2);
            arrays_.push_back(std::move(array));
        }
    }
    if (arrayOpen_ && holds(text, "<subrange ")) {
        arrays_.back().start = number(quotedValue(text, 1));
        arrays_.back().end = number(quotedValue(text, 2));
        subrangeSeen_ = true;
    } else if (arrayOpen_ && subrangeSeen_) {
        if (const DataType* type = typeElement(text)) {
            arrays_.back().elementType = std::string(type->name);
            arrays_.back().elementSize = bytesOf(*type);
            arrayOpen_ = false;
        }
    }
    if (holds(text, "<inputVars>") || holds(text, "<outputVars>")) {
        inVariableList_ = true;
    }
    if (holds(text, "</inputVars>") || holds(text, "</outputVars>")) {
        inVariableList_ = false;
    }
    if (inVariableList_) {
        if (holds(text, "<varDeclaration ")) {
            if (variables_.size() < summaryCapacity) {
                Variable variable;
                variable.name = quotedValue(text, 2);
                variable.sizeText = quotedValue(text, 3);
                variables_.push_back(std::move(variable));
            }
        } else if (holds(text, "<dataTypeIDRef ")) {
            const std::string reference = quotedValue(text, 1);
            for (const ArrayType& array : arrays_) {
                if (array.identifier == reference && !variables_.empty()) {
                    variables_.back().type = "ARRAY[" + std::to_string(array.start) + ".." +
                                             std::to_string(array.end) + "] of " +
                                             array.elementType;
                    variables_.back().byteCount = (array.end + 1) * array.elementSize;
                }
            }
        } else if (const DataType* type = typeElement(text);
                   type != nullptr && !variables_.empty()) {
            variables_.back().type = std::string(type->name);
            variables_.back().byteCount =
                type->name == "STRING" ? number(variables_.back().sizeText) : bytesOf(*type);
        }
    }
    if (holds(text, "<parameter ")) {
        const std::string name = quotedValue(text, 1);
        currentMember_ = -1;
        for (size_t m = 0; m < summary_.members.size(); ++m) {
            if (summary_.members[m].parameterName == name) {
                currentMember_ = static_cast<int>(m);
            }
        }
    }
    if (currentMember_ >= 0) {
        AssemblyMember& member = summary_.members[static_cast<size_t>(currentMember_)];
        if (holds(text, "<variableIDRef ")) {
            const std::string name = quotedValue(text, 1);
            for (const Variable& variable : variables_) {
                if (variable.name == name) {
                    member.type = variable.type;
                    member.byteCount = variable.byteCount;
                }
            }
        }
        if (holds(text, "Address")) {
            member.address = quotedValue(text, 2);
        }
    }
}

}  // namespace dtmrepo
