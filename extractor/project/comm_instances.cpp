#include "extractor/project/comm_instances.h"

namespace extractor {

std::string_view commBlockName(CommBlock block) {
    switch (block) {
        case CommBlock::SendReq:
            return "SEND_REQ";
        case CommBlock::ReadVar:
            return "READ_VAR";
        case CommBlock::WriteVar:
            return "WRITE_VAR";
    }
    return {};
}

std::string_view instanceTypeName(InstanceKind kind) {
    static constexpr std::string_view names[instanceKindCount] = {
        "IBY_SEND_REQ",         "IBY_SEND_REQ_DYNAMIC", "IBY_READ_VAR",
        "IBY_READ_VAR_DYNAMIC", "IBY_WRITE_VAR",        "IBY_WRITE_VAR_DYNAMIC",
    };
    return names[kindIndex(kind)];
}

}  // namespace extractor
