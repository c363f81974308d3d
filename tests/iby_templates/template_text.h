#pragma once

// The printed template sets as lines, cut into their elements.

#include <map>
#include <string>
#include <vector>

#include "extractor/iby_template_set.h"

namespace iby_templates_testing {

using Lines = std::vector<std::string>;

Lines ibySetLines(const extractor::IbyModuleAddresses& modules = {});
Lines ibsSetLines();

struct Element {
    std::string name;  // the DDTName or nameOfFBType
    bool block = false;
    Lines lines;  // from the head line to the closing tag, both included
};

// The elements in print order; a line outside every element fails the current test.
std::vector<Element> elementsOf(const Lines& lines);

// The element named `name`; fails the current test when there is none.
Element elementNamed(const std::vector<Element>& elements, const std::string& name);

// The structured text of a block: the lines between "<STSource>" and "</STSource>".
Lines programOf(const Element& block);

// The variables of a section ("inputParameters", ...) as their opening lines; `present` tells
// whether the section is written at all.
struct Section {
    bool present = false;
    Lines variables;  // the `<variables ...>` lines of the section
};
Section sectionOf(const Element& block, const std::string& tag);

int countOf(const Lines& lines, const std::string& line);

// Runs a command line; its exit status and standard output.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

}  // namespace iby_templates_testing
