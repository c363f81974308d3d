// The decoder against files built from the format: checksums, field formats, variables, the
// report texts, and files that end before what they describe.

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "fdr/prm/decode_prm_file.h"
#include "tests/fdr/prm_builder.h"

namespace {

using prm_builder::PrmFile;

struct Decoded {
    fdr::PrmContent content;
    fdr::ReportTexts reports;
    std::string trace;
};

Decoded Decode(const std::vector<uint8_t>& bytes, const std::string& name = "r1_PMEKRT_s2.prm") {
    Decoded decoded;
    std::ostringstream trace;
    decoded.content = fdr::decodePrmFile(bytes, name, decoded.reports, trace);
    decoded.trace = trace.str();
    return decoded;
}

std::string Hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// zlib's CRC-32 of the file with the given bytes zeroed.
uint32_t ZlibCrcWithout(std::vector<uint8_t> bytes, size_t zeroEnd, size_t secondFrom = 0,
                        size_t secondEnd = 0) {
    for (size_t i = 0; i < zeroEnd; ++i)
        bytes[i] = 0;
    for (size_t i = secondFrom; i < secondEnd; ++i)
        bytes[i] = 0;
    return static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

TEST(PrmDecode, TheStoredChecksumOfAnIntactFileIsGood) {
    const std::vector<uint8_t> bytes = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    const Decoded decoded = Decode(bytes);
    EXPECT_TRUE(decoded.content.checksumGood);
    EXPECT_EQ(decoded.content.vChecksum, ZlibCrcWithout(bytes, 4));
    EXPECT_EQ(decoded.content.configChecksum, ZlibCrcWithout(bytes, 4, 32, 40));
    EXPECT_NE(decoded.reports[1].find("\r\n\tFile Checksum =  Good"), std::string::npos);
    EXPECT_TRUE(decoded.content.faults.empty());
}

TEST(PrmDecode, OneChangedByteAfterTheChecksumFailsTheFileButItIsStillDecoded) {
    const std::vector<uint8_t> intact = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    for (size_t offset : {size_t{4}, size_t{40}, size_t{187}, size_t{200}, intact.size() - 1}) {
        std::vector<uint8_t> bytes = intact;
        bytes[offset] ^= 0x01;
        const Decoded decoded = Decode(bytes);
        EXPECT_FALSE(decoded.content.checksumGood) << offset;
        for (int level : {1, 2}) {
            EXPECT_NE(decoded.reports[level].find("\r\n\tFile Checksum =  FAIL"), std::string::npos)
                << offset;
            EXPECT_NE(decoded.reports[level].find("\r\n\tConfig Date = 03 / 07 / 2022"),
                      std::string::npos)
                << offset;
        }
        EXPECT_EQ(decoded.content.variables.size(), 7U) << offset;
    }
}

TEST(PrmDecode, DateAndTimeBytesChangeTheFileChecksumButNotTheConfigChecksum) {
    const std::vector<uint8_t> intact = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    const Decoded before = Decode(intact);
    for (size_t offset = 32; offset < 40; ++offset) {
        std::vector<uint8_t> bytes = intact;
        bytes[offset] ^= 0x10;
        const Decoded after = Decode(bytes);
        EXPECT_FALSE(after.content.checksumGood) << offset;
        EXPECT_NE(after.content.vChecksum, before.content.vChecksum) << offset;
        EXPECT_EQ(after.content.configChecksum, before.content.configChecksum) << offset;
    }
}

TEST(PrmDecode, HeaderFieldsShowAsTheEngineerReadsThem) {
    PrmFile file = prm_builder::sampleModuleFile("PMEKRT");
    file.dateByte32 = 7;
    file.dateByte33 = 3;
    file.year = 2022;
    file.timeByte37 = 5;
    file.timeByte38 = 4;
    file.timeByte39 = 13;
    file.creatorVersion = 0x21;
    file.creatorBuild = 7;
    const Decoded decoded = Decode(prm_builder::build(file));
    EXPECT_EQ(decoded.content.configDate, "03 / 07 / 2022");
    EXPECT_EQ(decoded.content.configTime, "13:04:05");
    EXPECT_EQ(decoded.content.creatorVersion, "2.1.7");
    // The trace shows every header field; texts in quotes, zero bytes left out.
    for (const char* line :
         {"productID = 'PMEKRT0100'\n", "productCode = 012A\n", "hardwareid = 000005A1\n",
          "firmwareversion = 0210\n", "ConfigCreatorVersion = 2.1.7\n", "Reserved = BEEFh\n",
          "RH_SupportedProfiles = 00101b\n", "RH_SupportedServices = -2\n",
          "RH_DeviceName = 'PMEKRT EtherNet/IP module'\n"}) {
        EXPECT_NE(decoded.trace.find(line), std::string::npos) << line;
    }
}

TEST(PrmDecode, ReportsOfAModuleFile) {
    const std::vector<uint8_t> bytes = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    const Decoded decoded = Decode(bytes, "r1_PMEKRT_s2.prm");
    const std::string box = "\r\n\t                                +----------------------+";
    const std::string fileLines =
        "\r\n\r\nr1_PMEKRT_s2.prm" + box +
        "\r\n\tConfig Checksum =     " + Hex8(ZlibCrcWithout(bytes, 4, 32, 40)) + box +
        "\r\n\tFile Checksum =  Good"
        "\r\n\tConfig Date = 03 / 07 / 2022"
        "\r\n\tConfig Time = 13:04:05"
        "\r\n\tConfig Creator Version = 2.1.7"
        "\r\n\tConfig File Size = " +
        std::to_string(bytes.size());
    EXPECT_EQ(decoded.reports[1],
              fileLines +
                  "\r\n"
                  "\r\n\tAssmebly\tType\tID\tAssemblySize"
                  "\r\n\t--------------\t\t--------------\t---------\t-----------------------"
                  "\r\n\t100\t\t1 Input \t4001\t32"
                  "\r\n\t150\t\t2 Output\t4002\t16"
                  "\r\n"
                  "\r\n\tInstance\tType\t\tValue"
                  "\r\n\t--------------\t-----------------\t--------------------------------------"
                  "\r\n\t1\t11 STRING\tPMEKRT"
                  "\r\n\t2\t11 STRING\t1.04"
                  "\r\n\t3\t11 STRING\tBrondel 2.1.7"
                  "\r\n\t10\t2 UINT  \t\t502"
                  "\r\n\t11\t0 BOOL  \t\t1"
                  "\r\n\t12\t9 REAL  \t2.5"
                  "\r\n\t13\t14 DWORD \t\t-40000");
    EXPECT_EQ(decoded.reports[2], fileLines +
                                      "\r\n\tDTM Name = 'PMEKRT'"
                                      "\r\n\tDTM Version = '1.04'"
                                      "\r\n\tUtil Version = 'Brondel 2.1.7'");
    EXPECT_EQ(decoded.reports[3], "");
}

TEST(PrmDecode, OnlyTheMakersModuleFilesLabelTheirFirstValuesInTheSomeReport) {
    PrmFile file = prm_builder::sampleModuleFile("PMEDWL");
    file.sections.back() = prm_builder::variablesSection({
        prm_builder::uintVariable(1, 7),
        prm_builder::realVariable(2, 0.1F),
        prm_builder::stringVariable(3, "x"),
        prm_builder::stringVariable(4, "fourth"),
    });
    const std::vector<uint8_t> bytes = prm_builder::build(file);
    const struct {
        const char* name;
        const char* someTail;
    } cases[] = {
        {"a_PMEDWL_IBS.prm", "\r\n\t7\r\n\t0.1\r\n\tUtil Version = 'x'"},
        {"a_PMEKRT.prm", "\r\n\t7\r\n\t0.1\r\n\tUtil Version = 'x'"},
        {"a_PMEDWL.prm", "Config File Size = "},
    };
    for (const auto& c : cases) {
        const Decoded decoded = Decode(bytes, c.name);
        const std::string& some = decoded.reports[2];
        const std::string tail = c.someTail;
        if (tail.rfind("Config", 0) == 0) {
            EXPECT_EQ(some.substr(some.rfind("\r\n\t")),
                      "\r\n\tConfig File Size = " + std::to_string(bytes.size()))
                << c.name;
        } else {
            ASSERT_GE(some.size(), tail.size());
            EXPECT_EQ(some.substr(some.size() - tail.size()), tail) << c.name;
        }
        EXPECT_EQ(some.find("fourth"), std::string::npos) << c.name;
        EXPECT_NE(decoded.reports[1].find("\r\n\t4\t11 STRING\tfourth"), std::string::npos);
    }
}

TEST(PrmDecode, AValueOfTheWrongLengthIsNotConsumed) {
    PrmFile file = prm_builder::sampleModuleFile("PMEKRT");
    // A UINT that says 4 bytes: nothing of it is read, and the next variable begins where its
    // data would have.
    file.sections.back() = prm_builder::variablesSection({
        {20, 2, 4, {}},
        prm_builder::uintVariable(21, 0xFFFF, 3),
        prm_builder::boolVariable(22, 1),
    });
    const Decoded decoded = Decode(prm_builder::build(file));
    ASSERT_EQ(decoded.content.variables.size(), 3U);
    EXPECT_EQ(decoded.content.variables[0].integer, 0);
    EXPECT_EQ(decoded.content.variables[1].eipRegister, 21);
    EXPECT_EQ(decoded.content.variables[1].integer, 65535);  // an INT is shown without sign
    EXPECT_EQ(decoded.content.variables[2].integer, 1);
    EXPECT_NE(decoded.reports[1].find("\r\n\t20\t2 UINT  \t\t0\r\n\t21\t3 INT   \t\t65535"),
              std::string::npos);
}

TEST(PrmDecode, TypesWithoutANameAreSkippedAndConsumeNothing) {
    PrmFile file = prm_builder::sampleModuleFile("PMEKRT");
    file.sections.back() = prm_builder::variablesSection({
        {30, 5, 2, {}},
        {31, 200, 1, {}},
        prm_builder::uintVariable(32, 9, 13),
    });
    const Decoded decoded = Decode(prm_builder::build(file));
    ASSERT_EQ(decoded.content.variables.size(), 3U);
    EXPECT_EQ(decoded.content.variables[2].integer, 9);
    const std::string& high = decoded.reports[1];
    EXPECT_EQ(high.find("\r\n\t30\t"), std::string::npos);
    EXPECT_EQ(high.find("\r\n\t31\t"), std::string::npos);
    EXPECT_NE(high.find("\r\n\t32\t13 WORD  \t\t9"), std::string::npos);
}

TEST(PrmDecode, ZeroBytesOfAStringNeverReachTheReports) {
    const std::vector<uint8_t> bytes = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    const Decoded decoded = Decode(bytes);
    // The DTM name fills its 32 bytes with zeros; a zero would end the window's text there.
    EXPECT_EQ(decoded.content.variables[0].text.size(), 32U);
    for (int level : {1, 2})
        EXPECT_EQ(decoded.reports[level].find('\0'), std::string::npos);
    EXPECT_NE(decoded.reports[2].find("DTM Name = 'PMEKRT'"), std::string::npos);
}

TEST(PrmDecode, ALaterSectionWithTheSameIdReplacesTheEarlierOne) {
    PrmFile file = prm_builder::sampleModuleFile("PMEKRT");
    file.sections.push_back(prm_builder::assembliesSection({{300, 2, 8, 1, 77, 4}}));
    const Decoded decoded = Decode(prm_builder::build(file));
    ASSERT_EQ(decoded.content.assemblies.size(), 1U);
    EXPECT_EQ(decoded.content.assemblies[0].instance, 300U);
    EXPECT_EQ(decoded.reports[1].find("\r\n\t100\t\t"), std::string::npos);
}

TEST(PrmDecode, WhatLiesBeyondTheEndOfTheFileIsReportedNotRead) {
    const auto cut = [](size_t keep) {
        std::vector<uint8_t> bytes = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
        bytes.resize(keep);
        return bytes;
    };
    PrmFile tooManySections = prm_builder::sampleModuleFile("PMEKRT");
    tooManySections.sectionCount = 400;
    PrmFile farSection = prm_builder::sampleModuleFile("PMEKRT");
    farSection.sections[2].location = 0xFFFFFFF0u;
    PrmFile tooManyAssemblies = prm_builder::sampleModuleFile("PMEKRT");
    tooManyAssemblies.sections[2] =
        prm_builder::assembliesSection({{1, 1, 2, 3, 4, 5}}, uint16_t{60000});
    PrmFile tooManyVariables = prm_builder::sampleModuleFile("PMEKRT");
    tooManyVariables.sections[3] =
        prm_builder::variablesSection({prm_builder::boolVariable(1, 1)}, uint16_t{9});
    PrmFile longString = prm_builder::sampleModuleFile("PMEKRT");
    longString.sections[3] = prm_builder::variablesSection({{1, 11, 255, {'a', 'b'}}});
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* fault;
    } cases[] = {
        {"empty file", {}, "the file holds 0 bytes; its header needs 188"},
        {"short header", cut(100), "the file holds 100 bytes; its header needs 188"},
        // Entries past the real ones are read from the sections' data, up to the file's end.
        {"section table", prm_builder::build(tooManySections),
         "of 400 lies beyond the end of the file"},
        {"section location", prm_builder::build(farSection),
         "section 'Assemblies' (ID 1024) at offset 4294967280 lies beyond the end of the file"},
        {"assembly records", prm_builder::build(tooManyAssemblies),
         "of 60000 in section 'Assemblies' (ID 1024) lies beyond the end"},
        {"variables", prm_builder::build(tooManyVariables),
         "variable 2 of 9 in section 'EIP Variables' (ID 1025) lies beyond the end"},
        {"string value", prm_builder::build(longString),
         "the value of variable 1 of 1 in section 'EIP Variables' (ID 1025) lies beyond"},
    };
    for (const auto& c : cases) {
        const Decoded decoded = Decode(c.bytes);
        ASSERT_FALSE(decoded.content.faults.empty()) << c.what;
        EXPECT_NE(decoded.content.faults.front().find(c.fault), std::string::npos)
            << c.what << ": " << decoded.content.faults.front();
        for (int level : {1, 2}) {
            EXPECT_NE(decoded.reports[level].find("\r\n\tDecode Error: " +
                                                  decoded.content.faults.front()),
                      std::string::npos)
                << c.what;
            EXPECT_NE(decoded.reports[level].find("\r\n\tFile Checksum =  "), std::string::npos)
                << c.what;
        }
    }
}

TEST(PrmDecode, AFileCutShortKeepsWhatItHolds) {
    std::vector<uint8_t> bytes = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    // Cut inside the variables: the first four variables are whole.
    bytes.resize(bytes.size() - 12);
    const Decoded decoded = Decode(bytes);
    EXPECT_FALSE(decoded.content.checksumGood);
    EXPECT_EQ(decoded.content.assemblies.size(), 2U);
    EXPECT_EQ(decoded.content.variables.size(), 5U);
    EXPECT_NE(decoded.reports[2].find("Util Version = 'Brondel 2.1.7'"), std::string::npos);
}

}  // namespace
