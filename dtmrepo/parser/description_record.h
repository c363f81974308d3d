#pragma once

// DescriptionRecord: what one install command learns from a description file. The intake sets
// its defaults, the parser fills it line by line, and the profile writers, the conditional-
// behaviour source and the repository entry read it.

#include <array>
#include <bitset>
#include <string>
#include <vector>

#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

// Texts per language, indexed 1..6 by the language table (slot 0 is never used).
using LanguageTexts = std::array<std::string, languageCount + 1>;

// Sections: 0 holds the configuration variables, 1..8 the assemblies of that number (odd =
// input assemblies, data from the device; even = output assemblies).
inline constexpr int sectionCount = 9;
inline constexpr int maxEntriesPerSection = 1000;
inline constexpr int maxEnumValues = 255;
inline constexpr int maxParameterGroups = 100;
inline constexpr int maxGroupDepth = 100;
inline constexpr int maxAccessInNames = 1000;

// A value that the writer emits only when the file gave it.
struct GivenText {
    std::string text;
    bool given = false;
};

enum class AccessLink {
    None = 0,
    In = 1,   // varAccessIN: its value decides the access of the outputs
    Out = 2,  // varAccessOUT: its access follows the input
};

struct EnumValue {
    std::string value;
    LanguageTexts label;
};

struct VariableEntry {
    std::string varName;
    std::string varType;  // upper case, as written (also when not a known type)
    long long arrayStart = 0;
    long long arrayEnd = 0;  // above 0: an array ARRAY[arrayStart..arrayEnd]
    long long varByteSize = 0;
    std::string varLength;
    LanguageTexts varLabel;
    LanguageTexts varDesc;
    LanguageTexts varWarning;
    std::string varAddress;
    std::string varAccess;
    std::string varPersistent;
    GivenText varDefault;
    GivenText varLoLimit;
    GivenText varHiLimit;
    GivenText varUnit;
    std::string enumType;
    std::vector<EnumValue> enumValues;
    int varGroup = 0;  // the parameter group (1..) it was declared in, 0 for none
    AccessLink accessLink = AccessLink::None;
    std::string accessLinkName;

    bool isArray() const { return arrayEnd > 0; }
};

struct ParameterGroup {
    std::string name;
    std::string access;  // spelled as in groupAccessNames; empty when not given
    LanguageTexts label;
    // The depths at which an endParGroup closed this group while it was the newest one; the
    // writer closes one group element for each.
    std::bitset<maxGroupDepth + 1> endMarks;
};

struct DescriptionRecord {
    // Identity, file and product values.
    std::string allowMultipleVersions = "YES";
    std::string pmeNumber = "PMEKRT0302";
    std::string profileFileName;
    std::string fileVersion = "1.0";
    std::string fileCreator = "TVQDTMUTIL";
    std::string fileModifiedBy = "TVQTMUTIL";
    std::string fileCreationDate;
    std::string fileModificationDate;
    std::string creationTime;
    std::string fileModName = "Partner";
    std::string fileDeviceClass = "configurable";
    std::string typeIdRef = "PMEKRT";
    std::string profileIdentification = "BME PME KRT 0302";
    std::string profileName;
    std::string profileRevision = "1.0";
    std::string profileSource = "Calvento PTK Util";
    std::string profileClassId;
    std::string authorName = "Calvento";
    std::string vendorName = "Calvento";
    LanguageTexts vendorText{"", "Calvento"};
    LanguageTexts deviceFamily{"", "Module"};
    LanguageTexts productText;
    std::string minCompiler;
    std::string imageLarge = "pmekrt.jpg";
    std::string imageSmall = "pmekrtsmall.ico";
    std::string imageIcon = "pmekrt.ico";
    std::string companyLogo = "tvqlogo.jpg";
    std::string imageCompanyIcon = "tvq.ico";
    std::string cappLogo = "TechnologyApproved.jpg";
    std::string productFamily = "PTK";
    std::string productName = "PMEKRT0302";
    std::string productId;
    std::string swInclude = "NO";
    bool swIncludeFlag = false;
    std::string swVersion = "UNKNOWN";
    std::string fwVersion = "01.00";
    std::string hwVersion = "01.00";
    std::string utilityVersion;  // the program's revision date

    // Languages with at least one text; en-us always.
    std::array<bool, languageCount + 1> languageUsed{false, true};

    // Parameter groups 1..parGroupCount() in file order (group g is parGroups[g - 1]).
    std::vector<ParameterGroup> parGroups;
    int parGroupCount() const { return static_cast<int>(parGroups.size()); }

    // Assemblies 1..8 (index 0 takes values given while no assembly was selected).
    std::array<long long, sectionCount> assemblyPathValue{};
    std::array<std::string, sectionCount> assemblyPathHex;
    std::array<long long, sectionCount> defaultRpi{0, 10, 10, 50, 50, 100, 100, 300, 300};
    std::array<long long, sectionCount> minRpi{0, 4, 4, 4, 4, 20, 20, 40, 40};
    std::array<long long, sectionCount> maxRpi{0, 500, 500, 500, 500, 500, 500, 500, 500};
    std::array<long long, sectionCount> assemblyByteCount{};

    // Variable entries per section, in file order (entry i is sections[s][i - 1]).
    std::array<std::vector<VariableEntry>, sectionCount> sections;
    int entryCount(int section) const { return static_cast<int>(sections[section].size()); }

    // The varAccessIN names in order: one conditional-behaviour method each.
    std::vector<std::string> accessInNames;
    int enumValueTotal = 0;

    // The install's byte counts: inputs are the odd assemblies, outputs the even ones.
    long long inputByteCount() const;
    long long outputByteCount() const;
};

}  // namespace dtmrepo
