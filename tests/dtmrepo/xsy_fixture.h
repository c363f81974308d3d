#pragma once

// Unity Pro variables exports (.xsy) of a device's IODDT, written from the exchange format:
// the data block with the device variable, then the input and output type sources with one
// "<variables>" element per member, each with its comment line.

#include <string>
#include <vector>

namespace dtmrepo_test {

struct XsyMember {
    std::string name, type, comment;  // an empty comment: no comment line
};

std::string xsyExport(const std::string& deviceVariable, const std::string& version,
                      const std::vector<XsyMember>& inputs, const std::vector<XsyMember>& outputs);

// The members of a pump module's export: the status words first in each type, a spare and a
// four-byte array among the inputs.
std::vector<XsyMember> pumpInputs();
std::vector<XsyMember> pumpOutputs();

}  // namespace dtmrepo_test
