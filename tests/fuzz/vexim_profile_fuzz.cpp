// vexim's system profile (a ".vxf" file, a history record) over arbitrary bytes. Whatever a
// record holds, what is read from it can be written again, and reading that back gives the same
// profile; a record file of any other length is refused, says why and leaves the profile as it
// was.

#include <cstddef>
#include <cstdint>
#include <string>

#include "downloader/system_profile.h"
#include "scratch_files.h"

namespace {

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProfileBytes record{};
    for (size_t i = 0; i < record.size() && i < size; ++i)
        record[i] = data[i];
    const SystemProfile decoded = DecodeProfile(record.data());
    ProfileBytes encoded{};
    Check(EncodeProfile(decoded, encoded));
    Check(DecodeProfile(encoded.data()) == decoded);

    const std::string path = fuzz::WriteScratchFile("profile.vxf", data, size);
    SystemProfile untouched;
    untouched.fileName = "untouched";
    SystemProfile read = untouched;
    std::string whyNot;
    if (ReadProfileFile(path, read, &whyNot)) {
        Check(size == kSystemProfileSize && read == DecodeProfile(data));
        const std::string copy = fuzz::ScratchFolder() + "/copy.vxf";
        SystemProfile again;
        Check(WriteProfileFile(copy, read) && ReadProfileFile(copy, again) && again == read);
    } else {
        // A refused file leaves the profile as it was, and the user is told why.
        Check(read == untouched && !whyNot.empty());
    }
    return 0;
}
