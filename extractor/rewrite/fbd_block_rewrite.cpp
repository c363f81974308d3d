#include "extractor/rewrite/fbd_block_rewrite.h"

#include "extractor/project/comm_calls.h"
#include "extractor/project/line_text.h"

namespace extractor {

bool FbdBlockRewrite::start(std::string_view line) {
    if (holds(line, "</FFBBlock>")) {
        return false;
    }
    if (const auto typed = findTypedCommBlock(line)) {
        active_ = true;
        typedOnly_ = true;
        block_ = typed->block;
        callAt_ = typed->at;
        lines_.assign(1, std::string(line));
        return true;
    }
    const std::string upper = upperCase(line);
    for (CommBlock block : {CommBlock::SendReq, CommBlock::ReadVar, CommBlock::WriteVar}) {
        const std::size_t at = upper.find(std::string(commBlockName(block)) + "(");
        if (at != std::string::npos) {
            active_ = true;
            typedOnly_ = false;
            block_ = block;
            callAt_ = at;
            lines_.assign(1, std::string(line));
            return true;
        }
    }
    return false;
}

bool FbdBlockRewrite::feed(std::string_view line, CommRewriteContext& context,
                           std::vector<std::string>& finished) {
    const std::string upper = upperCase(line);
    const std::string name(commBlockName(block_));
    std::string& first = lines_.front();
    if (holds(upper, "ADR") && !holds(upper, "ADDR")) {
        if (context.results) {
            context.results("  WARNING!!!!  " + name +
                            " function block found with no direct ADDR entry in     Section = '" +
                            std::string(context.where) + "'    Instance = '" +
                            std::string(firstQuotedValue(first)) + "'.");
        }
    }
    std::string current(line);
    if (holds(upper, "ADR") && holds(upper, "ADDR")) {
        const std::size_t addr = upper.find("ADDR");
        const std::size_t quote = current.find('\'', addr);
        const std::size_t quoteEnd =
            quote == std::string::npos ? quote : current.find('\'', quote + 1);
        const std::size_t bracket = current.find('(', addr);
        const std::size_t close =
            quoteEnd == std::string::npos ? quoteEnd : current.find(')', quoteEnd);
        if (close != std::string::npos && bracket != std::string::npos) {
            const CommAddress address =
                parseCommAddress(std::string_view(current).substr(quote + 1, quoteEnd - quote - 1));
            if (address.rack == context.module.rack && address.slot == context.module.slot &&
                address.channel == 0) {
                current = current.substr(0, addr) + decimal(address.node) +
                          current.substr(addr + 4, bracket - addr - 4) + current.substr(close + 1);
                first = first.substr(0, callAt_) + "IBY_" + name + context.module.suffix() +
                        first.substr(callAt_ + name.size());
                // The typed form names its object ('PMS') on a pin of its own.
                if (block_ == CommBlock::SendReq || typedOnly_ ||
                    holds(upperCase(first), "'PMS'")) {
                    const InstanceKind kind = instanceKindOf(block_, false);
                    KindCounts& numbers =
                        context.dfbArea ? context.dfbNumbers : context.sectionNumbers;
                    const int number = ++numbers[kindIndex(kind)];
                    ++context.counters.inSections[kindIndex(kind)];
                    const std::size_t open = first.find('"');
                    const std::size_t shut =
                        open == std::string::npos ? open : first.find('"', open + 1);
                    if (shut != std::string::npos) {
                        first = first.substr(0, open + 1) + "IBY_" + name + "_" + decimal(number) +
                                first.substr(shut);
                    }
                }
            }
        }
    }
    lines_.push_back(current);
    // A block never reaches past the end of its diagram, whatever its lines lack.
    if (!holds(line, "</FFBBlock>") && !holds(upper, "ADDR") && !holds(line, "</FBDSource") &&
        !holds(line, "</LDSource")) {
        return false;
    }
    // Every line but the last is written here; the last goes back to the loop.
    finished.assign(lines_.begin(), lines_.end() - 1);
    lastLine_ = std::move(lines_.back());
    lines_.clear();
    active_ = false;
    return true;
}

std::vector<std::string> FbdBlockRewrite::flush() {
    active_ = false;
    return std::move(lines_);
}

}  // namespace extractor
