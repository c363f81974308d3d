#pragma once

// The service file that Tamsel's suites and the demo decode, made from the record format:
//   Set_Indication and Initiate_Load_Configuration records;
//   five devices with every attribute: 1.1 (2 input words), 1.2 (1 output word), 1.3 (PCP,
//   1 word, PCP length 4), 2.1 (2 words in and out, group 2, alternative 3), 2.2 (bus terminal);
//   the PCP attributes of node 2 (device 1.3): Max PDU 64 sending and 128 receiving, client
//   services byte 0 16#90;
//   a process-data description of 1.3;
//   references: inputs of 1.1 at 16#0200 and of 2.1 at 16#0205, outputs of 1.2 at 0 and of 2.1
//   at 4, a word 16#C000 that opens no entry, and a direct link 1.3 to 1.2 with a three-byte
//   extension;
//   Set_Value with a one-word, a two-word (16#80000000) and a three-word variable, whose long
//   value keeps only its last 32 bits;
//   Activate_Configuration and Start_Data_Transfer.

#include <vector>

#include "svc_builder.h"

namespace loadcode::testing {

std::vector<svc::testing::Record> tamselSampleRecords();

}  // namespace loadcode::testing
