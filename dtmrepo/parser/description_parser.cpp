#include "dtmrepo/parser/description_parser.h"

#include "dtmrepo/parser/number_text.h"

namespace dtmrepo {

DescriptionParser::DescriptionParser(DescriptionRecord& record, CheckReport& report,
                                     const Trace& trace, std::string revisionDate,
                                     std::string today)
    : record_(record),
      report_(report),
      trace_(trace),
      revisionDate_(std::move(revisionDate)),
      today_(std::move(today)) {}

const std::vector<DescriptionParser::Keyword>& DescriptionParser::keywordTable() {
    using P = DescriptionParser;
    using R = DescriptionRecord;
    static const std::vector<Keyword> table = {
        {"ALLOWMULTIPLEVERSIONS", &P::setAllowMultipleVersions},
        {"PMENUMBER", nullptr, &R::pmeNumber},
        {"FILENAME", nullptr, &R::profileFileName},
        {"FILEVERSION", nullptr, &R::fileVersion},
        {"FILECREATOR", &P::setFileCreator},
        {"FILEMODIFIEDBY", nullptr, &R::fileModifiedBy},
        {"FILECREATIONDATE", &P::setFileCreationDate},
        {"FILEMODIFIEDDATE", &P::setFileModifiedDate},
        {"FILEMODNAME", nullptr, &R::fileModName},
        {"FILEDEVICECLASS", nullptr, &R::fileDeviceClass},
        {"TYPEIDREF", nullptr, &R::typeIdRef},
        {"PROFILEIDENTIFICATION", nullptr, &R::profileIdentification},
        {"PROFILENAME", nullptr, &R::profileName},
        {"PROFILEREVISION", nullptr, &R::profileRevision},
        {"PROFILESOURCE", nullptr, &R::profileSource},
        {"PROFILECLASSID", nullptr, &R::profileClassId},
        {"AUTHORNAME", nullptr, &R::authorName},
        {"VENDORNAME", nullptr, &R::vendorName},
        {"VENDORTEXT", &P::setVendorText},
        {"DEVICEFAMILY", &P::setDeviceFamily},
        {"MINCOMPILER", &P::checkMinCompiler},
        {"IMAGELARGE", nullptr, &R::imageLarge},
        {"IMAGESMALL", nullptr, &R::imageSmall},
        {"IMAGEICON", nullptr, &R::imageIcon},
        {"COMPANYLOGO", nullptr, &R::companyLogo},
        {"IMAGECOMPANYICON", nullptr, &R::imageCompanyIcon},
        {"CAPPLOGO", nullptr, &R::cappLogo},
        {"PRODUCTFAMILY", nullptr, &R::productFamily},
        {"PRODUCTNAME", nullptr, &R::productName},
        {"PRODUCTID", &P::setProductId},
        {"PRODUCTTEXT", &P::setProductText},
        {"SWINCLUDE", &P::setSwInclude},
        {"SW", nullptr, &R::swVersion},
        {"FW", nullptr, &R::fwVersion},
        {"HW", nullptr, &R::hwVersion},
        {"PARGROUP", &P::openParGroup},
        {"PARGACCESS", &P::setParGroupAccess},
        {"PARGLABL", &P::setParGroupLabel},
        {"ENDPARGROUP", &P::closeParGroup},
        {"ASSEMBLYID", &P::selectAssembly},
        {"ASSEMBLYPATH", &P::setAssemblyPath},
        {"ASSEMBLYDEFAULTRPI", &P::setDefaultRpi},
        {"ASSEMBLYMINRPI", &P::setMinRpi},
        {"ASSEMBLYMAXRPI", &P::setMaxRpi},
        {"VARLOOPSTART", &P::startLoop},
        {"VARLOOPEND", &P::endLoop},
        {"VARHEADING", &P::heading},
        {"VARLENGTH", &P::setLength},
        {"VARTYPE", &P::setType},
        {"VARNAME", &P::setName},
        {"VARLABEL", &P::setLabel},
        {"VARDESC", &P::setDescription},
        {"VARENUMTYPE", &P::setEnumType},
        {"VARENUMVALUE", &P::addEnumValue},
        {"VARENUMLABEL", &P::setEnumLabel},
        {"VARWARNING", &P::setWarningText},
        {"VARADDRESS", &P::setAddress},
        {"VARACCESS", &P::setAccess},
        {"VARACCESSIN", &P::setAccessIn},
        {"VARACCESSOUT", &P::setAccessOut},
        {"VARDEFAULT", &P::setDefault},
        {"VARLOWLIMIT", &P::setLowLimit},
        {"VARHILIMIT", &P::setHighLimit},
        {"VARUNIT", &P::setUnit},
        {"VARPERSISTENT", &P::setPersistent},
    };
    return table;
}

std::string DescriptionParser::onLine() const {
    return "   on line " + decimal(state_.descLineNumber);
}

std::string DescriptionParser::currentState() const {
    return "   Currentstate=" + decimal(state_.entryAssembly);
}

std::string DescriptionParser::notANumber(std::string_view value) const {
    return "'" + std::string(value) + "' <> '" + canonicalOf(value) + "'";
}

void DescriptionParser::readLine(std::string_view text) {
    ++state_.descLineNumber;
    trace_.line(1, "'" + std::string(text) + "'");
    if (!text.empty() && text.front() == '#') {
        return;
    }
    line_ = splitLine(text);
    if (line_.tooManyFields) {
        error("more than " + decimal(maxLineFields) + " fields, line left out!     on line " +
              decimal(state_.descLineNumber));
        return;
    }
    if (line_.keyword.empty()) {
        return;
    }
    missingEntryReported_ = false;
    const Keyword* found = nullptr;
    for (const Keyword& keyword : keywordTable()) {
        if (keyword.name == line_.keyword) {
            found = &keyword;
            break;
        }
    }
    if (found == nullptr) {
        error("'Unknown' command  '" + line_.field(0) + "'" + onLine());
    } else if (found->action != nullptr) {
        (this->*found->action)();
    } else {
        record_.*(found->field) = V1();
    }
    if (!line_.field(0).empty() && line_.field(1).empty() && line_.keyword != "VARLOOPEND") {
        warning(" command  '" + line_.field(0) + "' has an empty value on line " +
                decimal(state_.descLineNumber));
    }
}

void DescriptionParser::finish() {
    if (state_.parGroupDepth != 0) {
        error("'ParGroupNest' = " + decimal(state_.parGroupDepth) +
              "  This must equal zero!     Check for matched sets of ParGroup and EndParGroup.");
    }
    if (state_.currentAssembly == 0) {
        error("'AssmblyID = 0'  Not Defined!");
    }
    if (record_.assemblyPathHex[1].empty()) {
        error("'AssmblyPathValue(1) = 0'  Not Defined!");
    }
}

}  // namespace dtmrepo
