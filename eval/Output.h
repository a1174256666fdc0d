// Standard output of a running program: what imprima writes.
//
// The text is kept in a buffer and written out with write(2): when the buffer
// is full (at once after each line when standard output is a terminal),
// before a read from a terminal, and when the run ends.  Every write is
// checked, so output that cannot be written ends the run instead of being
// lost while the run reports success:
//  - the reader went away (a closed pipe, `joxrun p.jox | head -1`): the
//    process ends quietly by SIGPIPE, as other command-line tools do;
//  - any other error (a full disk, an I/O error): the run fails with
//    "cannot write standard output: " and the system's reason.
// The program entries ignore SIGPIPE, so a closed pipe is seen here as the
// error EPIPE and never kills the process in the middle of a failure report.
#pragma once

#include <string_view>

namespace jox {

// Appends `text` to the program's standard output.
void writeOutput(std::string_view text);

// Writes out everything pending; fails as described above.
void flushOutput();

// Writes out everything pending for a run that ends with a report of its
// own (a failure, exhausted memory or stack): a write error is not reported
// then, and a closed pipe does not end the process, so the report that
// follows is written and the run keeps its own exit status.
void flushOutputBeforeReport();

}  // namespace jox
