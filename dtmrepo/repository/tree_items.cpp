#include "dtmrepo/repository/tree_items.h"

#include "dtmrepo/parser/number_text.h"
#include "dtmrepo/quoted_values.h"

namespace dtmrepo {

namespace {

bool holds(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// A member that the DTM cannot read in place, off its natural boundary, is shown as the bytes
// it occupies.
std::string shownType(const AssemblyMember& member, long long offset) {
    const std::string& type = member.type;
    const bool wide = holds(type, "DINT") || holds(type, "DWORD") || holds(type, "REAL");
    const bool narrow = holds(type, "INT") || holds(type, "UINT") || holds(type, "WORD");
    if ((offset % 4 != 0 && wide) || (offset % 2 != 0 && narrow)) {
        return "ARRAY[0.." + std::to_string(member.byteCount - 1) + "] of BYTE";
    }
    if (type == "STRING") {
        return type + "[" + std::to_string(member.byteCount) + "]";
    }
    return type;
}

void addDirection(std::vector<TreeItemText>& items, const ProfileSummary& summary, bool input) {
    const int first = input ? 1 : 2;
    const long long header = input ? 72 : 26;
    long long total = 0;
    for (int n = first; n <= summaryAssemblies; n += 2) {
        total += summary.assemblySize[n];
    }
    items.push_back({std::string(input ? "Input" : "Output") + " Byte Count = " +
                         std::to_string(total) + " (" + std::to_string(total + header) + ")",
                     0});
    const int directionItem = static_cast<int>(items.size()) - 1;
    for (int n = first; n <= summaryAssemblies; n += 2) {
        const long long size = summary.assemblySize[n];
        if (size <= 0) {
            continue;
        }
        const long long path = summary.assemblyPath[n];
        std::string text = "assemblyID = " + std::to_string(n) +
                           ", Path = " + std::to_string(path) + ", Instance = x" +
                           hexText(path + 9910) + ", File = " + std::to_string(path + 57999) +
                           ", RPI = " + summary.rpi[n] + ", Byte Count = " + std::to_string(size);
        if (n == first) {
            text += " (" + std::to_string(size + header) + ")";
        }
        items.push_back({text, directionItem});
        const int assemblyItem = static_cast<int>(items.size()) - 1;
        const std::string assemblyName = "Assem0" + std::to_string(n);
        long long offset = 0;
        for (const AssemblyMember& member : summary.members) {
            if (member.assemblyName != assemblyName) {
                continue;
            }
            items.push_back({trimmedBy(member.parameterName, 2, 3) + ",  " +
                                 shownType(member, offset) + ",  " +
                                 (member.address.empty() ? "N/A" : member.address) + ",  " +
                                 std::to_string(offset),
                             assemblyItem});
            offset += member.byteCount;
        }
    }
}

void addInstalledDirection(std::vector<TreeItemText>& items, const DescriptionRecord& r,
                           bool input) {
    const int first = input ? 1 : 2;
    const long long header = input ? 72 : 26;
    const long long total = input ? r.inputByteCount() : r.outputByteCount();
    items.push_back({std::string(input ? "Input" : "Output") + " Byte Count = " +
                         std::to_string(total) + " (" + std::to_string(total + header) + ")",
                     0});
    const int directionItem = static_cast<int>(items.size()) - 1;
    for (int n = first; n < sectionCount; n += 2) {
        if (r.entryCount(n) == 0) {
            continue;
        }
        const long long path = r.assemblyPathValue[n];
        const long long bytes = r.assemblyByteCount[n];
        std::string text = "assemblyID = " + std::to_string(n) +
                           ", Path = " + std::to_string(path) + ", Instance = x" +
                           hexText(path + 9910) + ", File = " + std::to_string(path + 57999) +
                           ", RPI = " + std::to_string(r.defaultRpi[n]) +
                           ", Byte Count = " + std::to_string(bytes);
        if (n == first) {
            text += " (" + std::to_string(bytes + header) + ")";
        }
        items.push_back({text, directionItem});
        const int assemblyItem = static_cast<int>(items.size()) - 1;
        long long offset = 0;
        for (const VariableEntry& v : r.sections[n]) {
            // Assembly 2 follows a 2-byte header, so its 32-bit positions are shifted.
            const long long position = n == 2 ? offset + 2 : offset;
            const std::string& type = v.varType;
            const bool wide =
                type == "DINT" || type == "UDINT" || type == "DWORD" || type == "REAL";
            const bool narrow = type == "INT" || type == "UINT" || type == "WORD";
            std::string shown = v.isArray() ? "ARRAY[" + std::to_string(v.arrayStart) + ".." +
                                                  std::to_string(v.arrayEnd) + "] of " + type
                                            : type;
            if ((wide && position % 4 != 0) || (narrow && offset % 2 != 0)) {
                shown = "ARRAY[0.." + std::to_string(v.varByteSize - 1) + "] of BYTE";
            }
            const std::string value = v.varDefault.text.empty() ? "N/A" : v.varDefault.text;
            if (type == "STRING") {
                shown += "[" + std::to_string(v.varByteSize) + "]";
            }
            items.push_back(
                {v.varName + ",  " + shown + ",  " + value + ",  " + std::to_string(offset),
                 assemblyItem});
            offset += v.varByteSize;
        }
    }
}

}  // namespace

std::vector<TreeItemText> installedEntryItems(const std::string& key,
                                              const DescriptionRecord& record) {
    std::vector<TreeItemText> items;
    items.push_back({key, -1});
    items.push_back({"Ver. " + record.swVersion, 0});
    addInstalledDirection(items, record, true);
    addInstalledDirection(items, record, false);
    return items;
}

std::vector<TreeItemText> entryTreeItems(const std::string& key, const std::string& versionText,
                                         const ProfileSummary& summary) {
    std::vector<TreeItemText> items;
    items.push_back({key, -1});
    items.push_back({versionText, 0});
    addDirection(items, summary, true);
    addDirection(items, summary, false);
    return items;
}

}  // namespace dtmrepo
