#include "extractor/project/comm_calls.h"

#include <string>

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

bool identifierChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Just after the ")" that closes the "(" at `open`; text in apostrophes does not count.
std::size_t closingBracket(std::string_view line, std::size_t open) {
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = open; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\'') {
            quoted = !quoted;
        } else if (!quoted && c == '(') {
            ++depth;
        } else if (!quoted && c == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return line.size();
}

}  // namespace

std::optional<CommCall> findCommCall(std::string_view upperLine, CommBlock block,
                                     std::size_t from) {
    const std::string key = std::string(commBlockName(block)) + "(";
    for (std::size_t at = upperLine.find(key, from); at != std::string_view::npos;
         at = upperLine.find(key, at + 1)) {
        if (at > 0 && identifierChar(upperLine[at - 1])) {
            continue;
        }
        CommCall call;
        call.at = at;
        call.open = at + key.size() - 1;
        call.end = closingBracket(upperLine, call.open);
        const std::string_view args = upperLine.substr(call.open, call.end - call.open);
        if (block != CommBlock::SendReq && args.find("'PMS'") == std::string_view::npos) {
            continue;
        }
        call.dynamic = args.find("ADDR") == std::string_view::npos;
        return call;
    }
    return std::nullopt;
}

std::optional<TypedCommBlock> findTypedCommBlock(std::string_view line) {
    if (!holds(line, "<FFBBlock")) {
        return std::nullopt;
    }
    const std::string_view type = namedAttribute(line, "typeName");
    const std::string upper = upperCase(type);
    for (CommBlock block : {CommBlock::SendReq, CommBlock::ReadVar, CommBlock::WriteVar}) {
        const std::string_view name = commBlockName(block);
        if (type == name ||
            (upper.size() > name.size() && upper.compare(0, name.size(), name) == 0 &&
             upper[name.size()] == '(')) {
            return TypedCommBlock{block, static_cast<std::size_t>(type.data() - line.data())};
        }
    }
    return std::nullopt;
}

}  // namespace extractor
