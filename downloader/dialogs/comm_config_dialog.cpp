#include "downloader/dialogs/comm_config_dialog.h"

#include "downloader/comm_config.h"
#include "downloader/connection.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/ethernet_check.h"
#include "downloader/module_services.h"

namespace ui = platform::ui;

namespace {

struct BaudEntry {
    const char* text;
    uint16_t code;
};
// 57600 (0x1100) is not offered; a port set to it shows its own rate (see ShowBaud).
constexpr BaudEntry kBaudEntries[] = {{"1200", 0x0700}, {"2400", 0x0900},  {"4800", 0x0B00},
                                      {"9600", 0x0D00}, {"19200", 0x0F00}, {"38400", 0x1000}};
constexpr int kBaudEntryCount = 6;
constexpr int kDefaultBaudEntry = 3;  // 9600

constexpr uint32_t kDefaultIp = 0x0A0A0A0A;      // 10.10.10.10
constexpr uint32_t kDefaultSubnet = 0xFF000000;  // 255.0.0.0

constexpr const char* kNotKrtText =
    "Communication configuration is invalid\r\nfor non xKRT modules";

struct PortControls {
    int baud, parity, drop;
    CommConfigWord word;
};
constexpr PortControls kPorts[] = {
    {IDC_CFG_BAUD_1, IDC_CFG_PARITY_1, IDC_CFG_DROP_1, kSerialPort1Word},
    {IDC_CFG_BAUD_2, IDC_CFG_PARITY_2, IDC_CFG_DROP_2, kSerialPort2Word}};

void StopMessage(ui::Window self, const char* text, const char* caption) {
    ui::ShowMessageBox(self, text, caption, ui::Buttons::Ok, ui::Icon::Stop);
}

// The busy answer: a job still holds the one connection.
bool RefuseWhileBusy(ui::Window self, const char* text) {
    if (CurrentConnection == nullptr)
        return false;
    ui::ShowMessageBox(self, text, "Communications Warning");
    return true;
}

void FillBaudList(ui::Window self, int id) {
    ui::ClearItems(self, id);
    for (const BaudEntry& entry : kBaudEntries) {
        ui::AddItem(self, id, entry.text, entry.code);
    }
}

void FillLists(ui::Window self) {
    for (const PortControls& port : kPorts) {
        FillBaudList(self, port.baud);
        ui::AddItem(self, port.parity, "Even", 0);
        ui::AddItem(self, port.parity, "None", kNoParityBit);
    }
}

// Selects the port's rate. A rate the list lacks (57600, or a code of another firmware) is
// added as the module reports it, so that a Write keeps it unless the user picks another: a
// serial peer on that port is not cut off by an edit of some other field.
void ShowBaud(ui::Window self, int id, uint16_t portWord) {
    FillBaudList(self, id);
    for (int i = kBaudEntryCount - 1; i >= 0; --i) {
        if (kBaudEntries[i].code == PortBaudCode(portWord)) {
            ui::SelectItem(self, id, i);
            return;
        }
    }
    const uint16_t code = PortBaudCode(portWord);
    ui::SelectItem(self, id, ui::AddItem(self, id, BaudRateText(code), code));
}

void ShowBlock(ui::Window self) {
    for (const PortControls& port : kPorts) {
        const uint16_t word = commConfig[port.word];
        ui::SetItemText(self, port.drop, std::to_string(PortDrop(word)));
        ShowBaud(self, port.baud, word);
        ui::SelectItem(self, port.parity, word >> 15);
    }
    ui::SetItemText(self, IDC_CFG_TCP_PORT, std::to_string(commConfig[kTcpPortWord]));
    ui::SetItemText(self, IDC_CFG_ETHERNET_DROP,
                    std::to_string(commConfig[kEthernetDropWord] & 0xFF));
    ui::SetIpAddress(self, IDC_CFG_IP, AddressFromWords(commConfig, kIpAddressWord));
    ui::SetIpAddress(self, IDC_CFG_SUBNET, AddressFromWords(commConfig, kSubnetMaskWord));
    ui::SetIpAddress(self, IDC_CFG_GATEWAY, AddressFromWords(commConfig, kGatewayWord));
}

// False when the module could not be read (the user has been told).
bool Query(ui::Window self) {
    if (RefuseWhileBusy(self, "Device is busy with another operation"))
        return true;
    switch (ConnectModule()) {
        case ModuleJob::kNotOpened:
            return false;  // one box: the opener's, which names the port or address
        case ModuleJob::kFailed:
            StopMessage(self, "Failed to contact the module", "Communications error");
            return false;
        case ModuleJob::kNotKrt:
            StopMessage(self, kNotKrtText, "Configuration invalid");
            return false;
        case ModuleJob::kDone:
            ShowBlock(self);
            return true;
    }
    return false;
}

// A number field of the block and what it takes. A serial drop of 0 is the broadcast no slave
// answers, and 248 to 254 are reserved; 255 is the drop a module leaves the factory with (and
// Defaults shows). The Ethernet drop may also be 0, the unit most Modbus/TCP clients send.
struct NumberField {
    int id;
    int64_t lowest;
    int64_t highest;
    bool also255;
    const char* refusal;
};
constexpr NumberField kPort1Drop{IDC_CFG_DROP_1, 1, 247, true,
                                 "Port 1 drop must be a numeric value \r\nbetween 1-247 "
                                 "inclusively, or 255"};
constexpr NumberField kPort2Drop{IDC_CFG_DROP_2, 1, 247, true,
                                 "Port 2 drop must be a numeric value \r\nbetween 1-247 "
                                 "inclusively, or 255"};
constexpr NumberField kEthernetDrop{IDC_CFG_ETHERNET_DROP, 0, 247, true,
                                    "Ethernet drop must be a numeric value \r\nbetween 0-247 "
                                    "inclusively, or 255"};
constexpr NumberField kListenPort{
    IDC_CFG_TCP_PORT, 1, 65535, false,
    "Ethernet listen port must be a numeric value \r\nbetween 1-65535 inclusively"};

// The field's text, wholly digits (an empty field, "1a" or a blank is refused, never read as 0
// or 1), inside the field's range. False with the field's refusal shown.
bool ReadField(ui::Window self, const NumberField& field, uint16_t& value) {
    const std::string text = ui::GetItemText(self, field.id);
    int64_t number = 0;
    bool digits = !text.empty() && text.size() <= 5;
    for (char c : text) {
        digits = digits && c >= '0' && c <= '9';
        number = number * 10 + (c - '0');
    }
    if (digits &&
        ((number >= field.lowest && number <= field.highest) || (field.also255 && number == 255))) {
        value = static_cast<uint16_t>(number);
        return true;
    }
    StopMessage(self, field.refusal, "Value error");
    return false;
}

// Asks before an address the Ethernet port could not be reached at; No (the default) writes
// nothing.
bool ConfirmEthernet(ui::Window self, uint32_t ip, uint32_t mask) {
    const std::vector<std::string> doubts = EthernetDoubts(ip, mask);
    if (doubts.empty())
        return true;
    std::string text;
    for (const std::string& doubt : doubts)
        text += doubt + "\r\n";
    text += "Write the configuration to the module anyway?";
    return ui::ShowMessageBox(self, text, "Configure Communications", ui::Buttons::YesNo,
                              ui::Icon::Warning) == ui::Answer::Yes;
}

intptr_t SelectedData(ui::Window self, int id) {
    const int index = ui::SelectedItem(self, id);
    return index < 0 ? 0 : ui::ItemData(self, id, index);
}

void Write(ui::Window self) {
    if (RefuseWhileBusy(self, "Device is busy with another operation"))
        return;
    CommConfigBlock block = commConfig;
    uint16_t drops[3] = {};
    uint16_t tcpPort = 0;
    if (!ReadField(self, kPort1Drop, drops[0]) || !ReadField(self, kPort2Drop, drops[1]) ||
        !ReadField(self, kEthernetDrop, drops[2]) || !ReadField(self, kListenPort, tcpPort)) {
        return;
    }
    const uint32_t ip = ui::GetIpAddress(self, IDC_CFG_IP);
    const uint32_t mask = ui::GetIpAddress(self, IDC_CFG_SUBNET);
    if (!ConfirmEthernet(self, ip, mask))
        return;
    block[kEthernetDropWord] = drops[2];
    block[kTcpPortWord] = tcpPort;
    AddressToWords(block, kIpAddressWord, ip);
    AddressToWords(block, kSubnetMaskWord, mask);
    AddressToWords(block, kGatewayWord, ui::GetIpAddress(self, IDC_CFG_GATEWAY));
    for (size_t i = 0; i < 2; ++i) {
        const PortControls& port = kPorts[i];
        // Bits the dialog does not show are written back as the module reported them.
        const uint16_t kept =
            commConfig[port.word] & static_cast<uint16_t>(~(0x00FF | kBaudCodeMask | kNoParityBit));
        block[port.word] = static_cast<uint16_t>(kept | drops[i] | SelectedData(self, port.baud) |
                                                 SelectedData(self, port.parity));
    }
    commConfig = block;
    bool written = false;
    switch (WriteCommConfig(written)) {
        case ModuleJob::kNotOpened:
            return;  // the opener has said why
        case ModuleJob::kFailed:
            ui::ShowMessageBox(self,
                               "Communication failed\r\nExpect this if you changed your baud rate",
                               "Communications error", ui::Buttons::Ok, ui::Icon::Warning);
            return;
        case ModuleJob::kNotKrt:
            StopMessage(self, kNotKrtText, "Configuration invalid");
            return;
        case ModuleJob::kDone:
            if (written) {
                ui::ShowMessageBox(self, "Communication configuration written to the module.",
                                   "Configure Communications", ui::Buttons::Ok,
                                   ui::Icon::Information);
            }
            return;
    }
}

void ShowDefaults(ui::Window self) {
    ui::SetItemText(self, IDC_CFG_DROP_1, "255");
    ui::SetItemText(self, IDC_CFG_DROP_2, "255");
    ui::SetItemText(self, IDC_CFG_ETHERNET_DROP, "0");
    ui::SetItemText(self, IDC_CFG_TCP_PORT, "502");
    for (const PortControls& port : kPorts) {
        ui::SelectItem(self, port.baud, kDefaultBaudEntry);
        ui::SelectItem(self, port.parity, 0);
    }
    ui::SetIpAddress(self, IDC_CFG_IP, kDefaultIp);
    ui::SetIpAddress(self, IDC_CFG_SUBNET, kDefaultSubnet);
    ui::SetIpAddress(self, IDC_CFG_GATEWAY, 0);
}

}  // namespace

bool CommConfigDialogProc(ui::Window self, const ui::Message& message) {
    if (message.kind == ui::MessageKind::Init) {
        FillLists(self);
        if (!Query(self))
            ui::EndDialog(self, -1);
        return true;
    }
    if (message.kind != ui::MessageKind::Command)
        return false;
    switch (message.id) {
        case IDC_CFG_QUERY:
            Query(self);
            return true;
        case IDC_CFG_WRITE:
            Write(self);
            return true;
        case IDC_CFG_DEFAULTS:
            ShowDefaults(self);
            return true;
        case ui::kIdOk:
        case ui::kIdCancel:
            if (!RefuseWhileBusy(self, "Waiting for device"))
                ui::EndDialog(self, 0);
            return true;
        default:
            return false;
    }
}

int RunCommConfigDialog(ui::Window owner) {
    return ui::RunDialog(IDD_COMM_CONFIG, owner, CommConfigDialogProc);
}
