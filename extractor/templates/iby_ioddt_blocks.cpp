// The IODDT mapping blocks: the Premium module's IODDT images rebuilt from the PMEDWL module's
// status words each cycle, and its command words from the module image.

#include "extractor/templates/iby_blocks.h"

namespace extractor {
namespace {

// The pins of both blocks: the device and the management record, with the empty input section
// the PLC editor writes for them.
svc::TemplateFunctionBlock mappingBlock(const svc::TemplateVariant& variant, const char* name,
                                        const char* section) {
    svc::TemplateFunctionBlock block = svc::stampedBlock(variant, variant.name(name));
    block.inputParameters.emplace();
    block.inOutParameters = {svc::templatePin(variant.pinName, variant.deviceType, 4),
                             svc::templatePin("Manage", variant.name("Manage"), 6)};
    block.privateLocals.emplace();
    block.programName = section;
    return block;
}

class StatusText {
  public:
    explicit StatusText(const svc::TemplateVariant& variant)
        : status_(variant.pinName + ".Inputs.IBS_Status["),
          notFresh_("not " + variant.pinName + ".Freshness") {}

    std::string word(int index) const { return status_ + std::to_string(index) + "]"; }
    std::string bit(int index, int bit) const { return word(index) + "." + std::to_string(bit); }
    const std::string& notFresh() const { return notFresh_; }

  private:
    std::string status_;
    std::string notFresh_;
};

std::string assignment(const std::string& target, const std::string& value) {
    return target + " := " + value + ";\n";
}

std::string moduleStatus(const svc::TemplateVariant& variant, const StatusText& s) {
    const std::string m = "Manage.Module.";
    std::string text;
    text += assignment(m + "INTERNAL_FLT", s.bit(0, 4));
    text += assignment(m + "SOFT_CONF", s.bit(0, 7));
    text += assignment(m + "MAST_OFF", s.bit(0, 8) + " or " + s.bit(2, 2) + " or " + s.notFresh());
    text += assignment(m + "DP_EXCH_FLT", s.bit(0, 9));
    text += assignment(m + "PMS_EXCH_FLT", s.bit(0, 10));
    text += assignment(m + "OUTP_FLT", s.bit(0, 11));
    text += assignment(m + "CONF_FLT", s.bit(0, 13));
    text += assignment(m + "COM_FLT", s.bit(0, 14));
    text += assignment(m + "MSG_ERR", s.bit(0, 1));
    text += assignment(m + "PAR_SEG_NB_ERR", s.word(1));
    text += assignment(m + "USR_PAR_ERR", s.bit(2, 0));
    text += assignment(m + "PERIPH_ERR", s.bit(2, 1));
    text += assignment(m + "BUS_ERR", s.bit(2, 2) + " or " + s.notFresh());
    text += assignment(m + "CTRL_ERR", s.bit(2, 3));
    text += assignment(m + "OP_DETECT_FLT", s.bit(2, 4) + " or " + s.notFresh());
    const svc::TemplateDataType module = svc::templateModuleType(variant);
    int bit = 5;  // the bus state bits follow the member order from bit 5 of word 2
    for (const std::string& member : memberRun(module, "DATA_EXCHG", "SLAVE_RDY")) {
        text += assignment(m + member, s.bit(2, bit++));
    }
    text += assignment(m + "MASTER_FLT", s.bit(3, 8));
    text += assignment(m + "MAST_RDY", s.bit(3, 11) + " or " + m + "BUS_ACTIV");
    text += assignment(m + "MOD_FLT", s.bit(3, 12));
    text += assignment(m + "MOD_RDY_COM", s.bit(3, 15) + " or " + m + "BUS_ACTIV");
    int word = 4;  // the scan time, command image and message counters are words 4 to 11
    for (const std::string& member : memberRun(module, "SCAN_TIME_LS", "MSG_FLT")) {
        text += assignment(m + member, s.word(word++));
    }
    text += assignment(m + "CH_ERROR", s.notFresh() + " or " + m + "BUS_ERR");
    text += assignment(m + "IBS_FLT", s.bit(0, 0) + " or " + m + "CH_ERROR or " + m +
                                          "PMS_EXCH_FLT or " + s.notFresh());
    return text;
}

std::string channelStatus(const svc::TemplateVariant& variant) {
    const std::string c = "Manage.Channel.";
    const std::vector<std::string> extension =
        memberRun(svc::templateChannelType(variant), "MOD_FAIL_EXT", "NO_MOD_EXT");
    std::string text;
    // An assignment inside the freshness test, one tab in.
    const auto inner = [&text](const std::string& target, const std::string& value) {
        text += '\t';
        text += assignment(target, value);
    };
    text += assignment(c + "MOD_ERROR", "Manage.Module.CH_ERROR");
    text += assignment(c + "EXT_MOD_FLT", "Manage.Module.BUS_ERR");
    text += "if " + variant.pinName + ".Freshness then\n";
    for (const char* member : {"MOD_FAIL", "CH_FLT", "BLK", "CONF_FLT", "NO_MOD"}) {
        inner(c + member, "FALSE");
    }
    inner(c + "EXT_MOD_FLT", "Manage.Module.IBS_FLT");
    for (const std::string& member : extension) {
        inner(c + member, "FALSE");
    }
    text += "else\n";
    inner(c + "EXCH_STS", "0");
    inner(c + "STS_IN_PROGR", "FALSE");
    inner(c + "EXCH_RPT", "0");
    inner(c + "STS_ERR", "FALSE");
    for (const char* member : {"MOD_FAIL", "CH_FLT", "BLK", "CONF_FLT"}) {
        inner(c + member, "FALSE");
    }
    inner(c + "NO_MOD", "TRUE");
    for (const std::string& member : extension) {
        inner(c + member, "FALSE");
    }
    text += "end_if;\n";
    // The channel fault word as the Premium module reported it, bit by bit.
    const char* faultBits[16] = {"MOD_FAIL",
                                 "CH_FLT",
                                 "BLK",
                                 "",
                                 "",
                                 "CONF_FLT",
                                 "NO_MOD",
                                 "EXT_MOD_FLT",
                                 "MOD_FAIL_EXT",
                                 "CH_FLT_EXT",
                                 "BLK_EXT",
                                 "",
                                 "",
                                 "CONF_FLT_EXT",
                                 "NO_MOD_EXT",
                                 ""};
    for (int bit = 0; bit < 16; ++bit) {
        const std::string source = *faultBits[bit] ? c + faultBits[bit] : "FALSE";
        text += assignment(c + "MOD_FLT." + std::to_string(bit), source);
    }
    return text;
}

std::string commandWords(const svc::TemplateVariant& variant) {
    const std::string w = variant.pinName + ".Outputs.IBS_Command[";
    const std::string m = "Manage.Module.";
    const auto word = [&w](int index) { return w + std::to_string(index) + "]"; };
    std::string text;
    text += assignment(word(0) + ".0", m + "AUTO_START");
    text += assignment(word(0) + ".1", m + "STOP_PROC");
    for (int index = 1; index <= 5; ++index) {
        text += assignment(word(index), "0");
    }
    int bit = 0;  // the device commands are bits 0 to 6 of word 6, in member order
    for (const std::string& member :
         memberRun(svc::templateModuleType(variant), "SYS_START", "REVERS_EQMT")) {
        text += assignment(word(6) + "." + std::to_string(bit++), m + member);
    }
    text += assignment(word(7), m + "ELMT_NBR");
    for (int index = 8; index <= 11; ++index) {
        text += assignment(word(index), "0");
    }
    text += assignment(variant.pinName + ".Outputs.Q_Config_CRC", "Manage.Config_CRC");
    text += assignment(variant.pinName + ".Outputs.Q_Map_CRC", "Manage.Map_CRC");
    return text;
}

}  // namespace

svc::TemplateFunctionBlock ibyIoddtInBlock(const svc::TemplateVariant& variant) {
    svc::TemplateFunctionBlock block = mappingBlock(variant, "IODDT_IN", "MapIN");
    block.programText = "(* IBS_IODDT_IN    V1.01 *)\n" +
                        moduleStatus(variant, StatusText(variant)) + channelStatus(variant);
    return block;
}

svc::TemplateFunctionBlock ibyIoddtOutBlock(const svc::TemplateVariant& variant) {
    svc::TemplateFunctionBlock block = mappingBlock(variant, "IODDT_OUT", "MapOUT");
    block.programText = "(* IBS_IODDT_OUT    V1.01 *)\n" + commandWords(variant);
    return block;
}

}  // namespace extractor
