#include "extractor/loop/assignment_sort.h"

#include <algorithm>
#include <string_view>

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

struct ListForm {
    std::string_view marker;
    std::string_view endMark;
    long lastWord;
    std::string_view label;
};

constexpr ListForm inputForm{".Inputs.IW[", ";", 241, " Inputs. "};
constexpr ListForm outputForm{".Outputs.QW[", ":=", 250, " Outputs."};
constexpr long lastBit = 15;

struct Placed {
    long word = 0;
    long bit = -1;  // -1: the whole word
    std::size_t order = 0;
};

// Where the line goes, or nothing for a line without the marker.
bool placeOf(std::string_view line, const ListForm& form, Placed& placed) {
    const std::size_t marker = line.find(form.marker);
    if (marker == std::string_view::npos) {
        return false;
    }
    const std::size_t wordStart = marker + form.marker.size();
    const std::size_t close = line.find(']', wordStart);
    const std::size_t wordEnd = close == std::string_view::npos ? line.size() : close;
    placed.word = leadingNumber(line.substr(wordStart, wordEnd - wordStart));
    placed.bit = -1;
    const std::size_t end = line.find(form.endMark, marker);
    if (close != std::string_view::npos && end != std::string_view::npos &&
        end > close + form.endMark.size()) {
        const std::size_t bitStart = close + 2;
        placed.bit = bitStart < end ? leadingNumber(line.substr(bitStart, end - bitStart)) : 0;
    }
    return true;
}

}  // namespace

SortedAssignments sortAssignments(const std::vector<std::string>& lines, AssignmentList list,
                                  std::ostream* console) {
    const ListForm& form = list == AssignmentList::Inputs ? inputForm : outputForm;
    SortedAssignments sorted;
    std::vector<Placed> placed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Placed place;
        place.order = i;
        if (!placeOf(lines[i], form, place)) {
            sorted.lines.push_back(lines[i]);
        } else if (place.word > form.lastWord || place.bit > lastBit) {
            sorted.warnings.push_back("  WARNING!!!!  No place for word " + decimal(place.word) +
                                      (place.bit >= 0 ? " bit " + decimal(place.bit) : "") +
                                      ", left out: " + lines[i]);
        } else {
            placed.push_back(place);
        }
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.word != b.word ? a.word < b.word : a.bit < b.bit;
    });
    for (const Placed& place : placed) {
        sorted.lines.push_back(lines[place.order]);
        if (console != nullptr) {
            *console << form.label << place.word;
            if (place.bit >= 0) {
                *console << '.' << place.bit;
            }
            *console << '\n';
        }
    }
    return sorted;
}

}  // namespace extractor
