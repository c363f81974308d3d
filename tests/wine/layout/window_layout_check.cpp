// The layout check of windows built in code: starts a program, waits for its window, loads
// window_layout_probe.dll (beside this program) into it and runs the probe's measurement there
// (the fonts and brushes it checks belong to the program's process), prints its report and
// ends the program. Fails when a control's text does not fit, a control has the System font or
// a label a background other than its window's, and when the program shows no window.
//   window_layout_check <program.exe> [argument...]

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kWindowWaitMs = 90000;
constexpr DWORD kProbeWaitMs = 60000;

std::string Folder(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return Folder(path);
}

struct WindowSearch {
    DWORD process;
    bool found;
    std::string box;  // the text of a message box the program shows instead
};

// A message box: a dialog whose text is the static of id 0xFFFF.
bool IsMessageBox(HWND window) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    return ::lstrcmpA(name, "#32770") == 0 && ::GetDlgItem(window, 0xFFFF) != nullptr;
}

BOOL CALLBACK NoteWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !::IsWindowVisible(window) ||
        ::GetWindow(window, GW_CHILD) == nullptr)
        return TRUE;
    if (IsMessageBox(window)) {
        char text[512] = {};
        ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        search->box = text;
        return TRUE;
    }
    search->found = true;
    return FALSE;
}

// A visible top-level window of the process with controls in it, not a message box.
WindowSearch FindWindowOf(DWORD process) {
    WindowSearch search{process, false, {}};
    ::EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

// Runs `start(param)` in the process and returns its exit code, or MAXDWORD on failure.
DWORD RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* param) {
    HANDLE thread = ::CreateRemoteThread(process, nullptr, 0, start, param, 0, nullptr);
    if (thread == nullptr)
        return MAXDWORD;
    DWORD code = MAXDWORD;
    if (::WaitForSingleObject(thread, kProbeWaitMs) == WAIT_OBJECT_0)
        ::GetExitCodeThread(thread, &code);
    ::CloseHandle(thread);
    return code;
}

// A copy of `text` in the process's memory.
void* RemoteText(HANDLE process, const std::string& text) {
    void* remote = ::VirtualAllocEx(process, nullptr, text.size() + 1, MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE);
    if (remote != nullptr &&
        !::WriteProcessMemory(process, remote, text.c_str(), text.size() + 1, nullptr))
        return nullptr;
    return remote;
}

// Where the probe was loaded in the process.
HMODULE RemoteModule(HANDLE process, const std::string& path) {
    HMODULE modules[1024];
    DWORD size = 0;
    if (!::EnumProcessModules(process, modules, sizeof modules, &size))
        return nullptr;
    for (DWORD i = 0; i < size / sizeof(HMODULE); ++i) {
        char name[MAX_PATH] = {};
        ::GetModuleFileNameExA(process, modules[i], name, MAX_PATH);
        if (::lstrcmpiA(name, path.c_str()) == 0)
            return modules[i];
    }
    return nullptr;
}

// The probe's measurement in the process: its fault count, or MAXDWORD when it could not run.
DWORD Measure(HANDLE process, const std::string& probePath, const std::string& reportPath) {
    HMODULE local = ::LoadLibraryA(probePath.c_str());
    auto* measure = local != nullptr ? ::GetProcAddress(local, "MeasureWindows") : nullptr;
    if (measure == nullptr) {
        std::printf("FAIL cannot load %s\n", probePath.c_str());
        return MAXDWORD;
    }
    // kernel32 lies at the same address in every process of one bitness.
    auto* loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    RunRemote(process, loadLibrary, RemoteText(process, probePath));
    HMODULE remote = RemoteModule(process, probePath);
    if (remote == nullptr) {
        std::printf("FAIL the probe did not load into the program\n");
        return MAXDWORD;
    }
    const auto offset = reinterpret_cast<const char*>(reinterpret_cast<void*>(measure)) -
                        reinterpret_cast<const char*>(local);
    auto* start = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(reinterpret_cast<char*>(remote) + offset));
    return RunRemote(process, start, RemoteText(process, reportPath));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: window_layout_check <program.exe> [argument...]\n");
        return 2;
    }
    const std::string program = argv[1];
    std::string commandLine = "\"" + program + "\"";
    for (int i = 2; i < argc; ++i)
        commandLine += std::string(" \"") + argv[i] + "\"";
    const std::string name = program.substr(program.find_last_of("\\/") + 1);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::string folder = Folder(program);
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &started)) {
        std::printf("FAIL %s: cannot start it (error %lu)\n", name.c_str(), ::GetLastError());
        return 1;
    }
    bool shown = false;
    std::string box;
    for (DWORD waited = 0; waited < kWindowWaitMs && !shown; waited += 200) {
        if (::WaitForSingleObject(started.hProcess, 200) == WAIT_OBJECT_0)
            break;
        const WindowSearch search = FindWindowOf(started.dwProcessId);
        shown = search.found;
        box = search.box;
    }
    DWORD faults = MAXDWORD;
    const std::string report = OwnFolder() + "\\window_layout_report.txt";
    ::DeleteFileA(report.c_str());
    if (shown) {
        // Controls made while the window opens are all there once its queue is idle.
        ::WaitForInputIdle(started.hProcess, 10000);
        faults = Measure(started.hProcess, OwnFolder() + "\\window_layout_probe.dll", report);
    } else {
        std::printf("FAIL %s: no window with controls appeared%s%s\n", name.c_str(),
                    box.empty() ? "" : "; it shows a box: ", box.c_str());
    }
    ::TerminateProcess(started.hProcess, 0);
    ::WaitForSingleObject(started.hProcess, 10000);

    if (FILE* file = std::fopen(report.c_str(), "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, file) != nullptr)
            std::printf("%s: %s", name.c_str(), line);
        std::fclose(file);
    } else if (shown) {
        std::printf("FAIL %s: the probe wrote no report\n", name.c_str());
    }
    return faults == 0 ? 0 : 1;
}
