// The communication blocks that replace SEND_REQ, READ_VAR and WRITE_VAR: each builds the
// messaging address and the request words for the PMEDWL module and prepares the management
// words; the exchange call itself is inserted at the marker line when the project moves to the
// PMEDWL module.

#include "extractor/templates/iby_blocks.h"
#include "extractor/templates/iby_request_statements.h"

namespace extractor {
namespace {

using svc::templateInitialised;
using svc::templateLocal;
using svc::templatePin;
using svc::TemplateVariable;

constexpr const char* kAnyArrayInt = "ANY_ARRAY_INT";
constexpr const char* kRoute = "ARRAY[0..5] OF INT";
constexpr const char* kBuffer = "ARRAY[0..124] OF INT";
constexpr const char* kWriteReply = "ARRAY[0..124] of INT";

svc::TemplateFunctionBlock requestBlock(const svc::TemplateVariant& variant, const char* name,
                                        const char* section, std::string programText) {
    svc::TemplateFunctionBlock block = svc::stampedBlock(variant, variant.name(name));
    block.programName = section;
    block.programText = std::move(programText);
    return block;
}

std::string staticProgram(IbyRequest request) {
    return ibyRequestStatements(request, "IBSIP") + std::string(ibyRequestMarker(request, false)) +
           "\n";
}

// The module table and the IP placeholders by which a dynamic block finds the module that a
// route names.
std::vector<TemplateVariable> moduleSelection(const IbyModuleAddresses& modules) {
    return {templateInitialised("IBY_Rack_1", "INT", std::to_string(modules.rack1)),
            templateInitialised("IBY_Slot_1", "INT", std::to_string(modules.slot1)),
            templateInitialised("IBY_Rack_2", "INT", std::to_string(modules.rack2)),
            templateInitialised("IBY_Slot_2", "INT", std::to_string(modules.slot2)),
            templateLocal("IBS_IP", "string"),
            templateInitialised("IBS_IP1", "string", std::string(ibyModuleIpPlaceholder1)),
            templateInitialised("IBS_IP2", "string", std::string(ibyModuleIpPlaceholder2))};
}

std::vector<TemplateVariable> ints(std::initializer_list<const char*> names) {
    std::vector<TemplateVariable> variables;
    for (const char* name : names) {
        variables.push_back(templateLocal(name, "INT"));
    }
    return variables;
}

std::vector<TemplateVariable> joined(std::initializer_list<std::vector<TemplateVariable>> parts) {
    std::vector<TemplateVariable> variables;
    for (const std::vector<TemplateVariable>& part : parts) {
        variables.insert(variables.end(), part.begin(), part.end());
    }
    return variables;
}

}  // namespace

svc::TemplateFunctionBlock ibySendReqDynamicBlock(const svc::TemplateVariant& variant,
                                                  const IbyModuleAddresses& modules) {
    svc::TemplateFunctionBlock block =
        requestBlock(variant, "SEND_REQ_DYNAMIC", "Do_the_Send_Req",
                     ibyDynamicRequestProgram(IbyRequest::sendReq, "index", "Index"));
    block.inputParameters = {templatePin("Route", kRoute, 1), templatePin("Request_Code", "INT", 2),
                             templatePin("SendData", kAnyArrayInt, 3)};
    block.inOutParameters = {templatePin("GEST", kAnyArrayInt, 4),
                             templatePin("RECP", kAnyArrayInt, 5)};
    block.publicLocals = joined({moduleSelection(modules),
                                 {templateLocal("ADDMstring", "string[32]")},
                                 ints({"Modbus_Opcode", "ByteCount", "dloop", "Target", "Index"}),
                                 {templateLocal("Output_Data", kBuffer)}});
    return block;
}

svc::TemplateFunctionBlock ibySendReqBlock(const svc::TemplateVariant& variant) {
    svc::TemplateFunctionBlock block =
        requestBlock(variant, "SEND_REQ", "Do_The_Send_Req", staticProgram(IbyRequest::sendReq));
    // The data pin stands before the request code although it is the fourth pin.
    block.inputParameters = {templatePin("Target", "INT", 1), templatePin("IBSIP", "STRING", 2),
                             templatePin("SendData", kAnyArrayInt, 4),
                             templatePin("Request_Code", "INT", 3)};
    block.inOutParameters = {templatePin("GEST", kAnyArrayInt, 5),
                             templatePin("RECP", kAnyArrayInt, 6)};
    block.publicLocals = joined({{templateLocal("ADDMstring", "string[32]")},
                                 ints({"Modbus_Opcode", "ByteCount", "dloop"}),
                                 {templateLocal("Output_Data", kBuffer)}});
    return block;
}

svc::TemplateFunctionBlock ibyReadVarBlock(const svc::TemplateVariant& variant) {
    svc::TemplateFunctionBlock block =
        requestBlock(variant, "READ_VAR", "Do_The_READ_VAR", staticProgram(IbyRequest::readVar));
    block.inputParameters = {templatePin("Target", "INT", 1, "PCP target"),
                             templatePin("IBSIP", "STRING", 2), templatePin("Index", "DINT", 3),
                             templatePin("SubIndex", "INT", 4)};
    block.inOutParameters = {templatePin("GEST", kAnyArrayInt, 5)};
    block.outputParameters = {templatePin("RECP", kAnyArrayInt, 1)};
    block.publicLocals = {templateLocal("ADDMstring", "string[32]"), templateLocal("EMIS", kBuffer),
                          templateLocal("Modbus_Opcode", "INT")};
    return block;
}

svc::TemplateFunctionBlock ibyReadVarDynamicBlock(const svc::TemplateVariant& variant,
                                                  const IbyModuleAddresses& modules) {
    svc::TemplateFunctionBlock block =
        requestBlock(variant, "READ_VAR_DYNAMIC", "Do_The_READ_VAR",
                     ibyDynamicRequestProgram(IbyRequest::readVar, "Tindex", "Tindex"));
    block.inputParameters = {templatePin("Route", kRoute, 1), templatePin("Index", "DINT", 2),
                             templatePin("SubIndex", "INT", 3)};
    block.inOutParameters = {templatePin("GEST", kAnyArrayInt, 4),
                             templatePin("RECP", kAnyArrayInt, 5)};
    block.publicLocals =
        joined({moduleSelection(modules),
                ints({"ByteCount", "dloop", "Target"}),
                {templateLocal("Output_Data", kBuffer), templateLocal("ADDMstring", "string[32]"),
                 templateLocal("EMIS", kBuffer)},
                ints({"Modbus_Opcode", "TIndex"})});
    return block;
}

svc::TemplateFunctionBlock ibyWriteVarBlock(const svc::TemplateVariant& variant) {
    svc::TemplateFunctionBlock block =
        requestBlock(variant, "WRITE_VAR", "Do_The_WRITE_VAR", staticProgram(IbyRequest::writeVar));
    block.inputParameters = {templatePin("Target", "INT", 1, "PCP target"),
                             templatePin("IBSIP", "STRING", 2), templatePin("Index", "DINT", 3),
                             templatePin("SubIndex", "INT", 4),
                             templatePin("EMIS", kAnyArrayInt, 5)};
    block.inOutParameters = {templatePin("GEST", kAnyArrayInt, 6),
                             templatePin("RECP", kWriteReply, 7)};
    // EMIS is the caller's data pin: the request is built in Output_Data.
    block.publicLocals = joined({{templateLocal("ADDMstring", "string[32]")},
                                 ints({"Modbus_Opcode", "ByteCount", "dloop"}),
                                 {templateLocal("Output_Data", kBuffer)}});
    block.blankLineBeforeProgram = true;
    return block;
}

svc::TemplateFunctionBlock ibyWriteVarDynamicBlock(const svc::TemplateVariant& variant,
                                                   const IbyModuleAddresses& modules) {
    svc::TemplateFunctionBlock block =
        requestBlock(variant, "WRITE_VAR_DYNAMIC", "Do_The_WRITE_VAR",
                     ibyDynamicRequestProgram(IbyRequest::writeVar, "TIndex", "TIndex"));
    block.inputParameters = {templatePin("Route", kRoute, 1), templatePin("Index", "DINT", 2),
                             templatePin("SubIndex", "INT", 3),
                             templatePin("EMIS", kAnyArrayInt, 4)};
    block.inOutParameters = {templatePin("GEST", kAnyArrayInt, 5),
                             templatePin("RECP", kWriteReply, 6)};
    block.publicLocals = joined({moduleSelection(modules),
                                 {templateLocal("ADDMstring", "string[32]")},
                                 ints({"Modbus_Opcode", "ByteCount", "dloop", "Target", "TIndex"}),
                                 {templateLocal("Output_Data", kBuffer)}});
    block.blankLineBeforeProgram = true;
    return block;
}

}  // namespace extractor
