// What the converted project and the later conversion to the PMEDWL module rely on in the
// blocks of the IBY set: pins, sections, program texts, markers and placeholders.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "template_text.h"

namespace iby_templates_testing {
namespace {

std::string pin(const std::string& name, const std::string& type) {
    return "\t\t\t<variables name=\"" + name + "\" typeName=\"" + type + "\">";
}

std::string local(const std::string& name, const std::string& type) {
    return pin(name, type) + "</variables>";
}

// The line after a variable's opening line, and the PositionPin line for a pin.
std::string lineAfter(const Element& block, const std::string& opening) {
    const auto at = std::find(block.lines.begin(), block.lines.end(), opening);
    EXPECT_NE(at, block.lines.end()) << opening;
    return at == block.lines.end() || at + 1 == block.lines.end() ? "" : *(at + 1);
}

std::string positionLine(int position) {
    return "\t\t\t\t<attribute name=\"PositionPin\" value=\"" + std::to_string(position) +
           "\"></attribute>";
}

std::string initLine(const std::string& value) {
    return "\t\t\t\t<variableInit value=\"" + value + "\"></variableInit>";
}

TEST(IbyTemplateBlocks, CrcTableHoldsTheModbusCrcTable) {
    const Element crc = elementNamed(elementsOf(ibySetLines()), "IBY_Layout_CRC");
    EXPECT_EQ(countOf(crc.lines,
                      "\t\t\t<variables name=\"crctable\" typeName=\"ARRAY[0..255] OF "
                      "WORD\">"),
              1);
    int elements = 0;
    for (const std::string& line : crc.lines) {
        elements += line.rfind("\t\t\t\t<instanceElementDesc name=\"[", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(elements, 256);
    const struct {
        int index;
        const char* value;
    } cases[] = {
        {0, "16#0000"}, {1, "16#C0C1"}, {2, "16#C181"}, {128, "16#A001"}, {255, "16#4040"}};
    for (const auto& c : cases) {
        const std::string head =
            "\t\t\t\t<instanceElementDesc name=\"[" + std::to_string(c.index) + "]\">";
        EXPECT_EQ(lineAfter(crc, head), std::string("\t\t\t\t\t<value>") + c.value + "</value>")
            << c.index;
    }
}

TEST(IbyTemplateBlocks, EachBlockHasItsPinsInTheirSections) {
    struct Case {
        const char* block;
        const char* section;
        std::vector<std::tuple<std::string, std::string, int>> pins;  // name, type, position
    };
    const std::string any = "ANY_ARRAY_INT";
    const std::string route = "ARRAY[0..5] OF INT";
    const std::vector<Case> cases = {
        {"IBY_Layout_CRC", "inOutParameters", {{"Manage", "IBY_Manage", 1}}},
        {"IBY_Module_PMEDWL",
         "inOutParameters",
         {{"Module", "IBY_Module", 1}, {"Manage", "IBY_Manage", 2}}},
        {"IBY_Channel_PMEDWL",
         "inOutParameters",
         {{"Channel", "IBY_Channel", 1}, {"Manage", "IBY_Manage", 2}}},
        {"IBY_Layout_Xfer", "inputParameters", {}},
        {"IBY_Layout_Xfer",
         "inOutParameters",
         {{"DIOiby", "T_IBY_DIO", 4}, {"Manage", "IBY_Manage", 6}}},
        {"IBY_IODDT_OUT", "inputParameters", {}},
        {"IBY_IODDT_OUT",
         "inOutParameters",
         {{"DIOiby", "T_IBY_DIO", 4}, {"Manage", "IBY_Manage", 6}}},
        {"IBY_IODDT_OUT", "privateLocalVariables", {}},
        {"IBY_IODDT_IN", "inputParameters", {}},
        {"IBY_IODDT_IN",
         "inOutParameters",
         {{"DIOiby", "T_IBY_DIO", 4}, {"Manage", "IBY_Manage", 6}}},
        {"IBY_IODDT_IN", "privateLocalVariables", {}},
        {"IBY_SEND_REQ_DYNAMIC",
         "inputParameters",
         {{"Route", route, 1}, {"Request_Code", "INT", 2}, {"SendData", any, 3}}},
        {"IBY_SEND_REQ_DYNAMIC", "inOutParameters", {{"GEST", any, 4}, {"RECP", any, 5}}},
        {"IBY_SEND_REQ",
         "inputParameters",
         {{"Target", "INT", 1},
          {"IBSIP", "STRING", 2},
          {"SendData", any, 4},
          {"Request_Code", "INT", 3}}},
        {"IBY_SEND_REQ", "inOutParameters", {{"GEST", any, 5}, {"RECP", any, 6}}},
        {"IBY_READ_VAR",
         "inputParameters",
         {{"Target", "INT", 1},
          {"IBSIP", "STRING", 2},
          {"Index", "DINT", 3},
          {"SubIndex", "INT", 4}}},
        {"IBY_READ_VAR", "inOutParameters", {{"GEST", any, 5}}},
        {"IBY_READ_VAR", "outputParameters", {{"RECP", any, 1}}},
        {"IBY_READ_VAR_DYNAMIC",
         "inputParameters",
         {{"Route", route, 1}, {"Index", "DINT", 2}, {"SubIndex", "INT", 3}}},
        {"IBY_READ_VAR_DYNAMIC", "inOutParameters", {{"GEST", any, 4}, {"RECP", any, 5}}},
        {"IBY_WRITE_VAR",
         "inputParameters",
         {{"Target", "INT", 1},
          {"IBSIP", "STRING", 2},
          {"Index", "DINT", 3},
          {"SubIndex", "INT", 4},
          {"EMIS", any, 5}}},
        {"IBY_WRITE_VAR",
         "inOutParameters",
         {{"GEST", any, 6}, {"RECP", "ARRAY[0..124] of INT", 7}}},
        {"IBY_WRITE_VAR_DYNAMIC",
         "inputParameters",
         {{"Route", route, 1}, {"Index", "DINT", 2}, {"SubIndex", "INT", 3}, {"EMIS", any, 4}}},
        {"IBY_WRITE_VAR_DYNAMIC",
         "inOutParameters",
         {{"GEST", any, 5}, {"RECP", "ARRAY[0..124] of INT", 6}}},
    };
    const std::vector<Element> elements = elementsOf(ibySetLines());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.block) + " " + c.section);
        const Element block = elementNamed(elements, c.block);
        const Section section = sectionOf(block, c.section);
        ASSERT_TRUE(section.present);
        ASSERT_EQ(section.variables.size(), c.pins.size());
        for (std::size_t i = 0; i < c.pins.size(); ++i) {
            const auto& [name, type, position] = c.pins[i];
            EXPECT_EQ(section.variables[i], pin(name, type));
            const std::string after = lineAfter(block, pin(name, type));
            if (name == "Target" && std::string(c.block).find("_VAR") != std::string::npos) {
                EXPECT_EQ(after, "\t\t\t\t<comment>PCP target</comment>");
            } else {
                EXPECT_EQ(after, positionLine(position));
            }
        }
    }
}

TEST(IbyTemplateBlocks, SectionsNotWrittenAreAbsent) {
    const struct {
        const char* block;
        const char* section;
    } cases[] = {
        {"IBY_Module_PMEDWL", "publicLocalVariables"},
        {"IBY_Module_PMEDWL", "privateLocalVariables"},
        {"IBY_Channel_PMEDWL", "privateLocalVariables"},
        {"IBY_Layout_Xfer", "publicLocalVariables"},
        {"IBY_IODDT_IN", "publicLocalVariables"},
        {"IBY_SEND_REQ", "outputParameters"},
        {"IBY_SEND_REQ", "privateLocalVariables"},
        {"IBY_READ_VAR_DYNAMIC", "privateLocalVariables"},
        {"IBY_WRITE_VAR_DYNAMIC", "outputParameters"},
    };
    const std::vector<Element> elements = elementsOf(ibySetLines());
    for (const auto& c : cases) {
        EXPECT_FALSE(sectionOf(elementNamed(elements, c.block), c.section).present)
            << c.block << " " << c.section;
    }
}

TEST(IbyTemplateBlocks, ProgramsCarryTheirSectionNamesAndHeads) {
    const struct {
        const char* block;
        const char* program;
        const char* firstLine;  // nullptr: not checked
    } cases[] = {
        {"IBY_Layout_CRC", "calculate", "(* IBS_Layout_CRC    V1.01 *)"},
        {"IBY_Module_PMEDWL", "MoveIt", "Module.CH_ERROR := Manage.Module.CH_ERROR;"},
        {"IBY_Channel_PMEDWL", "Mapit", ""},
        {"IBY_SEND_REQ_DYNAMIC", "Do_the_Send_Req", "index := 0;"},
        {"IBY_SEND_REQ", "Do_The_Send_Req", nullptr},
        {"IBY_READ_VAR", "Do_The_READ_VAR", nullptr},
        {"IBY_READ_VAR_DYNAMIC", "Do_The_READ_VAR", nullptr},
        {"IBY_WRITE_VAR", "Do_The_WRITE_VAR", nullptr},
        {"IBY_WRITE_VAR_DYNAMIC", "Do_The_WRITE_VAR", nullptr},
        {"IBY_Layout_Xfer", "MoveIt", "(* IBS_Layout_Xfer    V1.01 *)"},
        {"IBY_IODDT_OUT", "MapOUT", "(* IBS_IODDT_OUT    V1.01 *)"},
        {"IBY_IODDT_IN", "MapIN", "(* IBS_IODDT_IN    V1.01 *)"},
    };
    const std::vector<Element> elements = elementsOf(ibySetLines());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        const Element block = elementNamed(elements, c.block);
        EXPECT_EQ(countOf(block.lines, std::string("\t\t<FBProgram name=\"") + c.program + "\">"),
                  1);
        const Lines program = programOf(block);
        ASSERT_FALSE(program.empty());
        if (c.firstLine != nullptr) {
            EXPECT_EQ(program.front(), c.firstLine);
        }
        // The WRITE_VAR blocks keep an empty line in front of their program.
        const bool write = std::string(c.block).find("WRITE_VAR") != std::string::npos;
        const auto head = std::find(block.lines.begin(), block.lines.end(),
                                    std::string("\t\t<FBProgram name=\"") + c.program + "\">");
        ASSERT_NE(head, block.lines.begin());
        EXPECT_EQ(*(head - 1) == "", write);
    }
}

TEST(IbyTemplateBlocks, EachCommunicationBlockHasOneExchangeMarker) {
    const struct {
        const char* block;
        const char* marker;
        bool dynamic;
    } cases[] = {
        {"IBY_SEND_REQ_DYNAMIC", "(* DYNAMIC_SEND_REQ_DATA_EXCH  *)", true},
        {"IBY_SEND_REQ", "(* SEND_REQ_DATA_EXCH  *)", false},
        {"IBY_READ_VAR", "(* READ_VAR_DATA_EXCH  *)", false},
        {"IBY_READ_VAR_DYNAMIC", "(* READ_VAR_DATA_EXCH  *)", true},
        {"IBY_WRITE_VAR", "(* WRITE_VAR_DATA_EXCH  *)", false},
        {"IBY_WRITE_VAR_DYNAMIC", "(* WRITE_VAR_DATA_EXCH  *)", true},
    };
    const Lines set = ibySetLines();
    const std::vector<Element> elements = elementsOf(set);
    int markerLines = 0;
    for (const std::string& line : set) {
        markerLines += line.find("_DATA_EXCH") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(markerLines, 6);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        const Lines program = programOf(elementNamed(elements, c.block));
        ASSERT_EQ(countOf(program, c.marker), 1);
        const auto at = std::find(program.begin(), program.end(), c.marker);
        if (c.dynamic) {
            // Inside the module test: an empty line on each side, then the test's end.
            ASSERT_TRUE(at != program.begin() && program.end() - at == 3);
            EXPECT_EQ(*(at - 1), "");
            EXPECT_EQ(Lines(at + 1, program.end()), (Lines{"", "end_if;"}));
        } else {
            EXPECT_EQ(at + 1, program.end());
        }
    }
    // The shared names of the markers are the lines written.
    EXPECT_EQ(extractor::ibySendReqDynamicMarker, "(* DYNAMIC_SEND_REQ_DATA_EXCH  *)");
    EXPECT_EQ(extractor::ibySendReqMarker, "(* SEND_REQ_DATA_EXCH  *)");
    EXPECT_EQ(extractor::ibyReadVarMarker, "(* READ_VAR_DATA_EXCH  *)");
    EXPECT_EQ(extractor::ibyWriteVarMarker, "(* WRITE_VAR_DATA_EXCH  *)");
}

TEST(IbyTemplateBlocks, DynamicBlocksStartWithTheModuleTableAndTheIpPlaceholders) {
    const struct {
        extractor::IbyModuleAddresses modules;
        const char* values[4];  // rack 1, slot 1, rack 2, slot 2
    } cases[] = {
        // One module: no route reaches the unused second entry.
        {{}, {"0", "0", "-1", "-1"}},
        {{0, 3}, {"0", "3", "-1", "-1"}},
        {{0, 3, 0, 0}, {"0", "3", "0", "0"}},
        {{2, 11, 1, 4}, {"2", "11", "1", "4"}},
    };
    const char* names[4] = {"IBY_Rack_1", "IBY_Slot_1", "IBY_Rack_2", "IBY_Slot_2"};
    for (const auto& c : cases) {
        const Lines set = ibySetLines(c.modules);
        const std::vector<Element> elements = elementsOf(set);
        for (const char* dynamic :
             {"IBY_SEND_REQ_DYNAMIC", "IBY_READ_VAR_DYNAMIC", "IBY_WRITE_VAR_DYNAMIC"}) {
            SCOPED_TRACE(dynamic);
            const Element block = elementNamed(elements, dynamic);
            const Section publics = sectionOf(block, "publicLocalVariables");
            ASSERT_GE(publics.variables.size(), 7u);
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(publics.variables[static_cast<std::size_t>(i)], pin(names[i], "INT"));
                EXPECT_EQ(lineAfter(block, pin(names[i], "INT")), initLine(c.values[i]));
            }
            EXPECT_EQ(publics.variables[4], local("IBS_IP", "string"));
            EXPECT_EQ(lineAfter(block, pin("IBS_IP1", "string")), initLine("PMEDWLIP1"));
            EXPECT_EQ(lineAfter(block, pin("IBS_IP2", "string")), initLine("PMEDWLIP2"));
        }
        // The placeholders stand nowhere else, so replacing them touches only these values.
        int placeholders = 0;
        for (const std::string& line : set) {
            placeholders += line.find("PMEDWLIP") != std::string::npos ? 1 : 0;
        }
        EXPECT_EQ(placeholders, 6);
    }
    // The no-argument form is the empty module table.
    Lines noTable;
    extractor::writeIbyTemplateSet(
        [&noTable](std::string_view line) { noTable.emplace_back(line); });
    EXPECT_EQ(noTable, ibySetLines({}));
    EXPECT_EQ(extractor::ibyModuleIpPlaceholder1, "PMEDWLIP1");
    EXPECT_EQ(extractor::ibyModuleIpPlaceholder2, "PMEDWLIP2");
}

TEST(IbyTemplateBlocks, RequestTextsBuildTheRequestForTheirModule) {
    const struct {
        const char* block;
        std::vector<std::string> lines;  // each exactly once in the program
    } cases[] = {
        {"IBY_SEND_REQ",
         {"ADDMstring := concat_str('0.0.3{', IBSIP);",
          "ADDMstring := concat_str(ADDMstring, right_int(int_to_string(Target),3));",
          "Modbus_Opcode := 16#7A;\t\t(* SEND_REQ *)", "if ByteCount > 0 then",
          "\t\tOutput_Data[2 + dloop] := SendData[dloop];", "end_if",
          "\tfor dloop := 0 to MIN(((ByteCount+1)/2)-1, 122) do\t\t(* no word past Output_Data *)",
          "GEST[3] := ByteCount + 4;\t\t(* set the TX length *)", "if GEST[2] = 0 then",
          "\tGEST[2] := 20;\t\t(* set the timeout in 100mS units *)"}},
        {"IBY_READ_VAR",
         {"  ADDMstring := concat_str('0.0.3{', IBSIP);",
          "Modbus_Opcode := 16#81;\t\t(* READ_VAR *)", "EMIS[1] := dint_to_int(shr(index,16));",
          "EMIS[2] := dint_to_int(index);", "EMIS[3] := subindex;",
          "GEST[3] := 8;\t\t(* set the TX length *)"}},
        {"IBY_WRITE_VAR",
         {"Modbus_Opcode := 16#82;\t\t(* WRITE_VAR *)", "Output_Data[3] := subindex;",
          "\t\tOutput_Data[4 + dloop] := EMIS[dloop];",
          "GEST[3] := ByteCount + 8;\t\t(* set the TX length *)"}},
        {"IBY_SEND_REQ_DYNAMIC",
         {"if (Route[2] and 255) = IBY_Rack_1 and AND(SHR(Route[2],8),255) = IBY_Slot_1 and "
          "(Route[3] and 255) = 0 then",
          "\tIBS_IP := IBS_IP1;", "\tIBS_IP := IBS_IP2;", "if Index &gt; 0 then",
          "\tADDMstring := concat_str('0.0.3{', IBS_IP);",
          "\tGEST[3] := ByteCount + 4;\t\t(* set the TX length *)"}},
        {"IBY_READ_VAR_DYNAMIC",
         {"Tindex := 0;", "\tTindex := 2;", "if Tindex &gt; 0 then", "\tif GEST[2] = 0 then",
          "\tGEST[3] := 8;\t\t(* set the TX length *)"}},
        {"IBY_WRITE_VAR_DYNAMIC",
         {"if (Route[2] and 255) = IBY_Rack_2 and AND(SHR(Route[2],8),255) = IBY_Slot_2 and "
          "(Route[3] and 255) = 0 then",
          "if TIndex &gt; 0 then", "\tGEST[3] := ByteCount + 8;\t\t(* set the TX length *)"}},
    };
    const std::vector<Element> elements = elementsOf(ibySetLines());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        const Lines program = programOf(elementNamed(elements, c.block));
        for (const std::string& line : c.lines) {
            EXPECT_EQ(countOf(program, line), 1) << line;
        }
    }
}

// A block type that declares a name twice (a pin and a local variable of the same name) does
// not build; names are compared as the programming tool does, without regard to case.
TEST(IbyTemplateBlocks, NoBlockDeclaresANameTwice) {
    const std::pair<const char*, Lines> sets[] = {{"IBY", ibySetLines()}, {"IBS", ibsSetLines()}};
    for (const auto& [set, lines] : sets) {
        for (const Element& block : elementsOf(lines)) {
            if (!block.block)
                continue;
            SCOPED_TRACE(std::string(set) + " " + block.name);
            std::map<std::string, int> declared;
            for (const char* section : {"inputParameters", "inOutParameters", "outputParameters",
                                        "publicLocalVariables", "privateLocalVariables"}) {
                for (const std::string& line : sectionOf(block, section).variables) {
                    const std::string::size_type start = line.find("name=\"") + 6;
                    std::string name = line.substr(start, line.find('"', start) - start);
                    std::transform(name.begin(), name.end(), name.begin(),
                                   [](unsigned char c) { return std::toupper(c); });
                    EXPECT_EQ(++declared[name], 1) << name << " again in " << section;
                }
            }
        }
    }
}

TEST(IbyTemplateBlocks, DataCopyNeverWritesPastTheRequestBuffer) {
    const std::vector<Element> elements = elementsOf(ibySetLines());
    for (const char* name :
         {"IBY_SEND_REQ", "IBY_SEND_REQ_DYNAMIC", "IBY_WRITE_VAR", "IBY_WRITE_VAR_DYNAMIC"}) {
        SCOPED_TRACE(name);
        const Element block = elementNamed(elements, name);
        EXPECT_EQ(countOf(sectionOf(block, "publicLocalVariables").variables,
                          local("Output_Data", "ARRAY[0..124] OF INT")),
                  1);
        const Lines program = programOf(block);
        const std::string loop = "for dloop := 0 to MIN(((ByteCount+1)/2)-1, ";
        const auto at = std::find_if(program.begin(), program.end(), [&loop](const std::string& l) {
            return l.find(loop) != std::string::npos;
        });
        ASSERT_TRUE(at != program.end() && at + 1 != program.end());
        const int lastIndex = std::stoi(at->substr(at->find(loop) + loop.size()));
        const std::string copy = "Output_Data[";
        const std::size_t word = (at + 1)->find(copy);
        ASSERT_NE(word, std::string::npos) << *(at + 1);
        const int firstWord = std::stoi((at + 1)->substr(word + copy.size()));
        EXPECT_EQ(firstWord + lastIndex, 124);
    }
}

TEST(IbyTemplateBlocks, StatusCopyBlocksCopyTheirMembers) {
    const std::vector<Element> elements = elementsOf(ibySetLines());
    const Lines module = programOf(elementNamed(elements, "IBY_Module_PMEDWL"));
    ASSERT_EQ(module.size(), 50u);
    EXPECT_EQ(module[11], "Module.PAR_SEG_NB_ERR := Manage.Module.PAR_SEG_NB_ERR;");
    EXPECT_EQ(module[39], "Module.MSG_FLT := Manage.Module.MSG_FLT;");
    EXPECT_EQ(module[40], "Manage.Module.AUTO_START := Module.AUTO_START;");
    EXPECT_EQ(module[49], "Manage.Module.ELMT_NBR := Module.ELMT_NBR;");
    for (const std::string& line : module) {
        EXPECT_EQ(line.find("Status24"), std::string::npos) << line;
        EXPECT_EQ(line.find("Command2"), std::string::npos) << line;
    }
    const Lines channel = programOf(elementNamed(elements, "IBY_Channel_PMEDWL"));
    EXPECT_EQ(channel, (Lines{"", "Channel.MOD_ERROR := Manage.Channel.MOD_ERROR;",
                              "Channel.MOD_FAIL := Manage.Channel.MOD_FAIL;",
                              "Channel.CH_FLT := Manage.Channel.CH_FLT;",
                              "Channel.BLK := Manage.Channel.BLK;",
                              "Channel.CONF_FLT := Manage.Channel.CONF_FLT;",
                              "Channel.NO_MOD := Manage.Channel.NO_MOD;",
                              "Channel.EXT_MOD_FLT := Manage.Channel.EXT_MOD_FLT;",
                              "Channel.MOD_FAIL_EXT := Manage.Channel.MOD_FAIL_EXT;",
                              "Channel.CH_FLT_EXT := Manage.Channel.CH_FLT_EXT;",
                              "Channel.BLK_EXT := Manage.Channel.BLK_EXT;",
                              "Channel.CONF_FLT_EXT := Manage.Channel.CONF_FLT_EXT;",
                              "Channel.NO_MOD_EXT := Manage.Channel.NO_MOD_EXT;"}));
}

TEST(IbyTemplateBlocks, IoddtBlocksMapTheStatusAndCommandWords) {
    const struct {
        const char* block;
        std::vector<std::string> lines;  // each exactly once in the program
    } cases[] = {
        {"IBY_IODDT_IN",
         {"Manage.Module.INTERNAL_FLT := DIOiby.Inputs.IBS_Status[0].4;",
          "Manage.Module.MAST_OFF := DIOiby.Inputs.IBS_Status[0].8 or "
          "DIOiby.Inputs.IBS_Status[2].2 or not DIOiby.Freshness;",
          "Manage.Module.PAR_SEG_NB_ERR := DIOiby.Inputs.IBS_Status[1];",
          "Manage.Module.DATA_EXCHG := DIOiby.Inputs.IBS_Status[2].5;",
          "Manage.Module.SLAVE_RDY := DIOiby.Inputs.IBS_Status[2].15;",
          "Manage.Module.MAST_RDY := DIOiby.Inputs.IBS_Status[3].11 or Manage.Module.BUS_ACTIV;",
          "Manage.Module.SCAN_TIME_LS := DIOiby.Inputs.IBS_Status[4];",
          "Manage.Module.MSG_FLT := DIOiby.Inputs.IBS_Status[11];",
          "Manage.Module.CH_ERROR := not DIOiby.Freshness or Manage.Module.BUS_ERR;",
          "Manage.Module.IBS_FLT := DIOiby.Inputs.IBS_Status[0].0 or Manage.Module.CH_ERROR or "
          "Manage.Module.PMS_EXCH_FLT or not DIOiby.Freshness;",
          "Manage.Channel.MOD_ERROR := Manage.Module.CH_ERROR;",
          "\tManage.Channel.EXT_MOD_FLT := Manage.Module.IBS_FLT;",
          "\tManage.Channel.NO_MOD := TRUE;",
          "Manage.Channel.MOD_FLT.0 := Manage.Channel.MOD_FAIL;",
          "Manage.Channel.MOD_FLT.7 := Manage.Channel.EXT_MOD_FLT;",
          "Manage.Channel.MOD_FLT.14 := Manage.Channel.NO_MOD_EXT;",
          "Manage.Channel.MOD_FLT.15 := FALSE;"}},
        {"IBY_IODDT_OUT",
         {"DIOiby.Outputs.IBS_Command[0].0 := Manage.Module.AUTO_START;",
          "DIOiby.Outputs.IBS_Command[5] := 0;",
          "DIOiby.Outputs.IBS_Command[6].6 := Manage.Module.REVERS_EQMT;",
          "DIOiby.Outputs.IBS_Command[7] := Manage.Module.ELMT_NBR;",
          "DIOiby.Outputs.IBS_Command[11] := 0;",
          "DIOiby.Outputs.Q_Config_CRC := Manage.Config_CRC;",
          "DIOiby.Outputs.Q_Map_CRC := Manage.Map_CRC;"}},
    };
    const std::vector<Element> elements = elementsOf(ibySetLines());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        const Lines program = programOf(elementNamed(elements, c.block));
        for (const std::string& line : c.lines) {
            EXPECT_EQ(countOf(program, line), 1) << line;
        }
    }
    // Every channel fault bit is written once, in order.
    const Lines in = programOf(elementNamed(elements, "IBY_IODDT_IN"));
    std::vector<int> bits;
    for (const std::string& line : in) {
        const std::string key = "Manage.Channel.MOD_FLT.";
        if (line.rfind(key, 0) == 0) {
            bits.push_back(std::stoi(line.substr(key.size())));
        }
    }
    EXPECT_EQ(bits, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

}  // namespace
}  // namespace iby_templates_testing
