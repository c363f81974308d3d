#include "extractor/templates/iby_request_statements.h"

#include "extractor/iby_template_set.h"
#include "svc/svc_exchange_text.h"

namespace extractor {
namespace {

// The messaging address "0.0.3{<ip>}<target>": the PMEDWL module forwards the request to the
// PCP device numbered by the last three digits.
std::string addressStatements(std::string_view ipName, std::string_view indent) {
    const std::string i(indent);
    return i + "(* Make the ADDMstring into the form '0.0.3{192.168.1.10}10' *)\n" + i +
           "ADDMstring := concat_str('0.0.3{', " + std::string(ipName) + ");\n" + i +
           "ADDMstring := concat_str(ADDMstring, '}');\n" + i +
           "ADDMstring := concat_str(ADDMstring, right_int(int_to_string(Target),3));\n";
}

// The management words of the replaced call: status and error codes cleared, a default
// time-out of 2 s, and the length to send.
std::string managementStatements(std::string_view transmitLength) {
    return "GEST[0] := 0;\t\t(* Zero the status *)\n"
           "GEST[1] := 0;\t\t(* Zero the Error Codes *)\n"
           "if GEST[2] = 0 then\n"
           "\tGEST[2] := 20;\t\t(* set the timeout in 100mS units *)\n"
           "end_if;\n"
           "GEST[3] := " +
           std::string(transmitLength) + ";\t\t(* set the TX length *)\n";
}

// The caller's data words after the request head; a byte count rounds up to whole words. The
// copy stops at the last word of Output_Data, so that a length beyond the buffer cannot halt
// the PLC on an index out of range; GEST[3] keeps the length the caller gave, so a request cut
// short is not passed on as whole.
std::string dataCopy(int firstWord, std::string_view source, std::string_view endIf) {
    constexpr int kLastBufferWord = 124;  // Output_Data is ARRAY[0..124] OF INT
    return "if ByteCount > 0 then\n"
           "\tfor dloop := 0 to MIN(((ByteCount+1)/2)-1, " +
           std::to_string(kLastBufferWord - firstWord) +
           ") do\t\t(* no word past Output_Data *)\n"
           "\t\tOutput_Data[" +
           std::to_string(firstWord) + " + dloop] := " + std::string(source) +
           "[dloop];\n"
           "\tend_for;\n" +
           std::string(endIf) + "\n";
}

// The PCP index as two words, high word first, then the subindex.
std::string indexWords(std::string_view buffer) {
    const std::string b(buffer);
    return b + "[1] := dint_to_int(shr(index,16));\n" + b + "[2] := dint_to_int(index);\n" + b +
           "[3] := subindex;\n";
}

// A route addresses a module by rack (low byte of word 2) and slot (high byte), with a zero
// low byte in word 3; its high byte is the PCP target.
std::string routeMatch(int module, std::string_view indexName) {
    const std::string n = std::to_string(module);
    return "if (Route[2] and 255) = IBY_Rack_" + n + " and AND(SHR(Route[2],8),255) = IBY_Slot_" +
           n + " and (Route[3] and 255) = 0 then\n\t" + std::string(indexName) + " := " + n +
           ";\n\ttarget := AND(SHR(Route[3],8),255);\n\tIBS_IP := IBS_IP" + n + ";\nend_if;\n";
}

}  // namespace

std::string ibyRequestStatements(IbyRequest request, std::string_view ipName) {
    switch (request) {
        case IbyRequest::sendReq:
            return addressStatements(ipName, "") +
                   "Modbus_Opcode := 16#7A;\t\t(* SEND_REQ *)\n"
                   "ByteCount := GEST[3];\n"
                   "Output_Data[0] := Modbus_Opcode;\n"
                   "Output_Data[1] := Request_Code;\n" +
                   dataCopy(2, "SendData", "end_if") + managementStatements("ByteCount + 4");
        case IbyRequest::readVar:
            return addressStatements(ipName, "  ") +
                   "Modbus_Opcode := 16#81;\t\t(* READ_VAR *)\n"
                   "EMIS[0] := Modbus_Opcode;\n" +
                   indexWords("EMIS") + managementStatements("8");
        case IbyRequest::writeVar:
            return addressStatements(ipName, "") +
                   "Modbus_Opcode := 16#82;\t\t(* WRITE_VAR *)\n"
                   "ByteCount := GEST[3];\n"
                   "Output_Data[0] := Modbus_Opcode;\n" +
                   indexWords("Output_Data") + dataCopy(4, "EMIS", "end_if;") +
                   managementStatements("ByteCount + 8");
    }
    return {};
}

std::string_view ibyRequestMarker(IbyRequest request, bool dynamic) {
    switch (request) {
        case IbyRequest::sendReq:
            return dynamic ? ibySendReqDynamicMarker : ibySendReqMarker;
        case IbyRequest::readVar:
            return ibyReadVarMarker;
        case IbyRequest::writeVar:
            return ibyWriteVarMarker;
    }
    return {};
}

std::string ibyDynamicRequestProgram(IbyRequest request, std::string_view indexName,
                                     std::string_view testName) {
    // A route that names both modules ends with the second; one that names neither leaves the
    // management words and buffers untouched.
    return std::string(indexName) + " := 0;\n" + routeMatch(1, indexName) +
           routeMatch(2, indexName) + "if " + std::string(testName) + " &gt; 0 then\n" +
           svc::indentedByTabs(ibyRequestStatements(request, "IBS_IP"), 1) + "\n" +
           std::string(ibyRequestMarker(request, true)) + "\n\nend_if;\n";
}

}  // namespace extractor
