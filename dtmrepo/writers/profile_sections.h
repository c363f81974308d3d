#pragma once

// The parts of the flat profile, each appending its lines in document order.

#include <string>
#include <vector>

#include "dtmrepo/parser/description_record.h"

namespace dtmrepo {

using ProfileLines = std::vector<std::string>;

// From the XML declaration to the first body's device identity.
void writeProfileHeader(const DescriptionRecord& record, ProfileLines& out);
// The EtherNet/IP device manager: CIP identity, mapping, assembly and connection lists.
void writeDeviceManager(const DescriptionRecord& record, ProfileLines& out);
// The first body's device function, application process and end.
void writeFirstBodyEnd(const DescriptionRecord& record, ProfileLines& out);
// The second body with the description's variables, parameters, groups and behaviours, and
// the end of the document.
void writeSecondBody(const DescriptionRecord& record, ProfileLines& out);

// Connection number of the connection whose input assembly is `k` (1, 3, 5, 7): 1 .. 4.
inline int connectionNumber(int k) {
    return (k + 1) / 2;
}

// "P_" + name + "_ID", the uniqueID of a variable's parameter.
inline std::string parameterId(const VariableEntry& entry) {
    return "P_" + entry.varName + "_ID";
}

}  // namespace dtmrepo
