#include "bench/large_project.h"

#include <zip.h>

#include <cstdio>
#include <cstdlib>

namespace bench {

std::optional<LargeProjectRequest> largeProjectRequest(int argc, char** argv, const char* program) {
    if (argc != 3 || std::atoll(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: %s <archive.zef> <megabytes>\n", program);
        return std::nullopt;
    }
    return LargeProjectRequest{argv[1], std::string(argv[1]) + ".unitpro.xef",
                               std::atoll(argv[2]) * 1000000LL};
}

std::string plainCodeLine(long n) {
    return "Total_" + std::to_string(n % 50) + " := Total_" + std::to_string(n % 50) +
           " + Sample_" + std::to_string(n % 17) + " * Gain;";
}

void ProjectFileWriter::line(std::string_view text) {
    out_ << text << "\r\n";
    size_ += static_cast<long long>(text.size()) + 2;
}

bool ProjectFileWriter::close() {
    out_.close();
    return static_cast<bool>(out_);
}

bool writeProjectArchive(const LargeProjectRequest& request, long long projectSize,
                         long generatedLines, const std::vector<ArchiveEntry>& others) {
    int error = 0;
    zip_t* zip = zip_open(request.archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (zip == nullptr) {
        std::fprintf(stderr, "can't create %s\n", request.archive.c_str());
        return false;
    }
    // Sources that an archive does not take stay the caller's to free.
    auto add = [zip](const char* name, zip_source_t* data) {
        const zip_int64_t index = data != nullptr ? zip_file_add(zip, name, data, 0) : -1;
        if (index < 0 && data != nullptr)
            zip_source_free(data);
        return index;
    };
    bool ok = add("unitpro.xef", zip_source_file(zip, request.projectFile.c_str(), 0, -1)) >= 0;
    for (const ArchiveEntry& entry : others) {
        const zip_int64_t index =
            ok ? add(entry.name.c_str(),
                     zip_source_buffer(zip, entry.data.data(), entry.data.size(), 0))
               : -1;
        ok = index >= 0;
        if (ok && entry.stored) {
            ok = zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) ==
                 0;
        }
    }
    if (!ok || zip_close(zip) != 0) {
        std::fprintf(stderr, "can't write %s: %s\n", request.archive.c_str(), zip_strerror(zip));
        zip_discard(zip);
        return false;
    }
    std::printf("%s: project file of %lld bytes, %ld generated lines\n", request.archive.c_str(),
                projectSize, generatedLines);
    return true;
}

}  // namespace bench
