#pragma once

// XML files checked by real parsers: xmllint for well-formedness, and Python's ElementTree
// (Debian's /usr/bin/python3) to read values back.

#include <string>

namespace dtmrepo_test {

// xmllint's complaints about the file; empty when it is well-formed.
std::string xmlProblems(const std::string& path);

// The value of a Python expression over the parsed file: `root` is its root element, with the
// namespaces taken off the tag names so that paths read ".//vendorText/label".
std::string xmlQuery(const std::string& path, const std::string& expression);

}  // namespace dtmrepo_test
