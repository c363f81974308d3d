#include "svc/svc_spreadsheet.h"

#include <algorithm>
#include <string>

#include "svc/svc_exchange_text.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

void putRow(std::ostream* file, std::ostream* console, const std::string& row) {
    if (console != nullptr) {
        *console << row << '\n';
    }
    if (file != nullptr) {
        putLine(*file, row);
    }
}

std::string plcWord(SvcModuleContext module, double wordNumber) {
    return decimalText(module.moduleRack) + "." + decimalText(module.moduleSlot) + ".0." +
           decimalText(roundHalfEven(wordNumber));
}

// "x" and four hexadecimal digits, appended rather than "x" + temporary, on which GCC 12 warns
// falsely (-Wrestrict).
std::string xHex4(long long value) {
    std::string text = "x";
    text += hex4Text(value);
    return text;
}

// Word w of a device: the identity columns on its first row only. A direction without a
// reference entry has no address to show: its columns stay empty rather than show the
// dual-port base taken from 0.
std::string deviceRow(const SvcDevice& device, int w, SvcModuleContext module) {
    std::string fields[11];
    if (w == 0) {
        fields[0] = decimalText(device.busSegment);
        fields[1] = decimalText(device.busPosition);
        fields[2] = decimalText(device.idCode);
        fields[3] = decimalText(device.lengthCode);
        fields[4] = decimalText(device.pcpLength);
    }
    if (device.hasInput == 1 && device.hasInputEntry == 1) {
        if (w == 0) {
            fields[5] = xHex4(device.inPdrIndex);
        }
        fields[6] = xHex4(device.inDestAddress + 2 * w);
        fields[7] = plcWord(module, (device.inDestAddress - 512) / 2.0 + w);
    }
    if (device.hasOutput == 1 && device.hasOutputEntry == 1) {
        if (w == 0) {
            fields[8] = xHex4(device.outPdrIndex);
        }
        fields[9] = xHex4(device.outSourceAddress + 2 * w);
        fields[10] = plcWord(module, device.outSourceAddress / 2.0 + w);
    }
    std::string row = fields[0];
    for (int i = 1; i < 11; ++i) {
        row += "," + fields[i];
    }
    return row;
}

}  // namespace

void writeSvcSpreadsheet(std::ostream* file, std::ostream* console, const SvcDeviceTable& devices,
                         SvcModuleContext module) {
    if (console != nullptr) {
        *console << '\n';
    }
    putRow(file, console, svcSpreadsheetHeader);
    const int last = std::min(devices.deviceCount, SvcDeviceTable::maxRow);
    for (int k = 1; k <= last; ++k) {
        const SvcDevice& device = *devices.row(k);
        // The whole length code counts the rows, the unit bits included.
        for (int w = 0; w < device.lengthCode; ++w) {
            putRow(file, console, deviceRow(device, w, module));
        }
    }
}

}  // namespace svc
