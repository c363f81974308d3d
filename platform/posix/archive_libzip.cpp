// Archives through libzip. A rewritten archive starts as a byte copy of the old one, so libzip
// keeps every entry it is not told to change exactly as it was (data, method, times, order).

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/archive.h"
#include "platform/posix/deflated_file_source.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

ArchiveResult Failure(std::string what) {
    return ArchiveResult{false, std::move(what)};
}

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string ArchiveErrorText(zip_t* archive) {
    return zip_error_strerror(zip_get_error(archive));
}

// Entry names use "/" in the file; tools on Windows sometimes write "\".
std::string SlashName(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

ZipHandle OpenForReading(const fs::path& path, std::string& error) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr)
        error = "Can't open archive " + path.string() + ": " + ZipErrorText(code);
    return ZipHandle(archive);
}

// The reason the system gives (a full disk, say); streams keep the last call's errno.
std::string WriteFailureText() {
    return errno != 0 ? std::string(std::strerror(errno)) : std::string("write failed");
}

bool ExtractEntry(zip_t* archive, zip_uint64_t index, const fs::path& target, std::string& error) {
    zip_file_t* entry = zip_fopen_index(archive, index, 0);
    if (entry == nullptr) {
        error = ArchiveErrorText(archive);
        return false;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    bool ok = static_cast<bool>(out);
    if (!ok)
        error = std::strerror(errno);
    char buffer[65536];
    while (ok) {
        const zip_int64_t got = zip_fread(entry, buffer, sizeof buffer);
        if (got < 0) {
            error = zip_error_strerror(zip_file_get_error(entry));
            ok = false;
        } else if (got == 0) {
            break;
        } else {
            errno = 0;
            if (!out.write(buffer, got)) {
                error = WriteFailureText();
                ok = false;
            }
        }
    }
    zip_fclose(entry);
    errno = 0;
    out.close();
    if (ok && !out) {
        error = WriteFailureText();
        ok = false;
    }
    return ok;
}

// Rewritten entries are deflated at a fast level, as the PowerShell road packs them
// (Compress-Archive -CompressionLevel Fastest): a project file runs to 100 MB. On project text
// level 2 is as fast as level 1 and packs a sixth smaller.
constexpr int kRewrittenEntryLevel = 2;

fs::path TemporaryNameBeside(const fs::path& output) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path folder = output.parent_path().empty() ? fs::path(".") : output.parent_path();
    for (;;) {
        const fs::path candidate = folder / (".~" + output.filename().string() + "." +
                                             std::to_string(random() % 1000000000) + ".tmp");
        std::error_code ignored;
        if (!fs::exists(candidate, ignored))
            return candidate;
    }
}

}  // namespace

namespace {

// Unpacks the entries `wanted` names, or every one when it is null.
ArchiveResult Unpack(const fs::path& archivePath, const fs::path& folder,
                     const std::vector<std::string>* wanted) {
    std::string error;
    ZipHandle archive = OpenForReading(archivePath, error);
    if (!archive)
        return Failure(error);

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    std::vector<std::string> names;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (name == nullptr || !IsSafeEntryName(name))
            return Failure("Archive " + archivePath.string() +
                           " holds an unsafe entry name: " + (name != nullptr ? name : "?"));
        names.push_back(SlashName(name));
    }

    std::error_code made;
    fs::create_directories(folder, made);
    if (made)
        return Failure("Can't create folder " + folder.string() + ": " + made.message());
    for (zip_int64_t i = 0; i < count; ++i) {
        const std::string& name = names[static_cast<size_t>(i)];
        if (wanted != nullptr && std::find(wanted->begin(), wanted->end(), name) == wanted->end())
            continue;
        const fs::path target = folder / fs::path(name);
        if (name.back() == '/') {
            fs::create_directories(target, made);
            if (made)
                return Failure("Can't create folder " + target.string() + ": " + made.message());
            continue;
        }
        fs::create_directories(target.parent_path(), made);
        if (made)
            return Failure("Can't create folder " + target.parent_path().string() + ": " +
                           made.message());
        if (!ExtractEntry(archive.get(), static_cast<zip_uint64_t>(i), target, error))
            return Failure("Can't unpack " + name + " from " + archivePath.string() + ": " + error);
    }
    return ArchiveResult{true, {}};
}

}  // namespace

ArchiveResult UnpackArchive(const fs::path& archive, const fs::path& folder) {
    return Unpack(archive, folder, nullptr);
}

ArchiveResult UnpackArchiveEntries(const fs::path& archive, const fs::path& folder,
                                   const std::vector<std::string>& entries) {
    std::vector<std::string> wanted;
    for (const std::string& entry : entries)
        wanted.push_back(SlashName(entry));
    return Unpack(archive, folder, &wanted);
}

ArchiveResult RepackArchive(const fs::path& input, const fs::path& folder,
                            const std::vector<std::string>& changedEntries,
                            const fs::path& output) {
    const fs::path temporary = TemporaryNameBeside(output);
    auto discardTemporary = [&] {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    };
    std::error_code copied;
    if (!fs::copy_file(input, temporary, copied)) {
        // A copy cut short (a full disk) leaves its part; the message names the user's files.
        discardTemporary();
        return Failure("Can't copy " + input.string() + " to " + output.string() + ": " +
                       copied.message());
    }

    int code = 0;
    zip_t* archive = zip_open(temporary.c_str(), ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        discardTemporary();
        return Failure("Can't open archive " + input.string() + ": " + ZipErrorText(code));
    }
    for (const std::string& entry : changedEntries) {
        const fs::path source = folder / fs::path(SlashName(entry));
        std::string why;
        zip_source_t* data = DeflatedFileSource(archive, source, kRewrittenEntryLevel, why);
        zip_int64_t index = data != nullptr ? zip_name_locate(archive, entry.c_str(), 0) : -1;
        bool ok = data != nullptr;
        if (ok && index >= 0) {
            ok = zip_file_replace(archive, static_cast<zip_uint64_t>(index), data, 0) == 0;
        } else if (ok) {
            ok = zip_file_add(archive, entry.c_str(), data, ZIP_FL_ENC_UTF_8) >= 0;
        }
        if (!ok) {
            if (data != nullptr) {
                why = ArchiveErrorText(archive);
                zip_source_free(data);
            }
            zip_discard(archive);
            discardTemporary();
            return Failure("Can't put " + entry + " into " + output.string() + ": " + why);
        }
    }
    if (zip_close(archive) != 0) {
        const std::string why = ArchiveErrorText(archive);
        zip_discard(archive);
        discardTemporary();
        return Failure("Can't write archive " + output.string() + ": " + why);
    }
    std::error_code moved;
    fs::rename(temporary, output, moved);
    if (moved) {
        discardTemporary();
        return Failure("Can't write archive " + output.string() + ": " + moved.message());
    }
    return ArchiveResult{true, {}};
}

std::string ArchiveEngineName() {
    return std::string("libzip ") + zip_libzip_version();
}

}  // namespace platform
