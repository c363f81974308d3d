// Plays the user at Fennick's boxes under wine: waits for the message box with the caption
// given, writes its text to standard output and presses its OK button.
//   fennick_driver.exe CAPTION

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HWND box = nullptr;
    for (int i = 0; i < 600 && box == nullptr; ++i) {
        box = FindWindowA("#32770", argv[1]);
        if (box == nullptr)
            Sleep(100);
    }
    if (box == nullptr) {
        std::printf("no box \"%s\"\n", argv[1]);
        return 1;
    }
    // The message text is the box's static control 0xFFFF.
    char text[4096] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("box \"%s\": %s\n", argv[1], text);
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}
