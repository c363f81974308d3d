#include "extractor/passes/comm_call_census.h"

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
        census_.dfbs.push_back(CensusDfb{std::string(firstQuotedValue(text)), {}});
    }
    if (holds(text, "EFSource")) {
        return;
    }
    const std::string upper = upperCase(text);
    const bool hasAddr = holds(upper, "ADDR");
    if (holds(upper, "SEND_REQ(")) {
        countCall(instanceKindOf(CommBlock::SendReq, !hasAddr));
    }
    const bool pms = holds(upper, "'PMS'");
    if (pms && holds(upper, "READ_VAR(")) {
        countCall(instanceKindOf(CommBlock::ReadVar, !hasAddr));
    }
    if (pms && holds(upper, "WRITE_VAR(")) {
        countCall(instanceKindOf(CommBlock::WriteVar, !hasAddr));
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
