#include "extractor/passes/comm_call_census.h"

#include <algorithm>

#include "extractor/project/comm_calls.h"
#include "extractor/project/line_text.h"

namespace extractor {

namespace {

struct CensusLabels {
    std::string_view inDfb;
    std::string_view inSection;
};

// The labels of the census lines by kind, as the support desk knows them.
constexpr CensusLabels labels[instanceKindCount] = {
    {" (static1) dfb_send_req_count(", " (static2) sec_Send_Req_Instance("},
    {" (dynamic3) dfb_send_req_count(", " (dynamic4) sec_Send_Req_Instance("},
    {" (static5) dfb_Read_Var_count(", " (static6) sec_Read_Var_Instance("},
    {" (dynamic7) dfb_read_var_count(", " (dynamic8) sec_read_var_count("},
    {" (static9) dfb_write_var_count(", " (static10) sec_WRITE_VAR_Instance("},
    {" (dynamic11) dfb_write_var_count(", " (dynamic12) sec_write_var_count("},
};

}  // namespace

int CommCallCensus::dfbNumber(std::string_view name) const {
    int number = 0;
    for (std::size_t k = 0; k < dfbs.size(); ++k) {
        if (dfbs[k].name == name) {
            number = static_cast<int>(k) + 1;
        }
    }
    return number;
}

void CensusPass::line(std::string_view text) {
    ++lineNumber_;
    if (holds(text, "<identProgram name=")) {
        inDfb_ = false;
        census_.sectionNames.emplace_back(firstQuotedValue(text));
    }
    if (holds(text, "<FBSource nameOfFBType=")) {
        inDfb_ = true;
        insideFbSource_ = true;
        census_.dfbs.push_back(CensusDfb{std::string(firstQuotedValue(text)), {}});
    }
    if (holds(text, "</FBSource")) {
        insideFbSource_ = false;
        blockDiagram_ = false;
    }
    if (holds(text, "<FBDSource")) {
        blockDiagram_ = true;
    } else if (holds(text, "<STSource") || holds(text, "<LDSource") || holds(text, "<program>")) {
        blockDiagram_ = false;
    }
    if (holds(text, "<variables name=\"IBY_")) {
        noteDeclaredInstance(text);
    }
    // A block drawn in a diagram or a ladder rung by its type alone names its address on a
    // pin line of its own; only a block wired to ADDR(...) is replaced, as a static call.
    if (typedBlock_) {
        if (holds(upperCase(text), "ADDR")) {
            countCall(instanceKindOf(*typedBlock_, false));
            typedBlock_.reset();
        } else if (holds(text, "</FFBBlock>") || holds(text, "</FBDSource") ||
                   holds(text, "</LDSource")) {
            typedBlock_.reset();
        }
    } else if (const auto typed = findTypedCommBlock(text)) {
        // Read as the rewrite reads it: a one-line element has no pins to replace.
        if (!holds(text, "</FFBBlock>")) {
            typedBlock_ = typed->block;
        }
        return;
    }
    // A call needs its bracket; most lines of a project have none.
    if (text.find('(') == std::string_view::npos || holds(text, "EFSource")) {
        return;
    }
    const std::string upper = upperCase(text);
    for (CommBlock block : {CommBlock::SendReq, CommBlock::ReadVar, CommBlock::WriteVar}) {
        for (auto call = findCommCall(upper, block); call;
             call = findCommCall(upper, block, call->end)) {
            // A block-diagram block names its address on a pin line of its own; only a block
            // wired to ADDR(...) is replaced, as a static call.
            countCall(instanceKindOf(block, call->dynamic && !blockDiagram_));
        }
    }
}

void CensusPass::noteDeclaredInstance(std::string_view text) {
    const std::string_view name = namedAttribute(text, "name");
    const std::string_view type = namedAttribute(text, "typeName");
    for (InstanceKind kind : allInstanceKinds) {
        const std::string_view typeName = instanceTypeName(kind);
        if (type != typeName || name.size() <= typeName.size() + 1 ||
            name.substr(0, typeName.size()) != typeName || name[typeName.size()] != '_') {
            continue;
        }
        const std::string_view number = name.substr(typeName.size() + 1);
        if (number.find_first_not_of("0123456789") != std::string_view::npos) {
            continue;
        }
        int& declared = insideFbSource_ && !census_.dfbs.empty()
                            ? census_.dfbs.back().declared[kindIndex(kind)]
                            : census_.sectionDeclared[kindIndex(kind)];
        declared = std::max(declared, static_cast<int>(leadingNumber(number)));
    }
}

void CensusPass::countCall(InstanceKind kind) {
    const int k = kindIndex(kind);
    std::string entry;
    if (inDfb_) {
        CensusDfb& dfb = census_.dfbs.back();
        ++dfb.calls[k];
        entry = "DFB: " + dfb.name + std::string(labels[k].inDfb) +
                decimal(static_cast<long long>(census_.dfbs.size())) +
                ") =  " + decimal(dfb.calls[k]);
    } else {
        std::vector<int>& calls = census_.sectionCalls[k];
        calls.push_back(census_.sectionCount());
        entry = "Section: " + census_.sectionNames.back() + std::string(labels[k].inSection) +
                decimal(static_cast<long long>(calls.size())) +
                ") =  " + decimal(census_.sectionCount());
    }
    entry += "  line = " + decimal(lineNumber_);
    censusFile_(entry);
}

}  // namespace extractor
