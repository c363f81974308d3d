// The set as an exchange file would carry it, read by real XML parsers.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "svc/svc_exchange_text.h"
#include "template_text.h"

namespace iby_templates_testing {
namespace {

class ExchangeDocument : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("iby_templates_" + std::to_string(getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // The lines in a minimal structured-text exchange file, CR LF ended as the project is.
    std::filesystem::path write(const Lines& lines) const {
        const std::filesystem::path path = folder_ / "set.xst";
        std::ofstream out(path, std::ios::binary);
        out << svc::svcXmlDeclaration << "\r\n<STExchangeFile>\r\n";
        for (const std::string& line : lines) {
            out << line << "\r\n";
        }
        out << "</STExchangeFile>\r\n";
        return path;
    }

    std::filesystem::path folder_;
};

TEST_F(ExchangeDocument, XmllintAcceptsTheSet) {
    const std::filesystem::path path = write(ibySetLines({0, 3, 0, 4}));
    const CommandResult result = runCommand("xmllint --noout '" + path.string() + "' 2>&1");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output, "");
}

TEST_F(ExchangeDocument, PythonParserSeesTheElementsAndTheirTexts) {
    const std::filesystem::path path = write(ibySetLines({1, 2, 3, 4}));
    // Names in order, then the texts that XML escaping must not have changed.
    const char* script =
        "import sys, xml.etree.ElementTree as E\n"
        "root = E.parse(sys.argv[1]).getroot()\n"
        "print(' '.join(e.get('DDTName') or e.get('nameOfFBType') for e in root))\n"
        "for e in root.iter('comment'):\n"
        "    if 'exchanges' in e.text or 'scan time' in e.text: print(e.text)\n"
        "for s in root.iter('STSource'):\n"
        "    for line in s.text.splitlines():\n"
        "        if line.startswith('if ') and line.endswith('ndex > 0 then'): print(line)\n";
    std::ofstream(folder_ / "read.py") << script;
    const CommandResult result = runCommand("/usr/bin/python3 '" + (folder_ / "read.py").string() +
                                            "' '" + path.string() + "' 2>&1");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output,
              "T_IBY_DIO_OUT T_IBY_DIO T_IBY_DIO_IN IBY_Map_Entry IBY_Config_Node IBY_Channel "
              "IBY_Module IBY_Manage IBY_Layout_CRC IBY_Module_PMEDWL IBY_Channel_PMEDWL "
              "IBY_SEND_REQ_DYNAMIC IBY_SEND_REQ IBY_READ_VAR IBY_READ_VAR_DYNAMIC IBY_WRITE_VAR "
              "IBY_WRITE_VAR_DYNAMIC IBY_Layout_Xfer IBY_IODDT_OUT IBY_IODDT_IN\n"
              "IBS scan time (in \xC2\xB5s)  DINT (Least Significant)\n"
              "IBS scan time (in \xC2\xB5s)  DINT (Most Significant)\n"
              "Number of %QW & %IW exchanges\n"
              "if Index > 0 then\n"
              "if Tindex > 0 then\n"
              "if TIndex > 0 then\n");
}

}  // namespace
}  // namespace iby_templates_testing
