#pragma once

// The first pass over the project file: which TSXIBY100 modules the configuration holds. A
// module is a "<moduleATS" line whose next line names the part number TSXIBY100, as the
// conversion loop recognises it; its address comes from the block's equipInfo line. A run
// converts one module and hands a second one to the second pass, so more than two are refused.

#include <string>
#include <string_view>
#include <vector>

#include "extractor/project/topo_address.h"

namespace extractor {

inline constexpr int maxModules = 2;

class ModuleSearch {
  public:
    void line(std::string_view text);

    // After the last line: a module block the file ends in without an address is an error too.
    void finish();

    // Every TSXIBY100 module block met, including any beyond the two with room in the table.
    int moduleCount() const { return moduleCount_; }
    const std::vector<ModuleAddress>& modules() const { return modules_; }
    // Empty while every module block read so far was sound.
    const std::string& error() const { return error_; }
    // The number of the first line that names TSXIBY100 anywhere, module block or not; 0 for
    // none. A project that names it only in another form is not told it has none.
    long firstNamingLine() const { return firstNamingLine_; }

  private:
    enum class Where { Outside, AfterModuleHeader, InModule };
    Where where_ = Where::Outside;
    bool addressSeen_ = false;
    std::vector<ModuleAddress> modules_;
    int moduleCount_ = 0;
    std::string error_;
    long lineNumber_ = 0;
    long firstNamingLine_ = 0;
};

// True for the line after "<moduleATS" that makes the block a TSXIBY100 module.
bool namesIby100Module(std::string_view line);

}  // namespace extractor
