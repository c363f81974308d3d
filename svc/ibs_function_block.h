#pragma once

// The FBSource serialisation shared by the two function blocks of the IBS template set.

#include <ostream>
#include <string>
#include <vector>

namespace svc {

struct IbsPin {
    std::string name;
    std::string typeName;
    int position = 0;
};

struct IbsLocalVariable {
    std::string name;
    std::string typeName;
    std::vector<std::string> initialValues;  // element values by index; empty: one-line form
};

struct IbsFunctionBlock {
    std::string name;
    std::vector<IbsPin> pins;
    bool hasPublicLocals = false;
    std::vector<IbsLocalVariable> publicLocals;
    std::vector<IbsLocalVariable> privateLocals;
    std::string programName;
    std::string programText;  // lines separated by LF, written from column 1
};

void printIbsFunctionBlock(std::ostream& out, const IbsFunctionBlock& block);

}  // namespace svc
