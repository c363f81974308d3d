#include "extractor/rewrite/topological_references.h"

#include "extractor/project/line_text.h"
#include "extractor/rewrite/address_tokens.h"

namespace extractor {

namespace {

constexpr const char* channelMembers[][2] = {
    {".MOD.0", ".Channel.EXCH_STS"},        {".MOD.0.0", ".Channel.STS_IN_PROGR"},
    {".MOD.1", ".Channel.EXCH_RPT"},        {".MOD.1.0", ".Channel.STS_ERR"},
    {".MOD.2", ".Channel.MOD_FLT"},         {".MOD.2.0", ".Channel.MOD_FAIL"},
    {".MOD.2.1", ".Channel.CH_FLT"},        {".MOD.2.2", ".Channel.BLK"},
    {".MOD.2.5", ".Channel.CONF_FLT"},      {".MOD.2.6", ".Channel.NO_MOD"},
    {".MOD.2.7", ".Channel.EXT_MOD_FLT"},   {".MOD.2.8", ".Channel.MOD_FAIL_EXT"},
    {".MOD.2.9", ".Channel.CH_FLT_EXT"},    {".MOD.2.10", ".Channel.BLK_EXT"},
    {".MOD.2.13", ".Channel.CONF_FLT_EXT"}, {".MOD.2.14", ".Channel.NO_MOD_EXT"},
};

// Bits of a status or command word; an empty member has no rule. "{B}" members are named by
// the word's own number.
struct WordRule {
    const char* area;  // "%IW" or "%QW"
    int offset;        // word number is B + offset
    std::vector<const char*> bits;
    const char* word;  // member of the whole word; "" for none, "Status" or "Command" + number
};

const std::vector<WordRule>& moduleWordRules() {
    static const std::vector<WordRule> rules = {
        {"%IW",
         0,
         {"IBS_FLT", "#_1", "#_2", "#_3", "INTERNAL_FLT", "#_5", "#_6", "SOFT_CONF", "MAST_OFF",
          "DP_EXCH_FLT", "PMS_EXCH_FLT", "OUTP_FLT", "#_12", "CONF_FLT", "COM_FLT", "MSG_ERR"},
         "Status"},
        {"%IW", 1, {}, "PAR_SEG_NB_ERR"},
        {"%IW",
         2,
         {"USR_PAR_ERR", "PERIPH_ERR", "BUS_ERR", "CTRL_ERR", "OP_DETECT_FLT", "DATA_EXCHG",
          "BUS_ACTIV", "CTRL_RDY", "BUS_INACTIV", "HOST_FLT", "FCT_RES_NEG", "SYNC_ERR",
          "DATA_CYCL_ERR", "SCAN_TIME_OVR", "BAD_BUS_QUAL", "SLAVE_RDY"},
         "Status"},
        {"%IW",
         3,
         {"", "", "", "", "", "", "", "", "MASTER_FLT", "", "", "MAST_RDY", "MOD_FLT", "", "",
          "MOD_RDY_COM"},
         "Status"},
        {"%IW", 4, {}, "SCAN_TIME_LS"},
        {"%IW", 5, {}, "SCAN_TIME_MS"},
        {"%IW", 6, {}, "IBS_CTRL"},
        {"%IW", 7, {}, "OUT_IN_NBR"},
        {"%IW", 8, {}, "DP_EXCH_FLT_W"},
        {"%IW", 9, {}, "MSG_NBR_RCV"},
        {"%IW", 10, {}, "MSG_NBR_SENT"},
        {"%IW", 11, {}, "MSG_FLT"},
        {"%QW", 0, {"AUTO_START", "STOP_PROC"}, "Command"},
        {"%QW",
         6,
         {"SYS_START", "SYS_STOP", "ACK_FLT", "DESACT_EQMT", "ACTIV_EQMT", "SHUNT_EQMT",
          "REVERS_EQMT"},
         "Command"},
        {"%QW", 7, {}, "ELMT_NBR"},
        {"%QW", 8, {}, "Command"},
        {"%QW", 9, {}, "Command"},
        {"%QW", 10, {}, "Command"},
        {"%QW", 11, {}, "Command"},
    };
    return rules;
}

}  // namespace

std::optional<std::string_view> channelIoddtMember(std::string_view suffix) {
    for (const auto& [known, member] : channelMembers) {
        if (suffix == known) {
            return member;
        }
    }
    return std::nullopt;
}

TopologicalReferences::TopologicalReferences(const ModuleContext& module) {
    const std::string rs = module.rackSlot();
    const std::string manage = module.name("IBY_Manage");
    const std::string device = module.name("IBY_DIO");
    rules_.push_back({"%KW" + rs + ".0.0", decimal(module.kw0)});
    rules_.push_back({"%KW" + rs + ".0.1", decimal(module.kw1)});
    rules_.push_back({"%KW" + rs + ".0.2", decimal(module.kw2)});
    for (std::string_view suffix : errorBitSuffixes) {
        rules_.push_back({"%I" + rs + std::string(suffix), manage + ".Channel.MOD_ERROR"});
    }
    for (const auto& [suffix, member] : channelMembers) {
        rules_.push_back({"%MW" + rs + suffix, manage + member});
    }
    const int base = module.wordCount == 128 ? 128 : 242;
    for (const WordRule& rule : moduleWordRules()) {
        const std::string number = decimal(base + rule.offset);
        const std::string word = rule.area + rs + ".0." + number;
        for (std::size_t bit = 0; bit < rule.bits.size(); ++bit) {
            std::string member = rule.bits[bit];
            if (member.empty()) {
                continue;
            }
            if (member[0] == '#') {
                member = "Status" + number + member.substr(1);
            }
            rules_.push_back(
                {word + "." + decimal(static_cast<long long>(bit)), manage + ".Module." + member});
        }
        const std::string member = rule.word;
        const bool numbered = member == "Status" || member == "Command";
        rules_.push_back({word, manage + ".Module." + member + (numbered ? number : "")});
    }
    familyStarts_ = {"%KW" + rs + ".0.", "%I" + rs + ".", "%MW" + rs + ".MOD.", "%IW" + rs + ".0.",
                     "%QW" + rs + ".0."};
    for (const auto& rule : rules_) {
        std::size_t family = 0;
        while (family < familyStarts_.size() && rule.first.rfind(familyStarts_[family], 0) != 0) {
            ++family;
        }
        ruleFamily_.push_back(family);  // past the starts: a rule tried on every line
    }
    inputPrefix_ = "%IW" + rs + ".0";
    inputName_ = device + ".Inputs.IW[";
    outputPrefix_ = "%QW" + rs + ".0";
    outputName_ = device + ".Outputs.QW[";
}

void TopologicalReferences::rewrite(std::string& line, bool ignoreStrings, Counts& counts) const {
    // Most lines of a program name no address at all.
    if (line.find('%') == std::string::npos) {
        return;
    }
    std::string upper = upperCase(line);
    std::vector<bool> present(familyStarts_.size() + 1, true);
    for (std::size_t family = 0; family < familyStarts_.size(); ++family) {
        present[family] = upper.find(familyStarts_[family]) != std::string::npos;
    }
    for (std::size_t rule = 0; rule < rules_.size(); ++rule) {
        if (present[ruleFamily_[rule]]) {
            counts.ioddt +=
                replaceAddressToken(line, upper, rules_[rule].first, rules_[rule].second);
        }
    }
    counts.direct += replaceIndexedAddress(line, upper, inputPrefix_, inputName_, ignoreStrings);
    counts.direct += replaceIndexedAddress(line, upper, outputPrefix_, outputName_, ignoreStrings);
}

}  // namespace extractor
