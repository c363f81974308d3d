#pragma once

// The InterBus-S service file (.SVC): records of 16-bit words written as text, one line each.
//
//   (empty line)      separator: any line without "#" ends the current record
//   #CMD#             starts a record (a new "#CMD#" also ends the one before)
//   #0x0307#          one word: the service code, then the word count, then the data words
//
// Readers accept upper- or lower-case digits and need no separators. The word count is not
// used to end a record: every word line up to the next separator or "#CMD#" is a data word; a
// decoder compares the two when the record ends.

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace svc {

enum class SvcLineKind {
    Separator,    // no "#" on the line
    RecordStart,  // token "CMD"
    Word,         // any other line with "#"
};

// One line cut by the token rule: the token runs from the line's second character up to the
// next "#" found from the second character on (or to the end of the line). A word's value is
// read from the token's third character on (the digits after "0x"), at most four characters.
struct SvcLine {
    SvcLineKind kind = SvcLineKind::Separator;
    uint16_t value = 0;  // leading hexadecimal digits of `digits`; 0 when there are none
    std::string digits;  // the (up to) four characters after "0x", as written in the file
};

SvcLine classifySvcLine(std::string_view line);

// True for a word line as the grammar writes it: "#0x", four hexadecimal digits of either case,
// "#", then nothing but blanks, tabs or carriage returns (invisible in an editor, and the token
// rule ends at the "#"). The token rule reads other lines with "#" too ("#0x1#" gives 1), but a
// decoder that takes them for words would decode a number nobody wrote.
bool isWellFormedWordLine(std::string_view line);

// The lines of a service file as the reader takes them: a line ends at a line feed, and the
// carriage returns before it are dropped (one in a CR LF file, more in a file whose line ends
// were converted twice). A UTF-8 byte-order mark that an editor put in front of the first line
// is dropped too; otherwise it would hide the first "#CMD#". Lines of any length are read whole.
class SvcLineSource {
  public:
    explicit SvcLineSource(std::istream& in) : in_(in) {}

    // False at the end of the input (or when it fails).
    bool next(std::string& line);

  private:
    std::istream& in_;
    bool atStart_ = true;
};

// What one line meant to the record being read.
enum class SvcStep {
    Separator,    // the record, if any, has ended
    RecordStart,  // "#CMD#": a new record begins
    ServiceCode,  // first word of the record
    WordCount,    // second word: the announced number of data words
    DataWord,     // a data word; `dataWordNumber` is 1 for the first one
    StrayWord,    // a word line outside any record: only echoed, never decoded
};

struct SvcLineEvent {
    SvcStep step = SvcStep::Separator;
    uint16_t value = 0;
    std::string digits;      // four-digit text of the word as written
    int dataWordNumber = 0;  // DataWord only; printed as index dataWordNumber + 2
};

// The record state machine that a decoder drives one line at a time, so that it can echo
// every line exactly as read while decoding the words of the current record.
class SvcRecordReader {
  public:
    SvcLineEvent feed(std::string_view line);

    bool inRecord() const { return state_ != State::Idle; }

  private:
    enum class State { Idle, ServiceCode, WordCount, DataWords };
    State state_ = State::Idle;
    int dataWordNumber_ = 0;
};

// A whole record, for callers that need the words rather than the line-by-line steps.
struct SvcRecord {
    bool hasServiceCode = false;
    uint16_t serviceCode = 0;
    std::string codeDigits;  // the service code's four-digit text as written
    bool hasWordCount = false;
    uint16_t wordCount = 0;  // as announced; need not match dataWords.size()
    std::vector<uint16_t> dataWords;
};

// Reads every record of a service file, its lines taken as SvcLineSource gives them. Word
// lines outside a record are skipped; an empty stream gives no records.
std::vector<SvcRecord> readSvcRecords(std::istream& in);

}  // namespace svc
