// The two function blocks the load file hands to the PLC, whole: the layout checksum must agree
// with what the PMEDWL module computes before it takes the Config and Map tables, and the
// transfer block must follow the module's window handshake. The golden text holds both blocks
// line for line, declarations, CRC table and programs.

#include <gtest/gtest.h>

#include <fstream>

#include "tamsel_fixture.h"
#include "tamsel_sample.h"

namespace loadcode::testing {
namespace {

class TamselLayoutBlocks : public TamselTest {};

// From the block's FBSource line to its closing "</FBSource>", LF line ends.
std::string blockOf(const std::string& load, const std::string& name) {
    const std::size_t start = load.find("\t<FBSource nameOfFBType=\"" + name + "\"");
    const std::string close = "\t</FBSource>\r\n";
    const std::size_t end = load.find(close, start);
    if (start == std::string::npos || end == std::string::npos) {
        return "";
    }
    std::string text = load.substr(start, end + close.size() - start);
    std::string lf;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, "\r\n") == 0) {
            continue;  // the LF follows
        }
        lf += text[at];
    }
    return lf;
}

TEST_F(TamselLayoutBlocks, ChecksumAndTransferBlocksAreTheGoldenText) {
    const Converted converted = convert("plant", tamselSampleRecords());
    ASSERT_TRUE(converted.result.finished) << converted.transcript;
    const std::string load = converted.output("_LOAD.xst");
    const std::string actual = blockOf(load, "IBS_Layout_CRC") + blockOf(load, "IBS_Layout_Xfer");
    const std::string golden = svc::testing::readFile(TAMSEL_LAYOUT_GOLDEN);
    ASSERT_FALSE(golden.empty());
    if (actual != golden) {
        // Kept for a diff against the golden file; the scratch folder goes with the test.
        const std::filesystem::path kept =
            std::filesystem::temp_directory_path() / "tamsel_layout_blocks.actual.txt";
        std::ofstream(kept, std::ios::binary) << actual;
        ADD_FAILURE() << "the blocks as written are in " << kept.string();
    }
    const std::vector<std::string> want = svc::testing::lfLines(golden);
    const std::vector<std::string> got = svc::testing::lfLines(actual);
    for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
        ASSERT_LT(i, got.size()) << "missing from line " << i + 1 << ": " << want[i];
        ASSERT_LT(i, want.size()) << "extra line " << i + 1 << ": " << got[i];
        ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
    }
}

}  // namespace
}  // namespace loadcode::testing
