#include "svc/svc_record.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using svc::SvcLineKind;
using svc::SvcStep;

struct LineCase {
    const char* line;
    SvcLineKind kind;
    uint16_t value;
    const char* digits;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class ClassifyLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ClassifyLine, CutsTheTokenAndReadsItsDigits) {
    const LineCase& c = GetParam();
    const svc::SvcLine cut = svc::classifySvcLine(c.line);
    EXPECT_EQ(cut.kind, c.kind);
    EXPECT_EQ(cut.value, c.value);
    EXPECT_EQ(cut.digits, c.digits);
}

INSTANTIATE_TEST_SUITE_P(
    TokenRule, ClassifyLine,
    ::testing::Values(LineCase{"", SvcLineKind::Separator, 0, ""},
                      LineCase{"   comment text", SvcLineKind::Separator, 0, ""},
                      LineCase{"#CMD#", SvcLineKind::RecordStart, 0, ""},
                      LineCase{"#CMD", SvcLineKind::RecordStart, 0, ""},
                      LineCase{"#CMD#trailing", SvcLineKind::RecordStart, 0, ""},
                      LineCase{"#0x0307#", SvcLineKind::Word, 0x0307, "0307"},
                      LineCase{"#0xFFFF#", SvcLineKind::Word, 0xFFFF, "FFFF"},
                      LineCase{"#0x014a#", SvcLineKind::Word, 0x014A, "014a"},
                      LineCase{"#0x1#", SvcLineKind::Word, 1, "1"},
                      LineCase{"#0x12G4#", SvcLineKind::Word, 0x12, "12G4"},
                      LineCase{"#0xZZZZ#", SvcLineKind::Word, 0, "ZZZZ"},
                      LineCase{"#0x#", SvcLineKind::Word, 0, ""},
                      LineCase{"#", SvcLineKind::Word, 0, ""},
                      // Only four digits are read; the fifth is not part of the word.
                      LineCase{"#0x123456#", SvcLineKind::Word, 0x1234, "1234"},
                      // No closing "#": the token is the rest of the line.
                      LineCase{"#0x00AB", SvcLineKind::Word, 0x00AB, "00AB"},
                      // A blank before the first "#" gives an empty token, hence 0.
                      LineCase{" #0x0307#", SvcLineKind::Word, 0, ""},
                      LineCase{" #CMD#", SvcLineKind::Word, 0, ""}));

// A word line is "#0x", four hexadecimal digits and "#"; what an editor shows as nothing may
// follow it.
TEST(IsWellFormedWordLine, TakesInvisibleCharactersAfterTheWordAndNothingElse) {
    const struct {
        std::string line;
        bool wellFormed;
    } cases[] = {
        {"#0x0307#", true},    {"#0x01c1#", true},   {"#0x0307#  ", true},
        {"#0x0307#\t", true},  {"#0x0307#\r", true}, {"#0x0307# \t\r ", true},
        {"#0x0307# x", false}, {"#0x0307##", false}, {std::string("#0x0307#\0", 9), false},
        {"#0x030G#", false},   {"#0x 307#", false},  {"#0x307#", false},
        {"#0x0307", false},    {"#0X0307#", false},  {" #0x0307#", false},
        {"\t#0x0307#", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(svc::isWellFormedWordLine(c.line), c.wellFormed) << '"' << c.line << '"';
    }
}

std::vector<std::string> sourceLines(const std::string& text) {
    std::istringstream in(text);
    svc::SvcLineSource source(in);
    std::vector<std::string> lines;
    std::string line;
    while (source.next(line)) {
        lines.push_back(line);
    }
    return lines;
}

TEST(SvcLineSource, DropsTheCarriageReturnsBeforeALineFeed) {
    EXPECT_EQ(sourceLines("#CMD#\r\n#0x0701#\r\r\n\r\r\r\n#0x0000#"),
              (std::vector<std::string>{"#CMD#", "#0x0701#", "", "#0x0000#"}));
    // A carriage return inside a line is the line's own.
    EXPECT_EQ(sourceLines("a\rb\n"), std::vector<std::string>{"a\rb"});
    EXPECT_TRUE(sourceLines("").empty());
}

TEST(SvcLineSource, DropsAByteOrderMarkAtTheStartOfTheFileOnly) {
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(sourceLines(mark + "#CMD#\r\n" + mark + "#CMD#\r\n"),
              (std::vector<std::string>{"#CMD#", mark + "#CMD#"}));
    EXPECT_EQ(sourceLines(mark + "\r\n#CMD#"), (std::vector<std::string>{"", "#CMD#"}));
    EXPECT_EQ(sourceLines(mark), std::vector<std::string>{""});
    // Only the whole mark: a file of another encoding keeps its first bytes.
    EXPECT_EQ(sourceLines("\xEF\xBB#CMD#"), std::vector<std::string>{"\xEF\xBB#CMD#"});
}

std::vector<svc::SvcRecord> readAll(const std::string& text) {
    std::istringstream in(text);
    return svc::readSvcRecords(in);
}

TEST(ReadSvcRecords, ReadsWellFormedRecordsWithCrLf) {
    const auto records = readAll(
        "\r\n\r\n#CMD#\r\n#0x0750#\r\n#0x0003#\r\n#0x0001#\r\n#0x2200#\r\n#0x0004#\r\n"
        "\r\n\r\n#CMD#\r\n#0x0711#\r\n#0x0001#\r\n#0x0000#\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].hasServiceCode);
    EXPECT_EQ(records[0].serviceCode, 0x0750);
    EXPECT_EQ(records[0].codeDigits, "0750");
    EXPECT_TRUE(records[0].hasWordCount);
    EXPECT_EQ(records[0].wordCount, 3);
    EXPECT_EQ(records[0].dataWords, (std::vector<uint16_t>{0x0001, 0x2200, 0x0004}));
    EXPECT_EQ(records[1].serviceCode, 0x0711);
    EXPECT_EQ(records[1].dataWords, (std::vector<uint16_t>{0x0000}));
}

TEST(ReadSvcRecords, AcceptsLowerCaseDigitsAndKeepsTheirText) {
    const auto records = readAll("#CMD#\n#0x014a#\n#0x0001#\n#0xbeef#\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].serviceCode, 0x014A);
    EXPECT_EQ(records[0].codeDigits, "014a");
    EXPECT_EQ(records[0].dataWords, (std::vector<uint16_t>{0xBEEF}));
}

TEST(ReadSvcRecords, NewRecordStartEndsThePreviousOneWithoutSeparator) {
    const auto records =
        readAll("#CMD#\n#0x0701#\n#0x0001#\n#0x0000#\n#CMD#\n#0x0702#\n#0x0000#\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].dataWords.size(), 1u);
    EXPECT_EQ(records[1].serviceCode, 0x0702);
    EXPECT_TRUE(records[1].dataWords.empty());
}

TEST(ReadSvcRecords, WordCountDoesNotLimitTheDataWords) {
    const auto records = readAll("#CMD#\n#0x0321#\n#0x0001#\n#0x0A0B#\n#0x0C0D#\n#0x0E0F#\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].wordCount, 1);
    EXPECT_EQ(records[0].dataWords.size(), 3u);
}

TEST(ReadSvcRecords, WordsOutsideARecordAreSkipped) {
    const auto records = readAll("#0x1111#\n#CMD#\n#0x0701#\n#0x0000#\n\n#0x2222#\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].serviceCode, 0x0701);
    EXPECT_TRUE(records[0].dataWords.empty());
}

TEST(ReadSvcRecords, PartialRecordsKeepWhatWasRead) {
    const auto records = readAll("#CMD#\n\n#CMD#\n#0x0307#\n\n#CMD#\n#0x0307#\n#0x2");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_FALSE(records[0].hasServiceCode);
    EXPECT_TRUE(records[1].hasServiceCode);
    EXPECT_FALSE(records[1].hasWordCount);
    // The last line has no line end and is cut short: still a word, read as far as it goes.
    EXPECT_TRUE(records[2].hasWordCount);
    EXPECT_EQ(records[2].wordCount, 2);
}

TEST(ReadSvcRecords, ReadsTheFirstRecordBehindAByteOrderMark) {
    const auto records = readAll("\xEF\xBB\xBF#CMD#\r\r\n#0x0711#\r\n#0x0001#\r\n#0x0001#");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].serviceCode, 0x0711);
    EXPECT_EQ(records[0].dataWords, (std::vector<uint16_t>{0x0001}));
}

TEST(ReadSvcRecords, EmptyStreamGivesNoRecords) {
    EXPECT_TRUE(readAll("").empty());
    EXPECT_TRUE(readAll("\r\n\r\n").empty());
}

TEST(ReadSvcRecords, ReadsAVeryLongLineWhole) {
    // Were the line cut into pieces, its tail would count as a separator and end the record.
    const std::string longTail(100000, 'x');
    const auto records = readAll("#CMD#\n#0x0701#\n#0x0009#" + longTail + "\n#0x0005#\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].wordCount, 9);
    EXPECT_EQ(records[0].dataWords, (std::vector<uint16_t>{0x0005}));
}

TEST(SvcRecordReader, NumbersDataWordsFromOneAndResetsPerRecord) {
    svc::SvcRecordReader reader;
    EXPECT_EQ(reader.feed("#0x0001#").step, SvcStep::StrayWord);
    EXPECT_EQ(reader.feed("#CMD#").step, SvcStep::RecordStart);
    EXPECT_TRUE(reader.inRecord());
    EXPECT_EQ(reader.feed("#0x0750#").step, SvcStep::ServiceCode);
    EXPECT_EQ(reader.feed("#0x0002#").step, SvcStep::WordCount);
    EXPECT_EQ(reader.feed("#0x0001#").dataWordNumber, 1);
    const svc::SvcLineEvent second = reader.feed("#0x2200#");
    EXPECT_EQ(second.step, SvcStep::DataWord);
    EXPECT_EQ(second.dataWordNumber, 2);
    EXPECT_EQ(second.value, 0x2200);
    EXPECT_EQ(reader.feed("#CMD#").step, SvcStep::RecordStart);
    reader.feed("#0x0711#");
    reader.feed("#0x0001#");
    EXPECT_EQ(reader.feed("#0x0000#").dataWordNumber, 1);
    EXPECT_EQ(reader.feed("").step, SvcStep::Separator);
    EXPECT_FALSE(reader.inRecord());
}

}  // namespace
