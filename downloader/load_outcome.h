#pragma once

#include <cstdint>
#include <string>

#include "downloader/load_job.h"

// How a load ends for the user and for the log: every run's outcome is logged (the words loaded,
// the failure with the state it left the channel in, or the Cancel), and a load that did not
// succeed says what the channel and its program are left in.

// A load begins: nothing has ended it yet.
void BeginLoadOutcome();

// The failure that ends the load, told once the load has ended, together with what it left the
// channel in. Only the first failure of a load counts: later ones follow from it.
void NoteLoadFailure(const std::string& text);

// What the user has already been told that ended the load (a refusal, or a question answered
// No): the log records it when no failure is still to be told.
void NoteToldEnding(const std::string& ending);
// The same for the answer ("No", "Cancel") to a question that ended the load.
void NoteEndingAnswer(const std::string& question, const char* answer);

// Refuses the load before anything was changed: a "VEXIM Error" box at once, logged at the end.
void RefuseLoad(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The end of a load that did not succeed. After a failure or a No that left nothing erased or
// written, the program this load stopped is started again. Then the failure still to be told is
// shown with the state of the channel (after Cancel, the state alone), and the outcome is logged.
void EndUnsuccessfulLoad(const ChannelChanges& changes);

// The final status line of a successful load: "%d words loaded successfully.", or for an erase
// without a load "Application space %s erased."; a module without auto start adds the warning and
// says that the program is stopped and must be started by hand.
std::string FinalStatus(uint32_t wordsLoaded, const ChannelChanges& changes);
