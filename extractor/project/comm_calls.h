#pragma once

// Where a line calls SEND_REQ, READ_VAR or WRITE_VAR, found the same way by the census that
// declares the replacement instances and by the rewrite that numbers them, so the two always
// agree. A call is the block's name followed by "(" (not the end of a longer name), up to the
// ")" that closes it; READ_VAR and WRITE_VAR count only with the mark 'PMS' among their
// arguments. A call whose arguments hold ADDR is static, any other dynamic.

#include <cstddef>
#include <optional>
#include <string_view>

#include "extractor/project/comm_instances.h"

namespace extractor {

struct CommCall {
    std::size_t at = 0;    // where the block's name starts
    std::size_t open = 0;  // the "(" after the name
    std::size_t end = 0;   // just after the closing ")", or the end of the line
    bool dynamic = false;
};

// The first call of `block` at or after `from` in the upper-case form of a line.
std::optional<CommCall> findCommCall(std::string_view upperLine, CommBlock block,
                                     std::size_t from = 0);

// A block drawn in a block diagram or a ladder rung: an "<FFBBlock" element whose type names
// the block, typeName="READ_VAR" as Control Expert exports a block drawn from the library, or
// with the call's bracket after the name (typeName="READ_VAR(...").
struct TypedCommBlock {
    CommBlock block = CommBlock::SendReq;
    std::size_t at = 0;  // where the type's name starts in the line
};
std::optional<TypedCommBlock> findTypedCommBlock(std::string_view line);

}  // namespace extractor
