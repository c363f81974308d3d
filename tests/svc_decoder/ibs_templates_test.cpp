// The IBS template set printed for another device.

#include "svc/ibs_templates.h"

#include <gtest/gtest.h>

#include <sstream>

#include "svc_fixture.h"

namespace svc::testing {
namespace {

std::string printedSet(const IbsTemplateNames& names) {
    std::ostringstream out;
    printIbsTemplateSet(out, names);
    return out.str();
}

TEST(IbsTemplates, CrcTableIsTheModbusTable) {
    const std::array<uint16_t, 256> table = ibsCrcTable();
    EXPECT_EQ(table[0], 0x0000);
    EXPECT_EQ(table[1], 0xC0C1);
    EXPECT_EQ(table[128], 0xA001);
    EXPECT_EQ(table[255], 0x4040);
    // The checksum step of the PLC code over the single byte 16#01 from 16#FFFF.
    uint16_t checksum = 0xFFFF;
    const uint16_t inword = 0x01;
    checksum = static_cast<uint16_t>((checksum >> 8) ^ table[(checksum ^ inword) & 0xFF]);
    EXPECT_EQ(checksum, 0x807E);
}

TEST(IbsTemplates, DeviceWordAndPinNameRenameOnlyTheirOwnTexts) {
    const std::string fennick = printedSet({"d0_s0", "DIOiby"});
    const std::string other = printedSet({"PMEDWL", "DIOibs"});
    EXPECT_EQ(other.find("DIOiby"), std::string::npos);
    EXPECT_EQ(other.find("d0_s0"), std::string::npos);
    EXPECT_NE(other.find("Manage.errorstring := 'DIOibs not Fresh';"), std::string::npos);
    EXPECT_NE(other.find("\tif NOT (DIOibs.Inputs.PDWL_Status.9) then\r\n"), std::string::npos);
    EXPECT_NE(other.find("\t<DDTSource DDTName=\"T_PMEDWL_OUT\" version=\"1.01\" "
                         "dateTime=\"dt#2020-02-25-22:05:59\">\r\n"),
              std::string::npos);
    EXPECT_NE(other.find("\t\t\t<variables name=\"DIOibs\" typeName=\"T_PMEDWL\">\r\n"
                         "\t\t\t\t<attribute name=\"PositionPin\" value=\"4\"></attribute>\r\n"),
              std::string::npos);
    // Renaming back gives the same text: nothing else depends on the two names.
    std::string renamed = other;
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"DIOibs", "DIOiby"}, {"T_PMEDWL", "T_d0_s0"}}) {
        for (std::size_t at = renamed.find(from); at != std::string::npos;
             at = renamed.find(from, at + to.size())) {
            renamed.replace(at, from.size(), to);
        }
    }
    EXPECT_EQ(renamed, fennick);
}

TEST(IbsTemplates, SetTextHasTheFixedFormsOfItsTypesAndBlocks) {
    const std::string text = printedSet({});
    EXPECT_EQ(xmlProblem("<set>" + text + "</set>"), "");
    const std::vector<std::string> lines = crlfLines(text);
    const auto has = [&lines](const std::string& line) { return countOf(lines, line); };
    EXPECT_EQ(has("\t\t<comment>Ibs Channel IODDT</comment>"), 1);
    EXPECT_EQ(has("\t\t\t\t<comment>FIPIO extension module fault </comment>"), 1);
    EXPECT_EQ(has("\t\t\t\t<comment>Number of %QW &amp; %IW exchanges</comment>"), 1);
    EXPECT_EQ(
        has("\t\t\t\t<comment>IBS scan time (in \xC2\xB5s)  DINT (Least Significant)</comment>"),
        1);
    EXPECT_EQ(has("\t\t\t<variables name=\"Status243\" typeName=\"INT\">"), 0);
    EXPECT_EQ(has("\t\t\t\t<comment>%QWm.0.253</comment>"), 1);
    EXPECT_EQ(has("\t\t<attribute name=\"IsTypeLocked\" value=\"TRUE\"></attribute>"), 2);
    EXPECT_EQ(has("\t\t\t\t<attribute name=\"ExtractBit\" value=\"7\"></attribute>"), 2);
    EXPECT_EQ(has("\t\t\t<variables name=\"Channel\" typeName=\"IBS_channel\"></variables>"), 1);
    EXPECT_EQ(has("lookup := word_to_int((checksum xor inword) and 16#FF);") +
                  has("\tlookup := word_to_int((checksum xor inword) and 16#FF);") +
                  has("\t\t\tlookup := word_to_int((checksum xor inword) and 16#FF);"),
              12 + 1 + 12 + 2);
    EXPECT_EQ(has("while (Manage.config[entry].Segment_number &gt; 0) do"), 1);
    EXPECT_EQ(has("(* IBS_Layout_CRC    V1.01 *)"), 1);
    EXPECT_EQ(has("(* IBS_Layout_Xfer    V1.01 *)"), 1);
    EXPECT_EQ(has("    Manage.active := 1;"), 1);
    EXPECT_EQ(has("\t\t<FBProgram name=\"MoveIt\">"), 1);
    EXPECT_EQ(has("\t\t<publicLocalVariables>"), 1);
}

}  // namespace
}  // namespace svc::testing
