#include "dtmrepo/intake/preprocess.h"

#include "dtmrepo/intake/description_lines.h"
#include "dtmrepo/intake/generated_groups.h"
#include "dtmrepo/intake/keyword_lines.h"
#include "dtmrepo/intake/loop_expansion.h"
#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

namespace {

bool holds(const std::string& upper, std::string_view keyword) {
    return upper.find(keyword) != std::string::npos;
}

// Identifiers and versions become parts of file names: blanks and tabs at their end are
// not part of what the user meant.
std::string trimmedEnd(std::string text) {
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
}

// "02.10" is version 2.10; "0.5" stays, and a version of zeros keeps one.
std::string withoutLeadingZeros(std::string version) {
    if (version.size() >= 2 && version[0] == '0' && version[1] != '.') {
        size_t zeros = version.find_first_not_of('0');
        if (zeros == std::string::npos || version[zeros] == '.') {
            zeros = zeros == std::string::npos ? version.size() - 1 : zeros - 1;
        }
        version.erase(0, zeros);
    }
    return version;
}

class FirstPass {
  public:
    FirstPass(std::istream& in, const std::string& root, const std::string& revisionDate,
              CheckReport& report, const Trace& trace)
        : lines_(in, report, trace), revisionDate_(revisionDate), report_(report), trace_(trace) {
        result_.productIdentifier = root;
    }

    PreprocessResult run() {
        std::string line;
        while (!result_.stopped && lines_.next(line)) {
            if (!line.empty() && line.front() == '#') {
                continue;
            }
            handle(line);
            if (result_.configurationLines.size() + result_.ioLines.size() > maxExpandedLines) {
                stop("ERROR - the description expands to more than " +
                     std::to_string(maxExpandedLines) + " lines");
            }
        }
        if (lines_.isUtf16()) {
            stop(
                "ERROR - the file is saved as UTF-16 (\"Unicode\"): save it as UTF-8 or ANSI and "
                "install it again");
        }
        if (!result_.stopped) {
            writeIoStructureGroup(result_.ioLines, result_.configurationLines);
        }
        return std::move(result_);
    }

  private:
    void handle(std::string line) {
        const std::string upper = upperCase(line);
        if (ioPart_) {
            if (holds(upper, "VARLOOPSTART")) {
                expand(line, LoopKind::Variable, result_.ioLines);
            } else {
                result_.ioLines.push_back(line);
            }
            return;
        }
        if (holds(upper, "PARGACCESS,")) {
            ++depth_;
        }
        if (holds(upper, "ENDPARGROUP")) {
            --depth_;
            if (depth_ == 0) {
                // The line that closes the first top-level group goes nowhere: the generated
                // endParGroup after the I/O structure group takes its place.
                ioPart_ = true;
                return;
            }
        }
        if (holds(upper, "PRODUCTID,")) {
            productIdSeen_ = true;
            std::string identifier = trimmedEnd(keywordValue(line));
            if (swIncludeSeen_ && swSeen_) {
                identifier += "_v" + result_.swValue;
            }
            if (const size_t point = identifier.find('.'); point != std::string::npos) {
                identifier[point] = '_';
            }
            result_.productIdentifier = identifier;
            line = "ProductID,\t\t" + identifier;
        }
        if (holds(upper, "SW,")) {
            swSeen_ = true;
            result_.swValue = withoutLeadingZeros(trimmedEnd(keywordValue(line)));
        }
        if (holds(upper, "SWINCLUDE,")) {
            if (productIdSeen_ || swSeen_) {
                stop("ERROR - SWINCLUDE must be above ProductID and SW");
                return;
            }
            swIncludeSeen_ = true;
        }
        if (holds(upper, "APPLICATION CONFIGURATION")) {
            result_.configurationLines.push_back(line);
            writeInformationGroup({result_.productIdentifier, result_.swValue, revisionDate_},
                                  result_.configurationLines);
        } else if (holds(upper, "PARLOOPSTART")) {
            expand(line, LoopKind::Parameter, result_.configurationLines);
        } else if (holds(upper, "VARLOOPSTART")) {
            expand(line, LoopKind::Variable, result_.configurationLines);
        } else {
            result_.configurationLines.push_back(line);
        }
    }

    void expand(const std::string& header, LoopKind kind, std::vector<std::string>& target) {
        if (auto fault = expandLoop(header, kind, lines_, target)) {
            stop(*fault);
        }
    }

    void stop(const std::string& message) {
        result_.stopped = true;
        report_.text += "\r\n" + message;
        ++report_.errorCount;
        trace_.line(1, message);
    }

    DescriptionLines lines_;
    const std::string& revisionDate_;
    CheckReport& report_;
    const Trace& trace_;
    PreprocessResult result_;
    int depth_ = 0;
    bool ioPart_ = false;
    bool productIdSeen_ = false;
    bool swSeen_ = false;
    bool swIncludeSeen_ = false;
};

}  // namespace

PreprocessResult preprocessDescription(std::istream& description, const std::string& root,
                                       const std::string& revisionDate, CheckReport& report,
                                       const Trace& trace) {
    return FirstPass(description, root, revisionDate, report, trace).run();
}

}  // namespace dtmrepo
