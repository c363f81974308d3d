#pragma once

// The names of the data types and function blocks the project defines (its DDTSource and
// FBSource elements), so the conversion writes the generated set only where the project lacks
// a name. Names are compared whole and, as the PLC compares them, whatever their letter case:
// T_IBY_DIO_OUTPUTS is not T_IBY_DIO_OUT.

#include <set>
#include <string>
#include <string_view>

namespace extractor {

class DefinedTypeNames {
  public:
    void line(std::string_view text);
    bool defines(std::string_view name) const;

  private:
    std::set<std::string, std::less<>> names_;  // in upper case
};

}  // namespace extractor
