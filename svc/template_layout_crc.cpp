// The layout checksum block: the checksums of the Config and Map tables that the PMEDWL module
// compares with its own, so that the transfer block knows when a table has arrived whole.

#include "svc/svc_exchange_text.h"
#include "svc/svc_number_text.h"
#include "svc/template_set.h"

namespace svc {
namespace {

// One CRC-16 step on the byte in inword, exactly as the module's checksum folds it.
constexpr const char* kCrcStep =
    "lookup := word_to_int((checksum xor inword) and 16#FF);\n"
    "checksum := shr(checksum,8) xor crctable[lookup];\n";

std::string crcOn(const std::string& inwordStatement, int tabs) {
    return indentedByTabs(inwordStatement + "\n" + kCrcStep, tabs);
}

std::string calculateProgram() {
    std::string text =
        "(* IBS_Layout_CRC    V1.01 *)\n"
        "Config_CRC := -1;\n"
        "Map_CRC := -1;\n"
        "checksum := int_to_word(Config_CRC);\n"
        "Entry := 0;\n"
        "while (Manage.config[entry].Segment_number &gt; 0) do\n";
    for (const char* member :
         {"Segment_number", "Segment_Position", "Module_ID", "DP_Word_Count", "Device_level",
          "Logical_Group", "Alternative", "PCP_TX_Max_PDU", "PCP_RX_Max_PDU", "PCP_Services[0]",
          "PCP_Services[1]", "PCP_Services[2]"}) {
        text +=
            crcOn(std::string("inword := byte_as_word(Manage.config[entry].") + member + ");", 1);
        text += "\n";
    }
    // A name feeds its characters in order: the high byte of each name_int word first.
    text += indentedByTabs(
        "if len_int(Manage.config[entry].Name) &gt; 0 then\n"
        "\tname_int := string_to_ASCII(Manage.config[entry].name);\n"
        "\tfor position := 0 to len_int(Manage.config[entry].Name) - 1 do\n"
        "\t\tif not(position.0) then\n"
        "\t\t\tchar := int_to_byte(shr(name_int[position/2],8));\n"
        "\t\telse\n"
        "\t\t\tchar := int_to_byte(name_int[position/2] and 16#ff);\n"
        "\t\tend_if;\n",
        1);
    text += crcOn("inword := byte_as_word(char);", 3);
    text += indentedByTabs(
        "\tend_for;\n"
        "end_if;\n"
        "entry := entry + 1;\n",
        1);
    text +=
        "end_while;\n"
        "Config_CRC := word_to_int(checksum);\n"
        "checksum := int_to_word(Map_CRC);\n"
        "Entry := 0;\n"
        "while Manage.Map[entry].PDR_Index &gt; 0 do\n";
    for (const char* member : {"PDR_Index", "Source_Number", "Source_Index", "Destination_Number",
                               "Destination_Index"}) {
        const std::string word = std::string("Manage.Map[entry].") + member;
        text += crcOn("inword := shr(" + word + ",8) and 16#FF;", 1);
        text += crcOn("inword := " + word + " and 16#ff;", 1);
    }
    text += crcOn("inword := byte_as_word(Manage.map[entry].Start_Bit) and 16#FF;", 1);
    text += crcOn("inword := byte_as_word(Manage.map[entry].Data_Consistancy) and 16#FF;", 1);
    text +=
        "\tentry := entry + 1;\n"
        "end_while;\n"
        "Map_CRC := word_to_int(checksum);\n";
    // Folding the Map checksum into the Config checksum is kept as a comment: the module
    // checks the two separately.
    text += "(*\n";
    text += "checksum := int_to_word(Config_CRC);\n\n";
    text += crcOn("inword := shr(int_to_word(Map_CRC),8) and 16#FF;", 0);
    text += crcOn("inword := int_to_word(Map_CRC) and 16#ff;", 0);
    text += "\n*)\n";
    text +=
        "Manage.Config_CRC := Config_CRC;\n"
        "Manage.Map_CRC := Map_CRC;\n";
    return text;
}

}  // namespace

std::array<uint16_t, 256> ibsCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned crc = byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        }
        table[byte] = static_cast<uint16_t>(crc);
    }
    return table;
}

TemplateFunctionBlock templateLayoutCrc(const TemplateVariant& variant) {
    TemplateVariable crcTable = templateLocal("crctable", "ARRAY[0..255] OF WORD");
    for (uint16_t entry : ibsCrcTable()) {
        crcTable.elementValues.push_back("16#" + hex4Text(entry));
    }
    TemplateFunctionBlock block = stampedBlock(variant, variant.name("Layout_CRC"));
    block.inOutParameters = {templatePin("Manage", variant.name("Manage"), 1)};
    block.publicLocals = {templateLocal("Config_CRC", "INT"), templateLocal("Map_CRC", "INT"),
                          templateLocal("Entry", "INT"), templateLocal("Checksum", "WORD"),
                          templateLocal("name_int", "ARRAY[0..4] OF INT")};
    block.privateLocals = {std::move(crcTable),
                           templateLocal("size", "INT"),
                           templateLocal("index", "INT"),
                           templateLocal("count", "INT"),
                           templateLocal("lookup", "INT"),
                           templateLocal("inword", "WORD"),
                           templateLocal("position", "INT"),
                           templateLocal("char", "BYTE")};
    block.programName = "calculate";
    block.programText = calculateProgram();
    return block;
}

}  // namespace svc
