#pragma once

// The state of one conversion loop over the project file: which part of the project the
// current line belongs to and what has been written so far. One struct per pass, so a second
// pass starts from nothing.

namespace extractor {

// The conversion state: which step handles the current line.
enum class LoopState {
    Copy = 0,
    ModuleHeader = 1,    // the line after the converted module's "<moduleATS" line
    InModule = 2,        // inside the converted module, before its address
    AfterAddress = 33,   // address read, configuration words next
    AfterWords = 3,      // configuration words read, "<paramKPW>" next
    NameLength = 4,      // the next value is the service file name's length
    NameCharacters = 5,  // one name character per value line
    WordCount = 6,       // the next value is the number of service words
    ServiceWords = 7,    // one service word per value line, then the rest of the block
    Declarations = 8,    // inside the data block
    Code = 9,            // program sections and animation tables
    MastTask = 10,       // inside the MAST task description
};

// The module-block state: whether the current line of a module block is written.
enum class BlockState {
    Copy = 0,
    ConvertedModule = 1,  // inside the converted module's block: nothing is written
    Drop = 2,             // the line was written already or leaves the project
};

struct ConversionState {
    LoopState state = LoopState::Copy;
    BlockState block = BlockState::Copy;
    bool moduleConverted = false;
    bool furtherModule = false;
};

}  // namespace extractor
