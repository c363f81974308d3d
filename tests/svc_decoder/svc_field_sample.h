#pragma once

// A service file as the commissioning tool writes it for a small plant, for the suites that
// damage it one line at a time and for the demo:
//   Initiate_Load_Configuration for 6 devices;
//   Load_Configuration of six devices on two bus segments with every attribute: 1.1 (2 input
//   words), 1.2 (1 output word), 1.3 (PCP, 1 word), 2.1 (2 words in and out, group 2,
//   alternative 3), 2.2 (PCP, 2 words), 2.3 (1 input word);
//   Terminate_Load_Configuration, Initiate_ and Terminate_Load_Process_Data_Reference_List:
//   records of no data words;
//   four Load_CRL_Attributes_Loc records for PCP nodes 2 (1.3) and 3 (2.2): Max PDU sending and
//   receiving, client services bytes 0 and 1;
//   a process-data description of 2.2;
//   references: inputs of 1.1 at 16#0200 and of 2.1 at 16#0204, outputs of 1.2 at 0 and of 2.1
//   at 2 (1 + 4 x 6 = 25 words);
//   Set_Value of the cycle time and the bus timeout, Activate_Configuration and
//   Start_Data_Transfer.

#include <string>
#include <vector>

#include "svc_builder.h"

namespace svc::testing {

std::vector<Record> fieldSampleRecords();

// The sample with one line lost, written twice or added, and what comes of it: `refusal` is the
// text the user is shown without the "(n) " in front, NAME standing for the file's name; or,
// when the file is read, `warning` is said in the listing and the closing box.
struct SampleDamage {
    const char* name;
    std::string text;
    std::string refusal;
    std::string warning;
};
std::vector<SampleDamage> fieldSampleDamages();

}  // namespace svc::testing
