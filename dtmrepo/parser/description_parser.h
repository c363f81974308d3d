#pragma once

// The description-file parser: reads the preprocessed configuration copy line by line,
// dispatches each line on its keyword, fills the DescriptionRecord and checks every value.
// Every line is read and every fault reported; the error count decides later.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "dtmrepo/parser/check_report.h"
#include "dtmrepo/parser/description_record.h"
#include "dtmrepo/parser/line_fields.h"
#include "dtmrepo/trace.h"

namespace dtmrepo {

inline constexpr int maxVariableNames = 5001;
inline constexpr long long maxLoopSpan = 500;  // a loop runs at most 501 indexes

// What the parser carries from line to line besides the record.
struct ParserState {
    int descLineNumber = 0;
    int parGroupDepth = 0;
    int currentAssembly = 0;  // the last accepted assemblyID
    long long assemblyOffset = 0;
    int entryAssembly = 0;  // the section the variable keywords fill
    long long stringLength = 0;
    long long elementCount = 0;
    long long nextAddress = 1000;
    std::unordered_set<std::string> allVarNames;  // every accepted name, compared exactly
    bool loopOpen = false;
    long long loopStart = 0;
    long long loopEnd = 0;
};

class DescriptionParser {
  public:
    // `revisionDate` is the program's ("16OCT2019"), `today` yyyy-mm-dd.
    DescriptionParser(DescriptionRecord& record, CheckReport& report, const Trace& trace,
                      std::string revisionDate, std::string today);

    // One physical line of the configuration copy (comment lines included: they are counted).
    void readLine(std::string_view line);
    // The closing checks after the last line.
    void finish();

    const ParserState& state() const { return state_; }

  private:
    // A keyword either runs its action or, without one, stores V1 in its record field.
    struct Keyword {
        std::string_view name;
        void (DescriptionParser::*action)() = nullptr;
        std::string DescriptionRecord::*field = nullptr;
    };
    static const std::vector<Keyword>& keywordTable();

    // The line being read.
    const std::string& V1() const { return line_.field(1); }
    const std::string& V2() const { return line_.field(2); }
    const std::string& V3() const { return line_.field(3); }
    std::string onLine() const;                            // "   on line " + N
    std::string currentState() const;                      // "   Currentstate=" + entryAssembly
    std::string notANumber(std::string_view value) const;  // "'v' <> 'canon'"

    // Identity and product values.
    void setAllowMultipleVersions();
    void setFileCreator();
    void setFileCreationDate();
    void setFileModifiedDate();
    void setVendorText();
    void setDeviceFamily();
    void setProductText();
    void checkMinCompiler();
    void setProductId();
    void setSwInclude();

    // Parameter groups and assemblies.
    void openParGroup();
    void setParGroupAccess();
    void setParGroupLabel();
    void closeParGroup();
    void selectAssembly();
    void setAssemblyPath();
    void setDefaultRpi();
    void setMinRpi();
    void setMaxRpi();
    void setRpi(std::array<long long, sectionCount>& table, std::string_view name);

    // Variable entries.
    void startLoop();
    void endLoop();
    void heading();
    void setLength();
    void setType();
    void setName();
    void setLabel();
    void setDescription();
    void setEnumType();
    void addEnumValue();
    void setEnumLabel();
    void setWarningText();
    void setAddress();
    void setAccess();
    void setAccessIn();
    void setAccessOut();
    void setDefault();
    void setLowLimit();
    void setHighLimit();
    void setUnit();
    void setPersistent();

    // Stores V2 in `target`[language of V1], as every language-keyed line does; the messages
    // name the keyword as the user knows it. False when the language is not supported.
    struct LanguageMessages {
        std::string_view wrongOrder;    // e.g. "'vendorText' language in wrong order!"
        std::string_view notSupported;  // e.g. "'vendorText' language not supported!"
        bool wrongOrderAfterReturn = false;
        bool notSupportedAfterReturn = false;
        bool notSupportedWithState = false;
    };
    bool storeLanguageText(LanguageTexts& target, const LanguageMessages& messages);

    // The entries the variable keywords address: the newest one, or one per index of an open
    // loop. Null (and reported once per line) when the section has no such entry yet.
    VariableEntry* entryForIndex(long long index);
    void forEachIndex(const std::function<void(VariableEntry&, long long index)>& action);
    void createEntry();
    void giveAutomaticAddress(VariableEntry& entry);

    void error(std::string_view body) { report_.error(body, trace_); }
    void errorAfterReturn(std::string_view body) { report_.errorAfterReturn(body, trace_); }
    void warning(std::string_view body) { report_.warning(body, trace_); }

    DescriptionRecord& record_;
    CheckReport& report_;
    const Trace& trace_;
    std::string revisionDate_;
    std::string today_;
    ParserState state_;
    LineFields line_;
    bool missingEntryReported_ = false;
};

}  // namespace dtmrepo
