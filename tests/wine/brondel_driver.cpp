// Plays the user at Brondel's window under wine, with posted messages as a user's clicks
// would send them, and writes the boxes' and the report field's texts to standard output.
//   brondel_driver.exe install PATH   File > Install new .txt, PATH typed into the dialog
//   brondel_driver.exe remove         the first entry's version item chosen in the tree,
//                                     then File > Remove from Repository and OK
// Either ends with File > Exit once the report shows the outcome.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kInstall = 100, kRemove = 101, kExit = 104;
constexpr int kFileNameField = 0x47C;  // the file name combo box of the open dialog

std::string TextOf(HWND window) {
    static char text[1 << 16];
    text[0] = '\0';
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

template <class Found>
auto WaitFor(Found found) -> decltype(found()) {
    for (int i = 0; i < 600; ++i) {
        if (auto result = found())
            return result;
        Sleep(100);
    }
    return {};
}

// Waits for the report to hold one of the texts that end a command.
bool WaitForOutcome(HWND report, const char* first, const char* second) {
    const bool seen = WaitFor([&] {
        const std::string text = TextOf(report);
        return text.find(first) != std::string::npos || text.find(second) != std::string::npos;
    });
    std::printf("report:\n%s\n", TextOf(report).c_str());
    return seen;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc >= 2 ? argv[1] : "";
    if (!((mode == "install" && argc == 3) || (mode == "remove" && argc == 2)))
        return 2;
    HWND main = WaitFor([] { return FindWindowA(nullptr, "TVQ PTK DTM Tool Rev. 16OCT2019"); });
    HWND report = WaitFor([&] { return FindWindowExA(main, nullptr, "Edit", nullptr); });
    HWND tree = WaitFor([&] { return FindWindowExA(main, nullptr, WC_TREEVIEWA, nullptr); });
    if (main == nullptr || report == nullptr || tree == nullptr) {
        std::printf("no Brondel window\n");
        return 1;
    }
    bool seen = false;
    if (mode == "install") {
        PostMessageA(main, WM_COMMAND, kInstall, 0);
        HWND dialog = WaitFor([] { return FindWindowA("#32770", "Install new .txt"); });
        HWND field = WaitFor([&] { return GetDlgItem(dialog, kFileNameField); });
        if (field == nullptr) {
            std::printf("no open dialog\n");
            return 1;
        }
        SetWindowTextA(field, argv[2]);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        seen = WaitForOutcome(report, "Succesfully Added.", "Failure!");
    } else {
        const auto entry = WaitFor([&] { return TreeView_GetRoot(tree); });
        const HTREEITEM version = entry != nullptr ? TreeView_GetChild(tree, entry) : nullptr;
        if (version == nullptr) {
            std::printf("no entry in the tree\n");
            return 1;
        }
        TreeView_SelectItem(tree, version);
        PostMessageA(main, WM_COMMAND, kRemove, 0);
        HWND box = WaitFor([] { return FindWindowA("#32770", "Confirm Remove"); });
        if (box == nullptr) {
            std::printf("no confirmation\n");
            return 1;
        }
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        std::printf("box \"Confirm Remove\": %s\n", text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        seen = WaitForOutcome(report, "Match, Removed.", "No Match, Ignored.");
    }
    PostMessageA(main, WM_COMMAND, kExit, 0);
    std::fflush(stdout);
    return seen ? 0 : 1;
}
