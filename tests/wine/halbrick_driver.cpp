// Plays the user at Halbrick's window under wine: checks that the report field fills the
// window before anything is touched, types the address, releases the mouse button over
// "Query FDR Server", waits for the report, presses the detail button twice and
// closes the window (the dialog class turns that into the Cancel command, which ends the
// program). The messages are posted, so they reach Halbrick's own message loop as a
// user's would. Writes the report field's text at each level to standard output.
//   halbrick_driver.exe ADDRESS

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kQuery = 1001, kAddress = 1002, kDetail = 1006, kReport = 1007, kProgress = 1008;

std::string TextOf(HWND window) {
    static char text[1 << 20];
    text[0] = '\0';
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void Show(const char* level, HWND report) {
    std::printf("== %s\n%s\n", level, TextOf(report).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HWND main = nullptr;
    for (int i = 0; i < 300 && main == nullptr; ++i) {
        main = FindWindowA(nullptr, "Halbrick  Rev 03MAY2022");
        if (main == nullptr)
            Sleep(100);
    }
    if (main == nullptr) {
        std::printf("no Halbrick window\n");
        return 1;
    }
    // The window exists before its controls do, and the kept address (here the prompt of a
    // fresh settings store) replaces the field's first text before the loop starts.
    HWND address = nullptr;
    for (int i = 0; i < 300; ++i) {
        address = GetDlgItem(main, kAddress);
        if (GetDlgItem(main, kProgress) != nullptr && address != nullptr &&
            TextOf(address) != "192.168.10.1")
            break;
        Sleep(100);
    }
    HWND report = GetDlgItem(main, kReport);
    if (report == nullptr) {
        std::printf("no report field\n");
        return 1;
    }
    // Before anything is touched, the report field already takes the window's width and height
    // (less its margins): a user should not have to move the mouse over the window first.
    Sleep(1000);
    RECT client{}, field{};
    GetClientRect(main, &client);
    GetWindowRect(report, &field);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&field), 2);
    const long width = field.right - field.left, height = field.bottom - field.top;
    if (width == client.right - 40 && height == client.bottom - 100)
        std::printf("report field fills the window\n");
    else
        std::printf("report field %ld x %ld in a client area of %ld x %ld\n", width, height,
                    client.right, client.bottom);
    SetWindowTextA(address, argv[1]);
    PostMessageA(GetDlgItem(main, kQuery), WM_LBUTTONUP, 0, 0);
    // The query runs inside Halbrick's loop; its report replaces "Not Queried." when done.
    for (int i = 0; i < 600 && TextOf(report).rfind("Connect to", 0) != 0; ++i)
        Sleep(100);
    Sleep(300);
    Show("Some Detail", report);
    HWND detail = GetDlgItem(main, kDetail);
    for (const char* level : {"Summary", "High Detail"}) {
        PostMessageA(detail, WM_LBUTTONDOWN, 0, 0);
        Sleep(300);
        Show(level, report);
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    return 0;
}
