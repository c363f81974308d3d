// The IBY set against the IBS set it derives from: the element order and stamps, and every line
// in which a shared element differs.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "template_text.h"

namespace iby_templates_testing {
namespace {

struct Stamp {
    std::string name;
    bool block;
    std::string version;
    std::string dateTime;
    std::string codeCheckSum;  // blocks only
    std::string signatureCheckSum;
};

const std::vector<Stamp> kIbyElements = {
    {"T_IBY_DIO_OUT", false, "1.00", "dt#2018-12-21-15:49:35", "", "0000"},
    {"T_IBY_DIO", false, "1.00", "dt#2018-12-21-15:49:35", "", "0000"},
    {"T_IBY_DIO_IN", false, "1.00", "dt#2018-12-21-15:49:35", "", "0000"},
    {"IBY_Map_Entry", false, "0.01", "dt#2018-11-29-19:32:36", "", "0000"},
    {"IBY_Config_Node", false, "0.02", "dt#2018-10-30-10:16:21", "", "0000"},
    {"IBY_Channel", false, "0.02", "dt#2019-03-13-23:19:41", "", "0000"},
    {"IBY_Module", false, "0.05", "dt#2019-03-13-23:57:35", "", "0000"},
    {"IBY_Manage", false, "0.05", "dt#2019-03-25-12:16:35", "", "0000"},
    {"IBY_Layout_CRC", true, "0.41", "dt#2019-03-28-13:01:26", "10A8", "8163"},
    {"IBY_Module_PMEDWL", true, "0.02", "dt#2019-08-15-15:54:08", "0000", "0000"},
    {"IBY_Channel_PMEDWL", true, "0.02", "dt#2019-08-15-15:54:07", "0000", "0000"},
    {"IBY_SEND_REQ_DYNAMIC", true, "1.04", "dt#2021-09-07-21:27:25", "0000", "0000"},
    {"IBY_SEND_REQ", true, "1.03", "dt#2021-09-07-10:00:09", "0000", "0000"},
    {"IBY_READ_VAR", true, "1.03", "dt#2021-09-07-11:31:40", "0000", "0000"},
    {"IBY_READ_VAR_DYNAMIC", true, "1.03", "dt#2021-09-07-11:31:40", "0000", "0000"},
    {"IBY_WRITE_VAR", true, "1.04", "dt#2021-09-07-11:31:40", "0000", "0000"},
    {"IBY_WRITE_VAR_DYNAMIC", true, "1.04", "dt#2021-09-07-11:31:40", "0000", "0000"},
    {"IBY_Layout_Xfer", true, "0.22", "dt#2018-03-28-11:31:40", "0000", "0000"},
    {"IBY_IODDT_OUT", true, "0.22", "dt#2018-03-28-11:31:40", "0000", "0000"},
    {"IBY_IODDT_IN", true, "0.22", "dt#2018-03-28-11:31:40", "0000", "0000"},
};

std::string headLine(const Stamp& stamp) {
    return stamp.block ? "\t<FBSource nameOfFBType=\"" + stamp.name + "\" version=\"" +
                             stamp.version + "\" dateTime=\"" + stamp.dateTime + "\">"
                       : "\t<DDTSource DDTName=\"" + stamp.name + "\" version=\"" + stamp.version +
                             "\" dateTime=\"" + stamp.dateTime + "\">";
}

std::string checksumLine(const char* name, const std::string& value) {
    return std::string("\t\t<attribute name=\"") + name + "\" value=\"" + value + "\"></attribute>";
}

TEST(IbyTemplateSet, WritesItsTwentyElementsInOrderWithTheirOwnStamps) {
    const std::vector<Element> elements = elementsOf(ibySetLines());
    ASSERT_EQ(elements.size(), kIbyElements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const Stamp& stamp = kIbyElements[i];
        const Lines& lines = elements[i].lines;
        SCOPED_TRACE(stamp.name);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0], headLine(stamp));
        const std::string signature =
            checksumLine("TypeSignatureCheckSumString", stamp.signatureCheckSum);
        if (stamp.block) {
            EXPECT_EQ(lines[1], checksumLine("TypeCodeCheckSumString", stamp.codeCheckSum));
            EXPECT_EQ(lines[2], signature);
        } else {
            EXPECT_EQ(countOf(lines, signature), 1);
        }
    }
}

// An IBS name as the IBY set declares or refers to it.
std::string ibyName(std::string name) {
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"IBS_", "IBY_"}, {"T_d0_s0", "T_IBY_DIO"}}) {
        for (std::size_t at = name.find(from); at != std::string::npos;
             at = name.find(from, at + to.size())) {
            name.replace(at, from.size(), to);
        }
    }
    return name;
}

// A line of the IBS set with the IBY names: only declared names and type names change, never a
// member, a comment or the structured text.
std::string ibyNamed(std::string line) {
    for (const std::string attribute : {"DDTName=\"", "nameOfFBType=\"", "typeName=\""}) {
        const std::size_t key = line.find(attribute);
        if (key == std::string::npos) {
            continue;
        }
        const std::size_t start = key + attribute.size();
        const std::size_t length = line.find('"', start) - start;
        line.replace(start, length, ibyName(line.substr(start, length)));
    }
    return line;
}

// Replaces `count` lines from the one line equal to `anchor` by `lines`.
struct Edit {
    std::string element;
    std::string anchor;
    int count;
    Lines lines;
};

const std::vector<Edit> kIbyEdits = {
    // The device areas are not locked.
    {"T_IBY_DIO_OUT", "\t\t<attribute name=\"IsTypeLocked\" value=\"TRUE\"></attribute>", 1, {}},
    {"T_IBY_DIO_IN", "\t\t<attribute name=\"IsTypeLocked\" value=\"TRUE\"></attribute>", 1, {}},
    // The window mode comment names the PCP window too.
    {"T_IBY_DIO_OUT",
     "\t\t\t\t<comment>0=Config; 1=Map</comment>",
     1,
     {"\t\t\t\t<comment>.0=Config; .1=Map; .2=PCP</comment>"}},
    // The module echoes the window mode.
    {"T_IBY_DIO_IN",
     "\t\t\t<variables name=\"Q_Handshake_Echo\" typeName=\"INT\">",
     3,
     {"\t\t\t<variables name=\"Q_Handshake_Echo\" typeName=\"INT\">",
      "\t\t\t\t<comment>Outbound Handshake</comment>", "\t\t\t</variables>",
      "\t\t\t<variables name=\"I_Window_Mode\" typeName=\"WORD\">",
      "\t\t\t\t<comment>.0=Config; .1=Map; .2=PCP</comment>", "\t\t\t</variables>"}},
    // The freshness bits carry no access rights.
    {"T_IBY_DIO",
     "\t\t\t\t<comment>Global Freshness</comment>",
     3,
     {"\t\t\t\t<comment>Global Freshness</comment>"}},
    {"T_IBY_DIO",
     "\t\t\t\t<comment>Freshness of Object</comment>",
     3,
     {"\t\t\t\t<comment>Freshness of Object</comment>"}},
    {"IBY_Config_Node",
     "\t\t\t<variables name=\"Name\" typeName=\"string[10]\"></variables>",
     1,
     {"\t\t\t<variables name=\"Name\" typeName=\"STRING[10]\"></variables>"}},
    // The transfer block has an empty input section and lacks two statements.
    {"IBY_Layout_Xfer",
     "\t\t<attribute name=\"TypeSignatureCheckSumString\" value=\"0000\"></attribute>",
     1,
     {"\t\t<attribute name=\"TypeSignatureCheckSumString\" value=\"0000\"></attribute>",
      "\t\t<inputParameters>", "\t\t</inputParameters>"}},
    {"IBY_Layout_Xfer", "\t\t\tconfig_done := 1;", 1, {}},
    {"IBY_Layout_Xfer", "\t\t\t\tif DIOiby.Outputs.Q_Window_Mode = 2 then", 3, {}},
};

TEST(IbyTemplateSet, DiffersFromTheIbsSetOnlyInItsOwnLines) {
    const std::vector<Element> ibs = elementsOf(ibsSetLines());
    const std::vector<Element> iby = elementsOf(ibySetLines());
    ASSERT_EQ(ibs.size(), 10u);
    std::set<std::string> shared;
    for (const Element& original : ibs) {
        Lines expected;
        for (const std::string& line : original.lines) {
            expected.push_back(ibyNamed(line));
        }
        const std::string name = ibyName(original.name);
        SCOPED_TRACE(name);
        shared.insert(name);
        const auto stamp = std::find_if(kIbyElements.begin(), kIbyElements.end(),
                                        [&name](const Stamp& s) { return s.name == name; });
        ASSERT_NE(stamp, kIbyElements.end());
        expected[0] = headLine(*stamp);
        if (stamp->block) {
            expected[1] = checksumLine("TypeCodeCheckSumString", stamp->codeCheckSum);
            expected[2] = checksumLine("TypeSignatureCheckSumString", stamp->signatureCheckSum);
        }
        for (const Edit& edit : kIbyEdits) {
            if (edit.element != name) {
                continue;
            }
            ASSERT_EQ(countOf(expected, edit.anchor), 1) << edit.anchor;
            const auto at = std::find(expected.begin(), expected.end(), edit.anchor);
            ASSERT_LE(at + edit.count, expected.end());
            const auto next = expected.erase(at, at + edit.count);
            expected.insert(next, edit.lines.begin(), edit.lines.end());
        }
        EXPECT_EQ(elementNamed(iby, name).lines, expected);
    }
    // Everything else of the IBY set is its own.
    std::set<std::string> own;
    for (const Element& element : iby) {
        if (shared.count(element.name) == 0) {
            own.insert(element.name);
        }
    }
    EXPECT_EQ(own, (std::set<std::string>{
                       "IBY_Module_PMEDWL", "IBY_Channel_PMEDWL", "IBY_SEND_REQ_DYNAMIC",
                       "IBY_SEND_REQ", "IBY_READ_VAR", "IBY_READ_VAR_DYNAMIC", "IBY_WRITE_VAR",
                       "IBY_WRITE_VAR_DYNAMIC", "IBY_IODDT_OUT", "IBY_IODDT_IN"}));
}

}  // namespace
}  // namespace iby_templates_testing
