#include "dtmrepo/writers/profile_writer.h"

#include <algorithm>

#include "dtmrepo/writers/profile_sections.h"

namespace dtmrepo {

std::vector<std::string> flatProfileLines(const DescriptionRecord& record) {
    ProfileLines lines;
    writeProfileHeader(record, lines);
    writeDeviceManager(record, lines);
    writeFirstBodyEnd(record, lines);
    writeSecondBody(record, lines);
    return lines;
}

std::string behaviourSourceName(const DescriptionRecord& record) {
    std::string name = record.productId;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name + ".cs";
}

std::string linkedInputName(const DescriptionRecord& record, const VariableEntry& entry) {
    const std::string upper = upperCase(entry.accessLinkName);
    for (const std::string& name : record.accessInNames) {
        if (upperCase(name) == upper) {
            return name;
        }
    }
    return entry.accessLinkName;
}

}  // namespace dtmrepo
