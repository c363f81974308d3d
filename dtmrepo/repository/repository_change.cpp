#include "dtmrepo/repository/repository_change.h"

#include <system_error>

#include "dtmrepo/repository/repository_paths.h"
#include "dtmrepo/text_files.h"

namespace dtmrepo {

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) {
    return "\"" + displayPath(path) + "\"";
}

}  // namespace

bool RepositoryChange::fail(int errorNumber, std::string command, std::string reason) {
    failed_ = true;
    failure_ = {errorNumber, std::move(command), std::move(reason), {}, {}};
    return false;
}

bool RepositoryChange::makeFolder(const fs::path& folder) {
    if (failed_) {
        return false;
    }
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        return true;
    }
    if (!fs::create_directory(folder, error) || error) {
        return fail(error ? error.value() : 1, "MD " + quoted(folder),
                    error ? error.message() : "a file of that name is in the way");
    }
    undo_.push_back({Undo::RemoveFolder, folder, {}, fs::perms::none});
    return true;
}

bool RepositoryChange::noteFile(const fs::path& target, const std::string& command) {
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (!fs::exists(status)) {
        undo_.push_back({Undo::RemoveFile, target, {}, fs::perms::none});
        return true;
    }
    const auto previous = fs::is_regular_file(status) ? readFileBytes(target) : std::nullopt;
    if (!previous) {
        return fail(1, command, "the file in its place cannot be read");
    }
    undo_.push_back({Undo::RestoreFile, target, *previous, status.permissions()});
    return true;
}

bool RepositoryChange::writeFile(const fs::path& target, std::string_view bytes,
                                 const fs::path& source) {
    if (failed_) {
        return false;
    }
    const std::string command = source.empty() ? "write " + quoted(target)
                                               : "copy " + quoted(source) + " " + quoted(target);
    if (!noteFile(target, command)) {
        return false;
    }
    if (!replaceFileWith(target, bytes)) {
        undo_.pop_back();  // nothing was changed
        std::error_code error;
        return fail(1, command,
                    fs::is_directory(target.parent_path(), error)
                        ? "the file cannot be written"
                        : "the folder " + quoted(target.parent_path()) + " does not exist");
    }
    return true;
}

bool RepositoryChange::copyFile(const fs::path& source, const fs::path& target) {
    if (failed_) {
        return false;
    }
    const auto bytes = readFileBytes(source);
    if (!bytes) {
        return fail(1, "copy " + quoted(source) + " " + quoted(target),
                    "the source cannot be read");
    }
    return writeFile(target, *bytes, source);
}

bool RepositoryChange::makeWritable(const fs::path& file) {
    if (failed_) {
        return false;
    }
    std::error_code error;
    const fs::perms before = fs::status(file, error).permissions();
    if (!error) {
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, error);
    }
    if (error) {
        return fail(error.value(), "attrib " + quoted(file) + " -R", error.message());
    }
    undo_.push_back({Undo::RestorePermissions, file, {}, before});
    return true;
}

void RepositoryChange::rollBack(const fs::path& previousIndex) {
    bool stuck = false;
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) {
        std::error_code error;
        if (stuck) {
            if (it->kind != Undo::RestorePermissions) {
                failure_.notPutBack.push_back(displayPath(it->path));
            }
            continue;
        }
        switch (it->kind) {
            case Undo::RemoveFolder:
            case Undo::RemoveFile:
                fs::remove(it->path, error);
                stuck = error && fs::exists(it->path);
                break;
            case Undo::RestoreFile: {
                std::error_code ignored;
                fs::permissions(it->path, fs::perms::owner_write, fs::perm_options::add, ignored);
                stuck = !replaceFileWith(it->path, it->bytes);
                fs::permissions(it->path, it->permissions, ignored);
                break;
            }
            case Undo::RestorePermissions:
                fs::permissions(it->path, it->permissions, error);
                break;
        }
        if (stuck) {
            failure_.notPutBack.push_back(displayPath(it->path));
        }
    }
    if (stuck && !previousIndex.empty()) {
        failure_.previousIndex = displayPath(previousIndex);
    }
    undo_.clear();
}

std::string changeFailureText(const ChangeFailure& failure) {
    std::string text = "Unable to " + failure.command + ": " + failure.reason + ".";
    if (failure.notPutBack.empty()) {
        return text + " The repository is as it was.";
    }
    text += " These files could not be put back as they were:";
    for (const std::string& file : failure.notPutBack) {
        text += "\r\n   " + file;
    }
    if (!failure.previousIndex.empty()) {
        text += "\r\nThe index as it was before is kept in " + failure.previousIndex + ".";
    }
    return text;
}

}  // namespace dtmrepo
