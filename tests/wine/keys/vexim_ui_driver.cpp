// Drives vexim.exe as a Windows user would, through its windows' own message queues, for what
// only the Windows dialog manager decides: what Enter and Esc do.
//   vexim_ui_driver <vexim.exe> <scenario> <host> <tcp port> <object file>
// The settings are written first so that vexim opens on the Modbus TCP tab, linked to the module
// at host:port with the object in its file box. Scenarios:
//   enter-in-fields       Enter in the host, TCP port and drop fields starts nothing
//   esc-during-download   Esc while a download runs cancels it
//   help-missing          Help / Using Vexim without its help file says which file is missing
//   unattended-box        an unattended download of an object that does not open: its box,
//                         shown before any window of vexim, stands on its own (no hidden owner,
//                         so it has a taskbar button) in front of the other windows
// Exit code 0 when the scenario went as the user expects; the lines printed say what was seen.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kStartDownload = 1053, kHostField = 1018, kTcpPortField = 1019, kDropField = 1017;
constexpr int kDownloadText = 1033, kStatusLine = 1032;
constexpr int kUsingVexim = 40003;
constexpr int kUserClosed = 16;

PROCESS_INFORMATION vexim{};
int failures = 0;

void Expect(bool condition, const std::string& what) {
    std::printf("%s %s\n", condition ? "ok  " : "FAIL", what.c_str());
    failures += condition ? 0 : 1;
}

bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 20) {
        if (condition())
            return true;
        if (waited >= milliseconds)
            return false;
        ::Sleep(20);
    }
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

struct DialogSearch {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char kind[16] = {};
    ::GetClassNameA(window, kind, sizeof kind);
    if (process == vexim.dwProcessId && ::IsWindowVisible(window) &&
        lstrcmpA(kind, "#32770") == 0 && (*search->match)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// vexim's visible dialogs: a dialog is told apart by a control only it has.
HWND FindDialog(const std::function<bool(HWND)>& match) {
    DialogSearch search{&match, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MainDialog() {
    return FindDialog([](HWND w) { return ::GetDlgItem(w, kStartDownload) != nullptr; });
}
HWND ProgressDialog() {
    return FindDialog([](HWND w) {
        return ::GetDlgItem(w, kDownloadText) != nullptr &&
               ::GetDlgItem(w, kStartDownload) == nullptr;
    });
}
// A message box: a dialog of vexim's that is none of its own.
HWND MessageBoxWindow() {
    return FindDialog([](HWND w) {
        return ::GetDlgItem(w, kStartDownload) == nullptr &&
               ::GetDlgItem(w, kDownloadText) == nullptr;
    });
}

std::string BoxText(HWND box) {
    std::string text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char kind[16] = {};
        ::GetClassNameA(child, kind, sizeof kind);
        if (lstrcmpiA(kind, "Static") == 0)
            text += TextOf(child);
    }
    return text;
}

// A key pressed and released in `window`, as the keyboard delivers it to the focused control.
void PressKey(HWND window, WORD key, char typed) {
    const UINT scan = ::MapVirtualKeyA(key, 0);
    ::PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    ::PostMessageA(window, WM_CHAR, static_cast<unsigned char>(typed), 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

void Click(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

HWND FocusedWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(vexim.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

bool WriteSettings(const std::string& host, DWORD port, const std::string& object) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Calvento R&D\\VEXIM", 0, nullptr, 0,
                          KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const auto text = [&](const char* name, const std::string& value) {
        ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    };
    const auto number = [&](const char* name, DWORD value, DWORD bytes = 4) {
        ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), bytes);
    };
    text("File Name", object);
    text("Com Port", "COM1:");
    text("Address", host);
    number("TCP Port", port);
    number("Connect Mode", 1);
    number("Drop", 1);
    number("Channel", 1, 2);
    number("Run", 33, 2);
    number("Status", 0, 2);
    number("Erase", 1);
    number("Load", 1);
    number("Auto Start", 1);
    number("Baud", 13);
    number("Parity", 1);
    number("Data", 8);
    number("Timeout", 3000);
    number("Retries", 1);
    ::RegCloseKey(key);
    return true;
}

void EnterInFields(HWND main) {
    for (int field : {kHostField, kTcpPortField, kDropField}) {
        PressKey(::GetDlgItem(main, field), VK_RETURN, '\r');
        const bool started = WaitFor([] { return ProgressDialog() != nullptr; }, 1500);
        Expect(!started, "Enter in field " + std::to_string(field) + " starts no download");
        Expect(MainDialog() == main, "the main dialog stays open");
    }
}

void EscDuringDownload(HWND main) {
    Click(main, kStartDownload);
    HWND progress = nullptr;
    Expect(WaitFor([&] { return (progress = ProgressDialog()) != nullptr; }, 10000),
           "Start Download opens the progress dialog");
    if (progress == nullptr)
        return;
    // Once the transfer is under way, so that the cancel has a download to stop.
    std::string status;
    WaitFor(
        [&] {
            status = TextOf(::GetDlgItem(progress, kStatusLine));
            return status.find("transmitted") != std::string::npos;
        },
        30000);
    std::printf("     status before Esc: \"%s\"\n", status.c_str());
    HWND focus = FocusedWindow();
    PressKey(focus != nullptr ? focus : progress, VK_ESCAPE, '\x1b');
    bool cancelling = false;
    const bool closed = WaitFor(
        [&] {
            cancelling =
                cancelling || TextOf(::GetDlgItem(progress, kStatusLine)) == "Cancelling...";
            HWND box = MessageBoxWindow();
            if (box != nullptr) {  // what the cancel left in the channel
                std::printf("     box after Esc: \"%s\"\n", BoxText(box).c_str());
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                ::Sleep(200);
            }
            return !::IsWindow(progress);
        },
        15000);
    Expect(cancelling || closed, "Esc is the progress dialog's Cancel");
    Expect(closed, "the cancelled download ends its dialog");
    Expect(MainDialog() == main, "the main dialog stays open");
}

void HelpMissing(HWND main) {
    ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(kUsingVexim, 0), 0);
    HWND box = nullptr;
    Expect(WaitFor([&] { return (box = MessageBoxWindow()) != nullptr; }, 5000),
           "Help / Using Vexim without the help file shows a box");
    if (box == nullptr)
        return;
    const std::string text = BoxText(box);
    std::printf("     box: \"%s\"\n", text.c_str());
    Expect(text.find("vexim.chm") != std::string::npos, "the box names the help file");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !::IsWindow(box); }, 5000);
}

bool Start(const std::string& program, const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + program + "\"" + arguments;
    if (::CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &vexim))
        return true;
    std::printf("FAIL cannot start %s (error %lu)\n", program.c_str(), ::GetLastError());
    return false;
}

DWORD WaitForEnd(DWORD milliseconds) {
    DWORD code = 0;
    if (::WaitForSingleObject(vexim.hProcess, milliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(vexim.hProcess, 99);
        ::WaitForSingleObject(vexim.hProcess, 5000);
    }
    ::GetExitCodeProcess(vexim.hProcess, &code);
    return code;
}

int UnattendedBox(const std::string& program, const std::string& host, const std::string& port,
                  const std::string& object) {
    constexpr DWORD kFileNotOpened = 2;
    if (!Start(program, " 1 \"" + object + "\" " + host + ":" + port + " 1"))
        return 1;
    HWND box = nullptr;
    Expect(WaitFor([&] { return (box = MessageBoxWindow()) != nullptr; }, 30000),
           "the unattended run shows its box");
    if (box != nullptr) {
        std::printf("     box: \"%s\"\n", BoxText(box).c_str());
        Expect(::GetWindow(box, GW_OWNER) == nullptr,
               "no hidden window owns the box: it has a taskbar button of its own");
        Expect(WaitFor([&] { return ::GetForegroundWindow() == box; }, 5000),
               "the box is in front");
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    const DWORD code = WaitForEnd(15000);
    Expect(code == kFileNotOpened, "vexim ends with 2 (got " + std::to_string(code) + ")");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::printf("usage: vexim_ui_driver <vexim.exe> <scenario> <host> <tcp port> <object>\n");
        return 2;
    }
    const std::string scenario = argv[2];
    if (scenario == "unattended-box")
        return UnattendedBox(argv[1], argv[3], argv[4], argv[5]);
    if (!WriteSettings(argv[3], static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)), argv[5])) {
        std::printf("FAIL cannot write vexim's settings\n");
        return 1;
    }
    if (!Start(argv[1], ""))
        return 1;
    HWND main = nullptr;
    Expect(WaitFor([&] { return (main = MainDialog()) != nullptr; }, 30000),
           "vexim opens its main dialog");
    if (main != nullptr) {
        if (scenario == "enter-in-fields")
            EnterInFields(main);
        else if (scenario == "esc-during-download")
            EscDuringDownload(main);
        else if (scenario == "help-missing")
            HelpMissing(main);
        else
            Expect(false, "known scenario " + scenario);
        // Leave as the user does: Esc, the main dialog's Cancel.
        if (HWND still = MainDialog())
            PressKey(::GetDlgItem(still, kHostField), VK_ESCAPE, '\x1b');
    }
    const DWORD code = WaitForEnd(15000);
    Expect(code == kUserClosed,
           "vexim ends with 16 when the user leaves it (got " + std::to_string(code) + ")");
    return failures == 0 ? 0 : 1;
}
