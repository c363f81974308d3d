#pragma once

// The project's derived data types as the declaration rewrite needs them: for each type its
// first member and how many members it has. Collected while the census reads the file, so the
// declarations need no further pass over the project.

#include <map>
#include <string>
#include <string_view>

namespace extractor {

struct DerivedType {
    std::string firstMemberName;
    std::string firstMemberType;
    int members = 0;
};

class DerivedTypeCatalogue {
  public:
    void line(std::string_view text);
    // The type of that exact name, or null.
    const DerivedType* find(std::string_view name) const;

  private:
    std::map<std::string, DerivedType, std::less<>> types_;
    DerivedType* open_ = nullptr;
};

}  // namespace extractor
