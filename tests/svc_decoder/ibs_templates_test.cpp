// The IBS template set printed for another device.

#include "svc/ibs_templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "st_subset.h"
#include "svc_fixture.h"

namespace svc::testing {
namespace {

std::string printedSet(const IbsTemplateNames& names) {
    std::ostringstream out;
    printIbsTemplateSet(out, names);
    return out.str();
}

// The program text of function block `name` in a printed set, and its crctable values.
std::string programOf(const std::string& set, const std::string& name) {
    const std::size_t block = set.find("<FBSource nameOfFBType=\"" + name + "\"");
    const std::size_t start = set.find("<STSource>\r\n", block);
    const std::size_t end = set.find("</STSource>", start);
    if (block == std::string::npos || start == std::string::npos || end == std::string::npos) {
        ADD_FAILURE() << "no program of " << name;
        return "";
    }
    std::string text = set.substr(start + 12, end - start - 12);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::vector<int64_t> crcTableOf(const std::string& set) {
    std::vector<int64_t> values;
    const std::string marker = "\t\t\t\t\t<value>16#";
    for (std::size_t at = set.find(marker); at != std::string::npos;
         at = set.find(marker, at + 1)) {
        values.push_back(std::stoll(set.substr(at + marker.size(), 4), nullptr, 16));
    }
    return values;
}

// CRC-16 with the reflected polynomial 16#A001 from 16#FFFF, its table made by the rule alone.
uint16_t referenceCrc(const std::vector<uint8_t>& bytes) {
    uint16_t table[256];
    for (unsigned n = 0; n < 256; ++n) {
        unsigned value = n;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) != 0 ? (value >> 1) ^ 0xA001u : value >> 1;
        }
        table[n] = static_cast<uint16_t>(value);
    }
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : bytes) {
        crc = static_cast<uint16_t>((crc >> 8) ^ table[(crc ^ byte) & 0xFF]);
    }
    return crc;
}

int64_t asInt(uint16_t word) {
    return word >= 0x8000 ? static_cast<int64_t>(word) - 0x10000 : word;
}

struct ConfigEntry {
    std::vector<uint8_t> bytes;  // the twelve byte members in field order
    std::string name;
};
struct MapEntry {
    std::vector<uint16_t> words;  // PDR_Index, Source_Number, Source_Index, Destination_Number,
                                  // Destination_Index
    uint8_t startBit;
    uint8_t consistency;
};

// What the module computes over the entries before the end entry: the configuration bytes in
// field order, then the name's characters; the map words high byte first.
TEST(IbsTemplates, LayoutChecksumIsTheModulesCrc16OverConfigAndMap) {
    const char* const byteMembers[] = {"Segment_Number",  "Segment_Position", "Module_ID",
                                       "DP_Word_Count",   "Device_Level",     "Logical_Group",
                                       "Alternative",     "PCP_TX_Max_PDU",   "PCP_RX_Max_PDU",
                                       "PCP_Services[0]", "PCP_Services[1]",  "PCP_Services[2]"};
    const char* const wordMembers[] = {"PDR_Index", "Source_Number", "Source_Index",
                                       "Destination_Number", "Destination_Index"};
    const struct {
        const char* name;
        std::vector<ConfigEntry> config;
        std::vector<MapEntry> map;
    } cases[] = {
        {"empty tables", {}, {}},
        {"two devices and three entries",
         {{{1, 1, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0}, "Node_1.1"},
          {{1, 3, 193, 1, 1, 2, 3, 64, 128, 0x90, 0, 0xFF}, "Node_1.3"}},
         {{{0x0001, 0x0101, 0x6010, 0x0200, 0x0000}, 0, 0},
          {{0x4001, 0x0000, 0x0000, 0x0102, 0x6011}, 0, 1},
          {{0x8001, 0x0103, 0x6010, 0x0102, 0x6011}, 3, 2}}},
        {"a name of odd length and none",
         {{{2, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0}, "N_2.1"},
          {{12, 3, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, ""}},
         {}},
    };
    for (const IbsTemplateNames& names :
         {IbsTemplateNames{"d0_s0", "DIOiby"}, IbsTemplateNames{"PMEDWL", "DIOibs"}}) {
        const std::string set = printedSet(names);
        const std::string program = programOf(set, "IBS_Layout_CRC");
        const std::vector<int64_t> table = crcTableOf(set);
        ASSERT_EQ(table.size(), 256u);
        for (const auto& c : cases) {
            SCOPED_TRACE(names.deviceWord + ": " + c.name);
            StProgram run(program);
            for (std::size_t n = 0; n < table.size(); ++n) {
                run.set("crctable[" + std::to_string(n) + "]", table[n]);
            }
            std::vector<uint8_t> configBytes;
            for (std::size_t e = 0; e < c.config.size(); ++e) {
                const std::string entry = "Manage.Config[" + std::to_string(e) + "].";
                for (std::size_t m = 0; m < 12; ++m) {
                    run.set(entry + byteMembers[m], c.config[e].bytes[m]);
                }
                run.setText(entry + "Name", c.config[e].name);
                configBytes.insert(configBytes.end(), c.config[e].bytes.begin(),
                                   c.config[e].bytes.end());
                configBytes.insert(configBytes.end(), c.config[e].name.begin(),
                                   c.config[e].name.end());
            }
            // The end entry: Segment_Number 0, whatever else it holds.
            run.set("Manage.Config[" + std::to_string(c.config.size()) + "].Module_ID", 7);
            std::vector<uint8_t> mapBytes;
            for (std::size_t e = 0; e < c.map.size(); ++e) {
                const std::string entry = "Manage.Map[" + std::to_string(e) + "].";
                for (std::size_t m = 0; m < 5; ++m) {
                    run.set(entry + wordMembers[m], c.map[e].words[m]);
                    mapBytes.push_back(static_cast<uint8_t>(c.map[e].words[m] >> 8));
                    mapBytes.push_back(static_cast<uint8_t>(c.map[e].words[m] & 0xFF));
                }
                run.set(entry + "Start_Bit", c.map[e].startBit);
                run.set(entry + "Data_Consistancy", c.map[e].consistency);
                mapBytes.push_back(c.map[e].startBit);
                mapBytes.push_back(c.map[e].consistency);
            }
            ASSERT_TRUE(run.run()) << run.error();
            EXPECT_EQ(run.get("Manage.Config_CRC"), asInt(referenceCrc(configBytes)));
            EXPECT_EQ(run.get("Manage.Map_CRC"), asInt(referenceCrc(mapBytes)));
        }
    }
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
