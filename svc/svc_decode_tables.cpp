#include "svc/svc_decode_tables.h"

#include <algorithm>
#include <optional>
#include <string>

namespace svc {

SvcDevice* SvcDeviceTable::row(long long row) {
    if (row < 1 || row > maxRow) {
        return nullptr;
    }
    return &rows[static_cast<std::size_t>(row)];
}

const SvcDevice* SvcDeviceTable::row(long long row) const {
    return const_cast<SvcDeviceTable*>(this)->row(row);
}

SvcDevice* SvcDeviceTable::findByNumberWord(int word) {
    const int last = std::min(deviceCount, maxRow);
    for (int k = 1; k <= last; ++k) {
        if (rows[static_cast<std::size_t>(k)].devNumberWord == word) {
            return &rows[static_cast<std::size_t>(k)];
        }
    }
    return nullptr;
}

const SvcDevice* SvcDeviceTable::findByNumberWord(int word) const {
    return const_cast<SvcDeviceTable*>(this)->findByNumberWord(word);
}

SvcMapEntry* SvcMapTable::storeRow(long long row) {
    if (row < 1 || row > maxRow) {
        return nullptr;
    }
    storedCount = std::max(storedCount, static_cast<int>(row));
    return &rows[static_cast<std::size_t>(row)];
}

std::vector<std::string> svcTableWarnings(const SvcDeviceTable& devices, const SvcMapTable& map) {
    std::vector<std::string> warnings;
    const auto count = [](long long n) { return std::to_string(n); };
    if (devices.devicesNotStored > 0) {
        warnings.push_back("WARNING: " + count(devices.devicesListed) + " devices announced, " +
                           count(devices.devicesNotStored) +
                           " not stored: the device table holds rows 1 to " +
                           count(SvcDeviceTable::maxRow));
    }
    if (map.entriesNotStored > 0) {
        warnings.push_back("WARNING: " + count(map.entriesListed) + " MAP entries announced, " +
                           count(map.entriesNotStored) +
                           " not stored: the MAP table holds rows 1 to " +
                           count(SvcMapTable::maxRow));
    }
    if (devices.pcpNodesNotStored > 0) {
        warnings.push_back("WARNING: " + count(devices.pcpNodesNotStored) +
                           " PCP nodes beyond node " + count(SvcDeviceTable::maxPcpNode) +
                           " are listed but not stored");
    }
    if (devices.referencesNotStored > 0) {
        warnings.push_back("WARNING: " + count(devices.referencesNotStored) +
                           " communication references beyond " + count(SvcDeviceTable::maxPcpNode) +
                           " are listed but not stored");
    }
    const auto warnPlcArray = [&](long long rows, const char* what) {
        if (rows > svcPlcArrayEntries) {
            warnings.push_back("WARNING: " + count(rows) + " " + what +
                               ", but the PLC array holds " + count(svcPlcArrayEntries) +
                               " and its end entry; only the first " + count(svcPlcArrayEntries) +
                               " are written, " + count(rows - svcPlcArrayEntries) +
                               " are left out");
        }
    };
    warnPlcArray(devices.deviceCount, "devices");
    warnPlcArray(map.storedCount, "MAP entries");
    if (std::optional<std::string> segmentZero = svcSegmentZeroWarning(devices)) {
        warnings.push_back(std::move(*segmentZero));
    }
    return warnings;
}

std::optional<std::string> svcSegmentZeroWarning(const SvcDeviceTable& devices) {
    const int last = std::min({devices.deviceCount, SvcDeviceTable::maxRow, svcPlcArrayEntries});
    int first = 0;
    int count = 0;
    for (int k = 1; k <= last; ++k) {
        if (devices.rows[static_cast<std::size_t>(k)].busSegment == 0) {
            first = first == 0 ? k : first;
            ++count;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    const SvcDevice& device = devices.rows[static_cast<std::size_t>(first)];
    std::string text = "WARNING: device " + std::to_string(first) + " (Node_0." +
                       std::to_string(device.busPosition) +
                       ") has bus segment 0, which the PLC reads as the end of its "
                       "configuration: ";
    text += first == last ? "the module does not get it"
                          : "the module gets none of devices " + std::to_string(first) + " to " +
                                std::to_string(last);
    if (count > 1) {
        text += count == 2 ? std::string(" (1 more device has bus segment 0)")
                           : " (" + std::to_string(count - 1) + " more devices have bus segment 0)";
    }
    return text;
}

bool svcTablesExceedPlcArrays(const SvcDeviceTable& devices, const SvcMapTable& map) {
    return devices.deviceCount > svcPlcArrayEntries || map.storedCount > svcPlcArrayEntries;
}

}  // namespace svc
