#include "tests/dtmrepo/xsy_fixture.h"

#include "tests/dtmrepo/description_fixture.h"

namespace dtmrepo_test {

namespace {

void typeSource(Lines& lines, const std::string& name, const std::string& version,
                const std::vector<XsyMember>& members) {
    lines.push_back("<DDTSource DDTName=\"" + name + "\" version=\"" + version +
                    "\" dateTime=\"dt#2020-02-25-22:05:59\">");
    lines.push_back("<structure>");
    for (const XsyMember& m : members) {
        lines.push_back("<variables name=\"" + m.name + "\" typeName=\"" + m.type + "\">");
        if (!m.comment.empty()) {
            lines.push_back("<comment>" + m.comment + "</comment>");
        }
        lines.push_back("</variables>");
    }
    lines.push_back("</structure>");
    lines.push_back("</DDTSource>");
}

}  // namespace

std::string xsyExport(const std::string& deviceVariable, const std::string& version,
                      const std::vector<XsyMember>& inputs, const std::vector<XsyMember>& outputs) {
    Lines lines = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
        "<VariablesExchangeFile>",
        "<fileHeader company=\"Schneider Automation\" product=\"Unity Pro XL V13.0\" "
        "dateTime=\"date_and_time#2020-02-25-22:05:59\" content=\"Variable source file\" "
        "DTDVersion=\"41\"></fileHeader>",
        "<dataBlock>",
        "<variables name=\"" + deviceVariable + "\" typeName=\"T_PME_KRT\">",
        "</variables>",
        "</dataBlock>"};
    typeSource(lines, "T_PME_KRT_IN", version, inputs);
    typeSource(lines, "T_PME_KRT_OUT", version, outputs);
    lines.push_back("</VariablesExchangeFile>");
    return fileText(lines);
}

std::vector<XsyMember> pumpInputs() {
    return {{"KRT_Runtime_Status", "WORD", "Runtime status"},
            {"In_01", "INT", "Flow &amp; pressure"},
            {"Free_1", "ARRAY[0..1] OF BYTE", "Unused Variable"},
            {"Free_2", "ARRAY[0..1] OF BYTE", "Spare"},
            {"Pad", "ARRAY[0..3] OF BYTE", "Four bytes"},
            {"NoComment", "INT", ""}};
}

std::vector<XsyMember> pumpOutputs() {
    return {{"DATA_FRESHNESS_ID", "UINT", "Freshness"}, {"Out_01", "INT", "Setpoint"}};
}

}  // namespace dtmrepo_test
