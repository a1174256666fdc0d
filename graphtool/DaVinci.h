// The link to daVinci: a child process started as "daVinci -pipe" (found
// through PATH), driven over two pipes, one command line out and answer lines
// in until daVinci acknowledges with "ok".
//
// Calling order: startDaVinci once, any number of sendCmd, stopDaVinci once.
// Every failure ends the run (a JoxError), rendered as an input/output
// failure: its kind on the first line, then "Operation: ...", "Stream: ..."
// where the failure has them, and "Reason: " with its text:
//   "failed\nReason: getOk: daVinci terminated"
//   "failed\nReason: getOk: \"bad\""              (communication_error("bad"))
//   "failed\nReason: malformed daVinci reply 'ok '"
//   "end of file\nOperation: read line\nStream: daVinci answers\n"
//     "Reason: no more answers from daVinci"
// A command written after daVinci has gone fails with the write error
//   "resource vanished\nOperation: write line\nStream: daVinci commands\n"
//   "Reason: Broken pipe"
// (startDaVinci makes the process ignore SIGPIPE), never with a silent death
// by signal.  No end of the link ever sits on descriptor 0, 1 or 2, also when
// the process started with some of them closed.
#pragma once

#include <sys/types.h>

#include <cstdio>

#include "graphtool/DaVinciTypes.h"

namespace jox {

using dv::DaVinciAnswer;
using dv::DaVinciCmd;

// One open link.  Callers hold it and pass it back; only the operations
// below look inside.  It is closed by stopDaVinci and by nothing else.
class DaVinciProcess {
public:
    DaVinciProcess() = default;

private:
    friend DaVinciProcess startDaVinci(bool trace);
    friend void sendCmd(DaVinciProcess& link, const DaVinciCmd& cmd);
    friend DaVinciAnswer receiveAnswer(DaVinciProcess& link);
    friend void stopDaVinci(DaVinciProcess& link);
    friend void getOk(DaVinciProcess& link);

    pid_t child_ = -1;           // kept, never signalled nor waited for
    std::FILE* answers_ = nullptr;   // reads daVinci's standard output
    std::FILE* commands_ = nullptr;  // writes daVinci's standard input
    bool trace_ = false;             // echo commands, answers and the stop on stderr
};

// Starts daVinci and waits for its first "ok" (other answers are dropped).
// When "daVinci" cannot be executed the child reports that on the shared
// standard error and exits 1; this side then fails at the end of the answer
// stream.
DaVinciProcess startDaVinci(bool trace);

// Writes the command's text and a newline, then waits for "ok"; other answers
// that arrive meanwhile are read and dropped.  With tracing on, the line
// "sendCmd: " + text goes to standard error first.
void sendCmd(DaVinciProcess& link, const DaVinciCmd& cmd);

// Reads one answer line; it must read as one whole answer, nothing left over
// (not even a blank or a carriage return).  With tracing on, the line
// "receiveAnswer: " + the answer's text goes to standard error.
DaVinciAnswer receiveAnswer(DaVinciProcess& link);

// Reads answers until "ok"; "quit" and communication_error end the run.
// startDaVinci and sendCmd use it; callers need not.
void getOk(DaVinciProcess& link);

// Closes the command stream, then the answer stream.  daVinci is neither
// signalled nor waited for.  With tracing on, "stopDaVinci" goes to stderr.
void stopDaVinci(DaVinciProcess& link);

}  // namespace jox
