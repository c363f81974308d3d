#include "downloader/dialogs/dialog_mapping.h"

#include <cctype>
#include <string_view>

#include "downloader/connection.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/main/decimal_text.h"
#include "downloader/main/number_rule.h"
#include "downloader/program_info.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

namespace {

constexpr int kSerialControls[] = {IDC_COM_PORT,     IDC_BAUD_LABEL, IDC_BAUD,       IDC_PARITY,
                                   IDC_PARITY_LABEL, IDC_SEVEN_BITS, IDC_EIGHT_BITS, IDC_ASCII};
constexpr int kTcpControls[] = {IDC_HOST_LABEL, IDC_HOST, IDC_TCP_PORT, IDC_TCP_PORT_LABEL};
constexpr int kCommonControls[] = {IDC_DROP_LABEL,    IDC_DROP,         IDC_APPLICATION_1,
                                   IDC_APPLICATION_2, IDC_SET_DEFAULTS, IDC_QUERY,
                                   IDC_START_DOWNLOAD};
constexpr int kModuleInfoControls[] = {IDC_MODULE_FIRMWARE_LABEL,
                                       IDC_APPLICATION_SPACE_1_LABEL,
                                       IDC_APPLICATION_SPACE_2_LABEL,
                                       IDC_SERIAL_NUMBER_LABEL,
                                       IDC_MODULE_MD5_LABEL,
                                       IDC_MODULE_FIRMWARE,
                                       IDC_APPLICATION_SPACE_1,
                                       IDC_APPLICATION_SPACE_2,
                                       IDC_SERIAL_NUMBER,
                                       IDC_MODULE_MD5};

constexpr int16_t kChannelF1 = 10;
constexpr int16_t kChannelF2 = 11;

template <size_t N>
void ShowAll(ui::Window dialog, const int (&ids)[N], bool visible) {
    for (int id : ids)
        ui::ShowItem(dialog, id, visible);
}

std::string Limited(std::string text, size_t maxChars) {
    if (text.size() > maxChars)
        text.resize(maxChars);
    return text;
}

bool IsFlashChannel(int32_t channel) {
    return channel == kChannelF1 || channel == kChannelF2;
}

bool IsApplicationChannel(int32_t channel) {
    return channel == 1 || channel == 2;
}

std::string Decimal(uint32_t value) {
    return std::to_string(value);
}

// An edit read as an unsigned decimal number; no digits give 0, too many the largest value.
uint32_t EditNumber(ui::Window dialog, int id) {
    const DecimalText number = ReadDecimal(ui::GetItemText(dialog, id));
    if (number.tooLarge || number.value > UINT32_MAX)
        return UINT32_MAX;
    return static_cast<uint32_t>(number.value);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// Selects the first COM entry that begins with `port`, letter case ignored. A port the list
// does not hold is added, so that the controls read back the port that was set.
void SelectComPort(ui::Window dialog, const std::string& port) {
    if (port.empty())
        return;
    const int count = ui::ItemCount(dialog, IDC_COM_PORT);
    for (int i = 0; i < count; ++i) {
        if (StartsWithNoCase(ui::ItemText(dialog, IDC_COM_PORT, i), port)) {
            ui::SelectItem(dialog, IDC_COM_PORT, i);
            return;
        }
    }
    ui::SelectItem(dialog, IDC_COM_PORT, ui::AddItem(dialog, IDC_COM_PORT, port));
}

void ShowChannel(ui::Window dialog, int32_t channel) {
    ui::SetCheck(dialog, IDC_APPLICATION_1, channel == 1);
    ui::SetCheck(dialog, IDC_APPLICATION_2, channel != 1 && !IsFlashChannel(channel));
}

// The settings' channel: a channel the buttons cannot show (F1, F2, or one the loader will
// refuse) checks neither, so that it reaches the download unchanged.
void ShowSettingsChannel(ui::Window dialog, int32_t channel) {
    ui::SetCheck(dialog, IDC_APPLICATION_1, channel == 1);
    ui::SetCheck(dialog, IDC_APPLICATION_2, channel == 2);
}

// The channel the buttons show; neither checked means the channel set elsewhere stands.
int16_t ChannelFromButtons(ui::Window dialog, int16_t current) {
    if (ui::IsChecked(dialog, IDC_APPLICATION_1))
        return 1;
    if (ui::IsChecked(dialog, IDC_APPLICATION_2))
        return 2;
    return IsApplicationChannel(current) ? 2 : current;
}

void ShowOptionChecks(ui::Window dialog) {
    const LoadOptions& load = loadOptions;
    ui::CheckMenuItem(dialog, IDM_AUTO_START, load.autoStart > 0);
    ui::CheckMenuItem(dialog, IDM_ERASE_FLASH, load.eraseFlash > 0);
    ui::CheckMenuItem(dialog, IDM_LOAD_FILE, load.loadProgram > 0);
    ui::CheckMenuItem(dialog, IDM_IGNORE_WARNINGS, load.ignoreWarnings > 0);
    ui::CheckMenuItem(dialog, IDM_FORCE_WRITE, load.forceFlash > 0);
}

}  // namespace

void ShowTabControls(ui::Window dialog, int tab) {
    const bool connection = tab == kSerialTab || tab == kTcpTab;
    ShowAll(dialog, kSerialControls, tab == kSerialTab);
    ShowAll(dialog, kTcpControls, tab == kTcpTab);
    ShowAll(dialog, kCommonControls, connection);
    ui::ShowItem(dialog, IDC_PROGRAM_INFO_LIST, tab == kProgramInfoTab);
    ShowAll(dialog, kModuleInfoControls, tab == kModuleInfoTab);
}

void ShowProgramInfo(ui::Window dialog, const std::string& fileName) {
    InfoRows rows;
    DisplayInformation(rows, fileName);
    ui::ClearList(dialog, IDC_PROGRAM_INFO_LIST);
    for (const InfoRow& row : rows) {
        ui::AddListRow(dialog, IDC_PROGRAM_INFO_LIST, {row.header, row.information});
    }
}

void SettingsToControls(ui::Window dialog) {
    const LinkSettings& link = linkSettings;
    const LoadOptions& load = loadOptions;
    ui::SetItemText(dialog, IDC_FILE_BOX, load.fileName);
    SelectComPort(dialog, link.portName);
    ShowProgramInfo(dialog, load.fileName);
    ShowOptionChecks(dialog);
    ui::SetCheck(dialog, IDC_ASCII, link.ascii != 0);
    ShowSettingsChannel(dialog, load.channel);
    ui::SetItemText(dialog, IDC_TCP_PORT, Decimal(link.tcpPort));
    ui::SetItemText(dialog, IDC_DROP, Decimal(static_cast<uint32_t>(link.drop)));
    ui::SetCheck(dialog, IDC_SEVEN_BITS, link.dataBits == 7);
    ui::SetCheck(dialog, IDC_EIGHT_BITS, link.dataBits == 8);
    if (link.baudIndex >= 0 && link.baudIndex < kBaudCount) {
        ui::SelectItem(dialog, IDC_BAUD, link.baudIndex);
    }
    if (link.parity >= 0 && link.parity <= 2)
        ui::SelectItem(dialog, IDC_PARITY, link.parity);
    ui::SelectTab(dialog, IDC_TABS, link.connectMode);
    if (!link.host.empty())
        ui::SetItemText(dialog, IDC_HOST, link.host);
    ShowTabControls(dialog, link.connectMode == kConnectTcp ? kTcpTab : kSerialTab);
}

void DialogToSettings(ui::Window dialog) {
    LinkSettings& link = linkSettings;
    LoadOptions& load = loadOptions;
    const int tab = ui::SelectedTab(dialog, IDC_TABS);
    if (tab == kSerialTab || tab == kTcpTab)
        link.connectMode = tab;
    // Names are taken whole: an over-long one is refused where it is used (the file opens, the
    // connection), never cut into another valid name.
    load.fileName = ui::GetItemText(dialog, IDC_FILE_BOX);
    link.host = ui::GetItemText(dialog, IDC_HOST);
    link.tcpPort = EditNumber(dialog, IDC_TCP_PORT);
    link.drop = static_cast<int32_t>(EditNumber(dialog, IDC_DROP));
    if (const int baud = ui::SelectedItem(dialog, IDC_BAUD); baud >= 0 && baud < kBaudCount) {
        link.baudIndex = baud;
    }
    link.ascii = ui::IsChecked(dialog, IDC_ASCII) ? 1 : 0;
    if (const int parity = ui::SelectedItem(dialog, IDC_PARITY); parity >= 0 && parity <= 2) {
        link.parity = parity;
    }
    load.channel = ChannelFromButtons(dialog, load.channel);
    link.dataBits = ui::IsChecked(dialog, IDC_SEVEN_BITS) ? 7 : 8;
    if (const int port = ui::SelectedItem(dialog, IDC_COM_PORT); port >= 0) {
        link.portName = ui::ItemText(dialog, IDC_COM_PORT, port);
    }
}

bool DropInRange(ui::Window dialog) {
    // Blanks around the number are the field's, not the number's.
    std::string typed = ui::GetItemText(dialog, IDC_DROP);
    typed.erase(0, typed.find_first_not_of(" \t"));
    typed.erase(typed.find_last_not_of(" \t") + 1);
    int64_t drop = 0;
    if (ReadWholeNumber(typed, kDropRule, drop)) {
        linkSettings.drop = static_cast<int32_t>(drop);
        return true;
    }
    ErrorBox("%s", NumberRefusal(typed, kDropRule).c_str());
    return false;
}

void DialogToProfile(ui::Window dialog, SystemProfile& record) {
    const int tab = ui::SelectedTab(dialog, IDC_TABS);
    record.recordSize = kSystemProfileSize;
    record.fileName = Limited(ui::GetItemText(dialog, IDC_FILE_BOX), kMaxFileName);
    record.connectMode =
        static_cast<uint8_t>(tab == kSerialTab || tab == kTcpTab ? tab : linkSettings.connectMode);
    record.host = Limited(ui::GetItemText(dialog, IDC_HOST), kMaxHost);
    record.tcpPort = static_cast<uint16_t>(EditNumber(dialog, IDC_TCP_PORT));
    const int port = ui::SelectedItem(dialog, IDC_COM_PORT);
    record.portName =
        port >= 0 ? Limited(ui::ItemText(dialog, IDC_COM_PORT, port), kMaxPortName) : "";
    const int baud = ui::SelectedItem(dialog, IDC_BAUD);
    record.baudText = baud >= 0 ? Limited(ui::ItemText(dialog, IDC_BAUD, baud), 5) : "";
    const int parity = ui::SelectedItem(dialog, IDC_PARITY);
    record.parityText = parity >= 0 ? Limited(ui::ItemText(dialog, IDC_PARITY, parity), 4) : "";
    record.ascii = ui::IsChecked(dialog, IDC_ASCII) ? 1 : 0;
    record.dataBits = ui::IsChecked(dialog, IDC_SEVEN_BITS) ? 7 : 8;
    record.stopBits = 1;
    record.drop = static_cast<int32_t>(EditNumber(dialog, IDC_DROP));
    record.channel = ChannelFromButtons(dialog, loadOptions.channel);
    const LinkSettings& link = linkSettings;
    const LoadOptions& load = loadOptions;
    record.statusRegister = load.statusRegister;
    record.runRegister = load.runRegister;
    record.autoStart = load.autoStart;
    record.forceFlash = load.forceFlash;
    record.eraseFlash = load.eraseFlash;
    record.loadProgram = load.loadProgram;
    record.timeoutMs = link.timeoutMs;
    record.retries = link.retries;
}

void ProfileToDialog(ui::Window dialog, const SystemProfile& record) {
    LinkSettings& link = linkSettings;
    LoadOptions& load = loadOptions;
    const bool tcp = record.connectMode == kConnectTcp;
    const int16_t channel = UsableChannel(record.channel);
    link.connectMode = tcp ? kConnectTcp : kConnectSerial;
    ui::SelectTab(dialog, IDC_TABS, link.connectMode);
    ShowChannel(dialog, channel);
    if (IsFlashChannel(channel))
        load.channel = channel;
    ShowTabControls(dialog, tcp ? kTcpTab : kSerialTab);
    if (tcp) {
        ui::SetItemText(dialog, IDC_TCP_PORT, Decimal(record.tcpPort));
        ui::SetItemText(dialog, IDC_HOST, record.host);
    } else {
        SelectComPort(dialog, record.portName);
        ui::SelectItemByPrefix(dialog, IDC_BAUD, record.baudText);
        ui::SelectItemByPrefix(dialog, IDC_PARITY, record.parityText);
        ui::SetCheck(dialog, IDC_ASCII, record.ascii == 1);
        ui::SetCheck(dialog, IDC_SEVEN_BITS, record.dataBits == 7);
        ui::SetCheck(dialog, IDC_EIGHT_BITS, record.dataBits != 7);
    }
    ui::SetItemText(dialog, IDC_DROP, Decimal(static_cast<uint32_t>(UsableDrop(record.drop))));
    load.statusRegister = record.statusRegister;
    load.runRegister = record.runRegister;
    load.autoStart = record.autoStart;
    load.forceFlash = record.forceFlash;
    load.eraseFlash = record.eraseFlash;
    load.loadProgram = record.loadProgram;
    link.timeoutMs = UsableProfileTimeout(record.timeoutMs);
    link.retries = UsableRetries(record.retries);
    ShowOptionChecks(dialog);
    ui::SetItemText(dialog, IDC_FILE_BOX, record.fileName);
    ShowProgramInfo(dialog, record.fileName);
}
