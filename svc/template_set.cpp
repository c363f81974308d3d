#include "svc/template_set.h"

namespace svc {

TemplateFunctionBlock stampedBlock(const TemplateVariant& variant, std::string name) {
    const TemplateStamp stamp = variant.stamp(name);
    TemplateFunctionBlock block;
    block.name = std::move(name);
    block.version = stamp.version;
    block.dateTime = stamp.dateTime;
    block.codeCheckSum = stamp.codeCheckSum;
    block.signatureCheckSum = stamp.signatureCheckSum;
    return block;
}

void printSharedTemplate(const TemplateLineSink& sink, SharedTemplate element,
                         const TemplateVariant& variant) {
    switch (element) {
        case SharedTemplate::layoutCrc:
            printTemplateFunctionBlock(sink, templateLayoutCrc(variant));
            return;
        case SharedTemplate::manage:
            printTemplateDataType(sink, templateManageType(variant));
            return;
        case SharedTemplate::configNode:
            printTemplateDataType(sink, templateConfigNodeType(variant));
            return;
        case SharedTemplate::mapEntry:
            printTemplateDataType(sink, templateMapEntryType(variant));
            return;
        case SharedTemplate::channel:
            printTemplateDataType(sink, templateChannelType(variant));
            return;
        case SharedTemplate::module:
            printTemplateDataType(sink, templateModuleType(variant));
            return;
        case SharedTemplate::device:
            printTemplateDataType(sink, templateDeviceType(variant));
            return;
        case SharedTemplate::deviceInput:
            printTemplateDataType(sink, templateDeviceInputType(variant));
            return;
        case SharedTemplate::deviceOutput:
            printTemplateDataType(sink, templateDeviceOutputType(variant));
            return;
        case SharedTemplate::layoutXfer:
            printTemplateFunctionBlock(sink, templateLayoutXfer(variant));
            return;
    }
}

}  // namespace svc
