#pragma once

// The arrays of the generated device structure that a module address becomes an element of,
// with their last index. An address past the end names an element the PLC does not have; the
// project would not build, so the conversion says which one.

#include <string>
#include <string_view>
#include <vector>

namespace extractor {

// Every element in `line` past the end of its array, as written: "IBY_DIO_d0_s3.Inputs.IW[244]".
std::vector<std::string> elementsOutOfRange(std::string_view line, std::string_view device);

}  // namespace extractor
