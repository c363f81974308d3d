#pragma once

// The assignment lists sorted for the IN and OUT sections: first the lines that address no
// process-data word (status and command words), in their order; then by word number, each
// word's whole-word lines before its bit lines, bits in increasing order, lines of one place in
// their order. A word or bit with no place in the PLC array is reported, not sorted in.

#include <ostream>
#include <string>
#include <vector>

namespace extractor {

enum class AssignmentList { Inputs, Outputs };

struct SortedAssignments {
    std::vector<std::string> lines;
    std::vector<std::string> warnings;  // for the results file
};

// `console`, when given, gets a line for every word and bit placed (" Inputs. 5", " Inputs. 5.3").
SortedAssignments sortAssignments(const std::vector<std::string>& lines, AssignmentList list,
                                  std::ostream* console);

}  // namespace extractor
