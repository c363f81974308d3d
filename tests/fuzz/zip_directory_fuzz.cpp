// The end-of-archive check that the Windows archive road makes before it asks PowerShell for an
// archive's entries. Oracle: an archive libzip opens and checks (ZIP_CHECKCONS) is never called
// no ZIP archive (libzip takes an empty file for an empty archive, .NET does not); every read
// stays inside the file.

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/zip_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const platform::ZipDirectoryState state = platform::CheckZipDirectory(
        bytes.size(), [&](std::uint64_t offset, std::size_t length, std::string& out) {
            if (offset > bytes.size() || length > bytes.size() - offset) {
                __builtin_trap();  // the check asked past the end of the file
            }
            out = bytes.substr(static_cast<std::size_t>(offset), length);
            return true;
        });
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source != nullptr
                         ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error)
                         : nullptr;
    if (archive != nullptr) {
        if (state == platform::ZipDirectoryState::NotAnArchive && !bytes.empty()) {
            __builtin_trap();
        }
        zip_discard(archive);
    } else if (source != nullptr) {
        zip_source_free(source);
    }
    zip_error_fini(&error);
    return 0;
}
