#include "extractor/project/device_arrays.h"

namespace extractor {

namespace {

struct DeviceArray {
    std::string_view member;
    long last;
};

constexpr DeviceArray deviceArrays[] = {
    {".Inputs.IW[", 241},
    {".Outputs.QW[", 241},
    {".Inputs.IBS_Status[", 12},
    {".Outputs.IBS_Command[", 11},
};

}  // namespace

std::vector<std::string> elementsOutOfRange(std::string_view line, std::string_view device) {
    std::vector<std::string> found;
    if (line.find(device) == std::string_view::npos) {
        return found;
    }
    for (const DeviceArray& array : deviceArrays) {
        const std::string head = std::string(device) + std::string(array.member);
        for (std::size_t at = line.find(head); at != std::string_view::npos;
             at = line.find(head, at + head.size())) {
            std::size_t end = at + head.size();
            long index = 0;
            bool digits = false;
            while (end < line.size() && line[end] >= '0' && line[end] <= '9') {
                digits = true;
                index = index < 100000000 ? index * 10 + (line[end] - '0') : index;
                ++end;
            }
            if (digits && end < line.size() && line[end] == ']' && index > array.last) {
                found.emplace_back(line.substr(at, end + 1 - at));
            }
        }
    }
    return found;
}

}  // namespace extractor
