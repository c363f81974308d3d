#pragma once

// Statement pieces of the communication blocks: the messaging address, the request words, the
// management words, and the route match of the dynamic blocks. Each piece is structured text,
// lines separated by LF.

#include <string>
#include <string_view>

namespace extractor {

enum class IbyRequest { sendReq, readVar, writeVar };

// The request of a static block, from the address to the management words, with the module's
// IP text taken from `ipName`; the marker line is not part of it.
std::string ibyRequestStatements(IbyRequest request, std::string_view ipName);

// The marker line of a static block, and of a dynamic one.
std::string_view ibyRequestMarker(IbyRequest request, bool dynamic);

// The program of a dynamic block: the route of the replaced call matched against the two
// modules, then the static twin's request for the module found, with `indexName` holding the
// module's number (written `testName` in the test, as the block's editor left it).
std::string ibyDynamicRequestProgram(IbyRequest request, std::string_view indexName,
                                     std::string_view testName);

}  // namespace extractor
