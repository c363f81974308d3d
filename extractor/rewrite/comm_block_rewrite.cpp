#include "extractor/rewrite/comm_block_rewrite.h"

#include "extractor/project/comm_calls.h"
#include "extractor/project/line_text.h"
#include "toolshell/replace_all.h"

namespace extractor {

namespace {

std::string_view placeholderWord(CommBlock block) {
    switch (block) {
        case CommBlock::SendReq:
            return "IBYSENDREQIPd";
        case CommBlock::ReadVar:
            return "IBYREADVARIPd";
        case CommBlock::WriteVar:
            return "IBYWRITEVARIPd";
    }
    return {};
}

// Every "'PMS'," of the call removed, whatever its case.
void removePms(std::string& call) {
    for (std::size_t at = upperCase(call).find("'PMS',"); at != std::string::npos;
         at = upperCase(call).find("'PMS',")) {
        call.erase(at, 6);
    }
}

}  // namespace

std::string ipPlaceholder(CommBlock block, const ModuleContext& module) {
    std::string text(1, '\'');
    text += placeholderWord(block);
    text += decimal(module.rack);
    text += "_s";
    text += decimal(module.slot);
    text += '\'';
    return text;
}

CommAddress parseCommAddress(std::string_view text) {
    CommAddress address;
    const std::size_t first = text.find('.');
    address.rack = static_cast<int>(leadingNumber(text.substr(0, first)));
    if (first == std::string_view::npos) {
        return address;
    }
    const std::size_t second = text.find('.', first + 1);
    address.slot = static_cast<int>(leadingNumber(text.substr(first + 1, second - first - 1)));
    if (second == std::string_view::npos) {
        return address;
    }
    const std::size_t third = text.find('.', second + 1);
    address.channel = static_cast<int>(leadingNumber(text.substr(second + 1, third - second - 1)));
    if (third == std::string_view::npos) {
        return address;
    }
    const std::string_view node = text.substr(third + 1);
    address.node = upperCase(node) == "SYS" ? 254 : static_cast<int>(leadingNumber(node));
    return address;
}

std::string rewriteCommBlocks(std::string line, CommBlock block, CommRewriteContext& context) {
    if (context.language != 1 && context.language != 2) {
        return line;
    }
    const std::string name(commBlockName(block));
    const bool structuredText = context.language == 1;
    // Ladder calls are counted with the main sections; their instances are numbered where
    // they are declared, in the DFB when they stand in one.
    const bool countInDfb = structuredText && context.dfbArea;
    const std::string upper = upperCase(line);
    // The rewritten line is built piece by piece, so a line of many calls costs its length.
    std::string rewritten;
    std::size_t kept = 0;
    for (std::size_t from = 0;;) {
        const std::optional<CommCall> found = findCommCall(upper, block, from);
        if (!found) {
            break;
        }
        const std::size_t at = found->at;
        const std::size_t open = found->open;
        const std::size_t end = found->end;
        const bool dynamic = found->dynamic;
        from = end;
        std::string call;
        if (!dynamic) {
            const std::size_t addr = upper.find("ADDR(", open);
            const std::size_t quote = addr == std::string::npos ? addr : line.find('\'', addr);
            const std::size_t quoteEnd =
                quote == std::string::npos ? quote : line.find('\'', quote + 1);
            const std::size_t addrClose =
                quoteEnd == std::string::npos ? quoteEnd : line.find(')', quoteEnd);
            if (addr >= end || addrClose == std::string::npos || addrClose >= end) {
                continue;
            }
            const CommAddress address =
                parseCommAddress(std::string_view(line).substr(quote + 1, quoteEnd - quote - 1));
            if (address.rack != context.module.rack || address.slot != context.module.slot ||
                address.channel != 0) {
                continue;
            }
            call = line.substr(open, addr - open) + decimal(address.node);
            if (block == CommBlock::SendReq) {
                call += ',';
                call += ipPlaceholder(block, context.module);
            }
            call += line.substr(addrClose + 1, end - addrClose - 1);
            if (block != CommBlock::SendReq) {
                if (structuredText) {
                    call = upperCase(call);
                }
                toolshell::replaceEvery(call, "'PMS'", ipPlaceholder(block, context.module),
                                        toolshell::LetterCase::Ignore);
            }
        } else {
            call = line.substr(open, end - open);
            if (block != CommBlock::SendReq) {
                removePms(call);
            }
        }
        const InstanceKind kind = instanceKindOf(block, dynamic);
        KindCounts& numbers = context.dfbArea ? context.dfbNumbers : context.sectionNumbers;
        const int number = ++numbers[kindIndex(kind)];
        ++(countInDfb ? context.counters.inDfbs : context.counters.inSections)[kindIndex(kind)];
        const std::string renamed = std::string(instanceTypeName(kind)) + "_" + decimal(number);
        if (dynamic && context.results) {
            context.results("  WARNING!!!!  Dynamic " + name + " call replaced by " + renamed +
                            " in '" + std::string(context.where) +
                            "': its address array must name the PMEDWL module.");
        }
        rewritten.append(line, kept, at - kept);
        rewritten += renamed;
        rewritten += call;
        kept = end;
    }
    if (kept == 0) {
        return line;
    }
    rewritten.append(line, kept);
    return rewritten;
}

}  // namespace extractor
