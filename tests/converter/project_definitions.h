#pragma once

// Whether a converted project can build, as far as its names go, read by a real XML parser
// (project_definitions.py, with Python's ElementTree): every type it uses is defined once, or
// is a library type the project it was made from already used; every name is declared once in
// its scope; every block instance its code calls is declared.

#include <filesystem>
#include <string>
#include <vector>

namespace m580_test {

// One line per fault of `converted` (a unitpro.xef text), judged against `original`, the
// project file it was made from; empty when there is none. `library`: procedures the
// conversion itself calls without an instance (DATA_EXCH). Files go to `scratch`.
std::vector<std::string> definitionFaults(const std::string& converted, const std::string& original,
                                          const std::filesystem::path& scratch,
                                          const std::vector<std::string>& library = {});

// The faults of `converted` that `original` did not have already, its own faults read with the
// IBY_ names that Vornick renames under their IBS_ names: what a conversion added.
std::vector<std::string> addedDefinitionFaults(const std::string& converted,
                                               const std::string& original,
                                               const std::filesystem::path& scratch,
                                               const std::vector<std::string>& library = {});

}  // namespace m580_test
