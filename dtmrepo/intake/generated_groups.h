#pragma once

// The parameter groups that the intake adds to every configuration copy: the information
// variables after the "Application Configuration" line, and the I/O structure group that
// lists each input and output variable as a string for the DTM.

#include <string>
#include <vector>

namespace dtmrepo {

struct InformationValues {
    std::string fileName;        // the product identifier as known at that line
    std::string fileVersion;     // the SW value as known there (empty before any SW line)
    std::string utilityVersion;  // the program's revision date
};

void writeInformationGroup(const InformationValues& values, std::vector<std::string>& out);

// The I/O structure group for the lines of the I/O part, then the I/O part itself.
void writeIoStructureGroup(const std::vector<std::string>& ioLines, std::vector<std::string>& out);

}  // namespace dtmrepo
