// Archives through Windows PowerShell's cmdlets. Expand-Archive takes only names ending in
// ".zip", so the archive is first copied under such a name into a private folder; its entry
// names are listed and checked before anything is expanded. The new archive is compressed
// under a ".zip" name beside the output and moved into place. The scripts hold no path: the
// paths reach PowerShell as environment variables of the child process.

#include <windows.h>

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ansi_path.h"
#include "platform/archive.h"
#include "platform/powershell_text.h"
#include "platform/win32/run_wide.h"
#include "platform/zip_directory.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

ArchiveResult Failure(std::string what) {
    return ArchiveResult{false, std::move(what)};
}

std::string Shown(const fs::path& path) {
    return AnsiFromPath(path);
}

fs::path TemporaryZipBeside(const fs::path& output) {
    std::random_device seed;
    std::mt19937 random(seed());
    const fs::path folder = output.parent_path().empty() ? fs::path(L".") : output.parent_path();
    for (;;) {
        fs::path candidate = folder / (L".~" + output.filename().wstring() + L"." +
                                       std::to_wstring(random() % 1000000000u) + L".zip");
        std::error_code ignored;
        if (!fs::exists(candidate, ignored))
            return candidate;
    }
}

using Environment = std::vector<std::pair<const char*, fs::path>>;

// Runs the script with the paths set in this process's environment, which the child inherits,
// and clears them again.
bool RunScript(const std::wstring& script, const Environment& environment) {
    for (const auto& [name, value] : environment)
        SetEnvironmentVariableW(Widen<wchar_t>(name).c_str(), value.c_str());
    const CommandOutcome outcome = win32::RunWideCommand(PowerShellCommandLine<wchar_t>(script));
    for (const auto& [name, value] : environment)
        SetEnvironmentVariableW(Widen<wchar_t>(name).c_str(), nullptr);
    return outcome.started && outcome.exitCode == 0;
}

// The entry names checked before anything is written; empty when all may be unpacked.
std::string RefusedEntry(const fs::path& zip, const fs::path& archive, const fs::path& folder) {
    const fs::path listing = folder / L".~entries.txt";
    const bool listed = RunScript(ListArchiveScript<wchar_t>(),
                                  {{kArchiveVariable, zip}, {kListingVariable, listing}});
    std::ifstream in(listing, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileW(listing.c_str());
    if (!listed)
        return "PowerShell could not read the entries of " + Shown(archive);
    if (const auto refused = RefusedListedEntry(text))
        return Shown(archive) + " holds an entry that would leave its folder: " + *refused;
    return {};
}

}  // namespace

ArchiveResult UnpackArchive(const fs::path& archive, const fs::path& folder) {
    // A damaged archive is said to be one, not taken for a PowerShell that failed.
    const std::string damaged = ZipDirectoryProblemText(CheckZipDirectory(archive), Shown(archive));
    if (!damaged.empty())
        return Failure(damaged);
    std::error_code made;
    fs::create_directories(folder, made);
    if (made)
        return Failure("Can't create folder " + Shown(folder) + ": " + made.message());
    const fs::path zip = folder / L".~archive.zip";
    if (!CopyFileW(archive.c_str(), zip.c_str(), FALSE))
        return Failure("Can't copy " + Shown(archive) + " to " + Shown(zip));
    if (const std::string refused = RefusedEntry(zip, archive, folder); !refused.empty()) {
        DeleteFileW(zip.c_str());
        return Failure(refused);
    }
    const fs::path content = folder / L".~unpacked";
    const bool expanded = RunScript(ExpandArchiveScript<wchar_t>(),
                                    {{kArchiveVariable, zip}, {kFolderVariable, content}});
    DeleteFileW(zip.c_str());
    // A PowerShell that ends well but leaves no folder (a stand-in without the archive
    // cmdlets) has not unpacked anything either.
    std::error_code probed;
    if (!expanded || !fs::is_directory(content, probed))
        return Failure("PowerShell could not unpack " + Shown(archive));
    // The content lands in a folder of its own first, so that nothing of the archive can
    // mingle with the copy; then it moves up into `folder`.
    std::error_code walked;
    for (const fs::directory_entry& entry : fs::directory_iterator(content, walked)) {
        const fs::path target = folder / entry.path().filename();
        if (!MoveFileExW(entry.path().c_str(), target.c_str(), 0))
            return Failure("Can't move " + Shown(entry.path()) + " to " + Shown(target));
    }
    if (walked)
        return Failure("Can't read folder " + Shown(content) + ": " + walked.message());
    RemoveDirectoryW(content.c_str());
    return ArchiveResult{true, {}};
}

ArchiveResult UnpackArchiveEntries(const fs::path& archive, const fs::path& folder,
                                   const std::vector<std::string>&) {
    // Compress-Archive packs the whole folder anew: every entry must be there.
    return UnpackArchive(archive, folder);
}

ArchiveResult RepackArchive(const fs::path&, const fs::path& folder,
                            const std::vector<std::string>&, const fs::path& output) {
    const fs::path zip = TemporaryZipBeside(output);
    std::error_code probed;
    if (!RunScript(CompressArchiveScript<wchar_t>(),
                   {{kArchiveVariable, zip}, {kFolderVariable, folder}}) ||
        !fs::is_regular_file(zip, probed)) {
        DeleteFileW(zip.c_str());
        return Failure("PowerShell could not pack " + Shown(folder) + " into " + Shown(output));
    }
    if (!MoveFileExW(zip.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(zip.c_str());
        return Failure("Can't write archive " + Shown(output));
    }
    return ArchiveResult{true, {}};
}

std::string ArchiveEngineName() {
    return "PowerShell";
}

}  // namespace platform
