// Message boxes, file dialogs, help, start-up and the program's end on Windows.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <htmlhelp.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/win32/ui_win32.h"

namespace platform::ui {

bool InitCommonControlClasses() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_TAB_CLASSES | ICC_INTERNET_CLASSES | ICC_LISTVIEW_CLASSES |
                    ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES;
    return ::InitCommonControlsEx(&classes) != FALSE;
}

std::string MapTempPath(std::string_view windowsPath) {
    return std::string(windowsPath);
}

Answer ShowMessageBox(Window owner, std::string_view text, std::string_view caption,
                      Buttons buttons, Icon icon, DefaultButton defaultButton) {
    UINT style = buttons == Buttons::YesNo         ? MB_YESNO
                 : buttons == Buttons::YesNoCancel ? MB_YESNOCANCEL
                 : buttons == Buttons::OkCancel    ? MB_OKCANCEL
                                                   : MB_OK;
    if (defaultButton == DefaultButton::Second) {
        style |= MB_DEFBUTTON2;
    }
    switch (icon) {
        case Icon::None:
            break;
        case Icon::Stop:
            style |= MB_ICONSTOP;
            break;
        case Icon::Question:
            style |= MB_ICONQUESTION;
            break;
        case Icon::Warning:
            style |= MB_ICONWARNING;
            break;
        case Icon::Information:
            style |= MB_ICONINFORMATION;
            break;
    }
    // The box belongs to the owner's top-level window: owned by a control, it would disable only
    // the control, and a click on the window would hide the box behind it. A box shown with no
    // owner while a window of the program is active belongs to that window for the same reason.
    // One that no shown window can own stands on its own, in front of the other programs.
    HWND ownerWindow = win32::VisibleOwner(owner);
    if (ownerWindow == nullptr) {
        style |= MB_SETFOREGROUND;
    }
    switch (::MessageBoxA(ownerWindow, std::string(text).c_str(), std::string(caption).c_str(),
                          style)) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        case IDCANCEL:
            return Answer::Cancel;
        default:
            return buttons == Buttons::YesNo         ? Answer::No
                   : buttons == Buttons::YesNoCancel ? Answer::Cancel
                                                     : Answer::Ok;
    }
}

namespace {

// "description\0patterns\0...\0\0", the list the file dialogs take.
std::string FilterList(const std::vector<FileFilter>& filters) {
    std::string list;
    for (const auto& filter : filters) {
        list += filter.description;
        list += '\0';
        list += filter.patterns;
        list += '\0';
    }
    list += '\0';
    return list;
}

// FileDialogFlags writes the flags as numbers; they must be the system's.
static_assert(OFN_EXPLORER == 0x80000 && OFN_FILEMUSTEXIST == 0x1000 &&
                  OFN_PATHMUSTEXIST == 0x800 && OFN_HIDEREADONLY == 0x4 && OFN_NOCHANGEDIR == 0x8,
              "file dialog flags");

// The folder of the file last chosen in one of the program's file dialogs: the next dialog that
// names no folder of its own starts there, not in the program's folder each time.
std::string& LastChosenFolder() {
    static std::string folder;
    return folder;
}

std::optional<std::string> FileDialog(Window owner, const FileDialogOptions& options, bool save) {
    const std::string filter = FilterList(options.filters);
    std::vector<char> path(options.maxLength + 1, '\0');
    options.initialPath.copy(path.data(), std::min(options.initialPath.size(), options.maxLength));
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = win32::VisibleOwner(owner);
    dialog.hInstance = win32::Instance();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    const std::string& startFolder =
        options.initialFolder.empty() ? LastChosenFolder() : options.initialFolder;
    dialog.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    dialog.lpstrTitle = options.title.c_str();
    dialog.Flags = FileDialogFlags(options, save);
    const BOOL chosen = save ? ::GetSaveFileNameA(&dialog) : ::GetOpenFileNameA(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    std::string chosenPath(path.data());
    // nFileOffset: where the name starts; the folder keeps its last separator ("C:\").
    LastChosenFolder() =
        chosenPath.substr(0, std::min<size_t>(dialog.nFileOffset, chosenPath.size()));
    return chosenPath;
}

}  // namespace

std::optional<std::string> OpenFileDialog(Window owner, const FileDialogOptions& options) {
    return FileDialog(owner, options, false);
}

std::optional<std::string> SaveFileDialog(Window owner, const FileDialogOptions& options) {
    return FileDialog(owner, options, true);
}

// HTML Help lives in hhctrl.ocx, loaded the first time help is asked for, so that programs
// that never show help do not need it.
bool ShowHelp(std::string_view helpFile) {
    const std::string path(helpFile);
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    static HtmlHelpFunction htmlHelp = [] {
        HMODULE library = ::LoadLibraryA("hhctrl.ocx");
        return library != nullptr ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(
                                        ::GetProcAddress(library, "HtmlHelpA")))
                                  : nullptr;
    }();
    return htmlHelp != nullptr && htmlHelp(nullptr, path.c_str(), HH_DISPLAY_TOC, 0) != nullptr;
}

std::string HelpFilePath(std::string_view name) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    folder.resize(folder.find_last_of("\\/") == std::string::npos ? 0 : folder.find_last_of("\\/"));
    return folder + "\\" + std::string(name);
}

int RecordExit(int code) {
    return code;
}

void ExitProgram(int code) {
    std::exit(code);
}

}  // namespace platform::ui
