#pragma once

// The device and process-data tables that one run of the decoder fills from a service file and
// that its output writers read. They live for one call.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace svc {

// One InterBus-S device of a Load_Configuration record; every field starts at 0 or empty.
struct SvcDevice {
    int devNumberWord = 0;  // segment in the high byte, position in the low byte
    int busSegment = 0;
    int busPosition = 0;
    int lengthCode = 0;  // bits 7-6 the unit, bits 5-0 the count
    std::string lengthUnitText;
    int idCode = 0;
    int stationClass = 0;
    std::string directionText;
    int hasInput = 0;
    int hasOutput = 0;
    int pcpFlag = 0;
    int pcpNode = 0;
    int pcpLength = 0;
    int deviceLevel = 0;
    int logicalGroup = 0;
    int alternative = 0;
    int errorCharacteristic = 0;
    // Set by the device's input or output reference entry; a device without one has no place
    // in the dual-port memory in that direction (a PCP device, a device the map leaves out).
    int hasInputEntry = 0;
    int hasOutputEntry = 0;
    int inDestAddress = 0;
    int inPdrIndex = 0;
    int outSourceAddress = 0;
    int outPdrIndex = 0;
    int pcpRemoteAddress = 0;
    int pcpMaxPduSending = 0;
    int pcpMaxPduReceiving = 0;
    std::array<int, 4> pcpServices{};  // word 3 is never filled
};

struct SvcDeviceTable {
    static constexpr int maxRow = 600;      // devices are rows 1 to 600
    static constexpr int maxPcpNode = 300;  // PCP node numbers 0 to 300

    std::vector<SvcDevice> rows = std::vector<SvcDevice>(maxRow + 1);
    // The last row filled by a device-number word; the writers walk rows 1 to deviceCount.
    int deviceCount = 0;
    std::array<int, maxPcpNode + 1> pcpNodeDevice{};  // PCP node number to device row

    // What the file held beyond the tables: listed, never stored (see svcTableWarnings).
    long long devicesListed = 0;        // device-number words read
    long long devicesNotStored = 0;     // of those, rows outside 1 to 600
    long long pcpNodesNotStored = 0;    // PCP node numbers handed out beyond 300
    long long referencesNotStored = 0;  // communication references read beyond 300

    // The row to store into, or nullptr when `row` lies outside 1 to 600.
    SvcDevice* row(long long row);
    const SvcDevice* row(long long row) const;
    // The first device row (1 to deviceCount) whose device-number word equals `word`.
    const SvcDevice* findByNumberWord(int word) const;
    SvcDevice* findByNumberWord(int word);
};

// One process-data description (0321) or process-data reference (0325) entry.
struct SvcMapEntry {
    int mapPdrIndex = 0;
    int mapSourceNumber = 0;
    int mapSourceIndex = 0;
    int mapDestination = 0;
    int mapDestinationIndex = 0;
    int mapStartBit = 0;
    int mapDataCons = 0;
    int mapExtensionLength = 0;
    std::string mapExtensionText;
};

struct SvcMapTable {
    static constexpr int maxRow = 1000;  // entries are rows 1 to 1000

    std::vector<SvcMapEntry> rows = std::vector<SvcMapEntry>(maxRow + 1);
    // Running total of the entry counts the records announce; shown in the listing only, since
    // an announced count need not match the entries that follow it.
    long long mapTotal = 0;
    // The highest row that an entry was stored in: the writers walk rows 1 to storedCount.
    int storedCount = 0;
    long long entriesListed = 0;     // entries read from the file
    long long entriesNotStored = 0;  // of those, rows beyond 1000

    // The row to store into (counted in storedCount), or nullptr outside 1 to 1000.
    SvcMapEntry* storeRow(long long row);
};

// The PLC arrays Config and Map of IBS_Manage have 512 places, and a table in them must end
// with an end entry (Segment_Number or PDR_Index 0) that the checksum and transfer blocks stop
// at: so at most 511 devices and 511 entries are written to the PLC files.
inline constexpr int svcPlcArrayEntries = 511;

// One line for each table that the file went beyond: how many the file announced and how many
// were not stored; then one for each table longer than the PLC array, saying how many are left
// out of the PLC files. Empty when everything was stored and written.
// Last, the bus-segment warning below.
std::vector<std::string> svcTableWarnings(const SvcDeviceTable& devices, const SvcMapTable& map);

// A device written to the PLC with bus segment 0 (a device so numbered, or a row that no
// configuration record filled) ends the configuration there: the checksum and transfer blocks
// stop at the first Segment_Number of 0. Names the first such device and what the module
// loses; nothing when every written device has a segment.
std::optional<std::string> svcSegmentZeroWarning(const SvcDeviceTable& devices);

// More devices or map entries than the PLC arrays take: the PLC files configure part of the bus.
bool svcTablesExceedPlcArrays(const SvcDeviceTable& devices, const SvcMapTable& map);

}  // namespace svc
