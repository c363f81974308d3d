#pragma once

// What the repository tree shows of an installed profile: its assemblies with their paths,
// intervals and sizes, and the members of each assembly with type, address and size. The
// profile is read as text, line by line, keying on the element starts the profile writer
// puts on lines of their own.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace dtmrepo {

inline constexpr int summaryAssemblies = 8;
inline constexpr size_t summaryCapacity = 1000;  // members, variables, array types

struct AssemblyMember {
    std::string parameterName;  // "P_" + variable name + "_ID"
    std::string assemblyName;   // "Assem01" ...
    std::string type;
    long long byteCount = 0;
    std::string address;
};

struct ProfileSummary {
    std::array<long long, 11> assemblyPath{};  // by assembly number 1..10
    std::array<std::string, 10> rpi;           // by RPI parameter number 1..9
    std::array<long long, summaryAssemblies + 1> assemblySize{};
    std::vector<AssemblyMember> members;
};

class ProfileScanner {
  public:
    void line(std::string_view text);
    const ProfileSummary& summary() const { return summary_; }

  private:
    struct Variable {
        std::string name;  // its uniqueID
        std::string sizeText;
        std::string type;
        long long byteCount = 0;
    };
    struct ArrayType {
        std::string identifier;
        long long start = 0, end = 0;
        std::string elementType;
        long long elementSize = 0;
    };

    ProfileSummary summary_;
    int nextPathAssembly_ = 1;
    bool inAssemblyList_ = false;
    bool inRpiReference_ = false;
    std::vector<std::string> rpiNames_;
    int currentRpi_ = 0;
    std::string currentAssembly_;
    std::vector<ArrayType> arrays_;
    bool arrayOpen_ = false;
    bool subrangeSeen_ = false;
    bool inVariableList_ = false;
    std::vector<Variable> variables_;
    int currentMember_ = -1;  // index into the members, -1 for none
};

}  // namespace dtmrepo
