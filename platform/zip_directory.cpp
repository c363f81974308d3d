#include "platform/zip_directory.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace platform {

namespace {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;

std::uint64_t Little(const std::string& bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

bool Signature(const std::string& bytes, std::size_t at, char third, char fourth) {
    return at + 4 <= bytes.size() && bytes[at] == 'P' && bytes[at + 1] == 'K' &&
           bytes[at + 2] == third && bytes[at + 3] == fourth;
}

}  // namespace

ZipDirectoryState CheckZipDirectory(std::uint64_t size, const ZipRead& read) {
    if (size < kEndRecordSize) {
        return ZipDirectoryState::NotAnArchive;
    }
    // The end record stands in the last 22 bytes, or before a comment of up to 65535.
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndRecordSize + kLongestComment);
    const std::uint64_t tailStart = size - tailSize;
    std::string tail;
    if (!read(tailStart, static_cast<std::size_t>(tailSize), tail)) {
        return ZipDirectoryState::Unreadable;
    }
    std::size_t record = std::string::npos;
    for (std::size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        if (Signature(tail, at, '\x05', '\x06') &&
            at + kEndRecordSize + Little(tail, at + 20, 2) <= tail.size()) {
            record = at;
            break;
        }
    }
    if (record == std::string::npos) {
        return ZipDirectoryState::NotAnArchive;
    }
    const std::uint64_t recordAt = tailStart + record;
    std::uint64_t entries = Little(tail, record + 10, 2);
    std::uint64_t directorySize = Little(tail, record + 12, 4);
    std::uint64_t directoryAt = Little(tail, record + 16, 4);
    std::uint64_t directoryEnd = recordAt;
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryAt == 0xFFFFFFFF) {
        // A ZIP64 archive: the locator before the record names the ZIP64 end record.
        std::string locator;
        if (recordAt < kZip64LocatorSize ||
            !read(recordAt - kZip64LocatorSize, kZip64LocatorSize, locator) ||
            !Signature(locator, 0, '\x06', '\x07')) {
            return ZipDirectoryState::DamagedDirectory;
        }
        const std::uint64_t zip64At = Little(locator, 8, 8);
        std::string zip64;
        if (zip64At > recordAt || recordAt - zip64At < kZip64EndRecordSize ||
            !read(zip64At, kZip64EndRecordSize, zip64) || !Signature(zip64, 0, '\x06', '\x06')) {
            return ZipDirectoryState::DamagedDirectory;
        }
        entries = Little(zip64, 32, 8);
        directorySize = Little(zip64, 40, 8);
        directoryAt = Little(zip64, 48, 8);
        directoryEnd = zip64At;
    }
    if (entries == 0) {
        return ZipDirectoryState::Sound;
    }
    // The directory ends where the end records begin, and opens with an entry's header.
    std::string head;
    if (directoryAt > directoryEnd || directorySize > directoryEnd - directoryAt ||
        directorySize < 46 || !read(directoryAt, 4, head) || !Signature(head, 0, '\x01', '\x02')) {
        return ZipDirectoryState::DamagedDirectory;
    }
    return ZipDirectoryState::Sound;
}

ZipDirectoryState CheckZipDirectory(const std::filesystem::path& archive) {
    std::error_code failed;
    const std::uint64_t size = std::filesystem::file_size(archive, failed);
    std::ifstream in(archive, std::ios::binary);
    if (failed || !in) {
        return ZipDirectoryState::Unreadable;
    }
    return CheckZipDirectory(
        size, [&in](std::uint64_t offset, std::size_t length, std::string& out) {
            out.assign(length, '\0');
            in.clear();
            in.seekg(static_cast<std::streamoff>(offset));
            return static_cast<bool>(in.read(out.data(), static_cast<std::streamsize>(length)));
        });
}

std::string ZipDirectoryProblemText(ZipDirectoryState state, const std::string& shown) {
    switch (state) {
        case ZipDirectoryState::Sound:
            return {};
        case ZipDirectoryState::NotAnArchive:
            return "Can't open archive " + shown +
                   ": it is not a ZIP archive (no end of its "
                   "directory of entries)";
        case ZipDirectoryState::DamagedDirectory:
            return "Can't open archive " + shown + ": its directory of entries is damaged";
        case ZipDirectoryState::Unreadable:
            return "Can't read archive " + shown;
    }
    return {};
}

}  // namespace platform
