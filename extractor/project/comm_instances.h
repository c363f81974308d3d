#pragma once

// The replacement communication blocks and their instance kinds. The order of the kinds is the
// order in which their instance variables are declared.

#include <array>
#include <string_view>

namespace extractor {

enum class CommBlock { SendReq, ReadVar, WriteVar };

enum class InstanceKind {
    StaticSendReq,
    DynamicSendReq,
    StaticReadVar,
    DynamicReadVar,
    StaticWriteVar,
    DynamicWriteVar,
};
inline constexpr int instanceKindCount = 6;

inline constexpr std::array<InstanceKind, instanceKindCount> allInstanceKinds = {
    InstanceKind::StaticSendReq,  InstanceKind::DynamicSendReq, InstanceKind::StaticReadVar,
    InstanceKind::DynamicReadVar, InstanceKind::StaticWriteVar, InstanceKind::DynamicWriteVar,
};

inline constexpr int kindIndex(InstanceKind kind) {
    return static_cast<int>(kind);
}

inline constexpr InstanceKind instanceKindOf(CommBlock block, bool dynamic) {
    return static_cast<InstanceKind>(static_cast<int>(block) * 2 + (dynamic ? 1 : 0));
}

// "SEND_REQ", "READ_VAR", "WRITE_VAR".
std::string_view commBlockName(CommBlock block);

// The block type of the kind's instances: "IBY_SEND_REQ", "IBY_SEND_REQ_DYNAMIC", ...
std::string_view instanceTypeName(InstanceKind kind);

// Per-kind counts or numbers, indexed by kindIndex.
using KindCounts = std::array<int, instanceKindCount>;

}  // namespace extractor
