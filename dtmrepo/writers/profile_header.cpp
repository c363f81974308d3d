// The flat profile's header, the bodies' common attributes and the first body's identity.

#include "dtmrepo/writers/profile_sections.h"
#include "dtmrepo/writers/profile_writer.h"
#include "dtmrepo/writers/xml_text.h"

namespace dtmrepo {

namespace {

std::string supportedLanguages(const DescriptionRecord& record) {
    std::string codes;
    for (int l = 1; l <= languageCount; ++l) {
        if (record.languageUsed[l]) {
            codes += (codes.empty() ? "" : " ") + std::string(languageCodes[l]);
        }
    }
    return codes.empty() ? "en-us" : codes;
}

}  // namespace

void writeProfileHeader(const DescriptionRecord& r, ProfileLines& out) {
    const std::string uri(profileNamespace);
    out.push_back("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    out.push_back(
        startTag("ISO15745Profile", {{"xmlns", uri},
                                     {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                                     {"xsi:schemaLocation", uri + " VadidadazUZI_V46.udi"}}));
    out.push_back("<ProfileHeader>");
    out.push_back(textElement("ProfileIdentification", r.profileIdentification));
    out.push_back(textElement("ProfileRevision", r.profileRevision));
    out.push_back(textElement("ProfileName", r.profileName));
    out.push_back(textElement("ProfileSource", r.profileSource));
    out.push_back("<ProfileClassID>Device</ProfileClassID>");
    out.insert(out.end(),
               {"<ISO15745Reference>", "<ISO15745Part>1</ISO15745Part>",
                "<ISO15745Edition>1</ISO15745Edition>",
                "<ProfileTechnology>EthernetIP</ProfileTechnology>", "</ISO15745Reference>"});
    out.push_back("</ProfileHeader>");
    out.push_back(startTag("ProfilesBody", {{"fileCreationDate", r.fileCreationDate},
                                            {"fileName", r.profileFileName},
                                            {"fileVersion", r.fileVersion},
                                            {"fileCreator", r.fileCreator}}));
    out.push_back(startTag("ProfileBody", {{"fileCreationDate", r.fileCreationDate},
                                           {"fileName", r.profileFileName},
                                           {"fileVersion", r.fileVersion},
                                           {"fileCreator", r.fileCreator},
                                           {"deviceClass", r.fileDeviceClass},
                                           {"supportedLanguages", supportedLanguages(r)},
                                           {"name", r.productFamily}}));
    out.push_back("<DeviceIdentity>");
    out.push_back(textElement("vendorName", r.vendorName));
    labelsElement(out, "vendorText", r.vendorText);
    labelsElement(out, "deviceFamily", r.deviceFamily);
    out.push_back("<productFamily>Partner</productFamily>");
    out.push_back(textElement("productName", r.productName));
    out.push_back(textElement("productID", r.productId));
    labelsElement(out, "productText", r.productText);
    out.push_back("<version versionType=\"SW\">" + xmlEscaped(r.swVersion) + "</version>");
    out.push_back("<version versionType=\"FW\">" + xmlEscaped(r.fwVersion) + "</version>");
    out.push_back("<version versionType=\"HW\">" + xmlEscaped(r.hwVersion) + "</version>");
    out.push_back("</DeviceIdentity>");
}

}  // namespace dtmrepo
