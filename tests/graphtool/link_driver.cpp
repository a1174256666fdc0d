// A small program over the daVinci link, for the link tests: it runs under
// the programs' own failure convention (runMain), so a failure of the link
// shows as the exact report and exit status a user would see.
//
//   graphtool_link_driver [-t] COMMAND...
//
// Starts daVinci (tracing with -t), sends each COMMAND (command text, read
// back into a command value), stops the link and prints "done".
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "apps/Driver.h"
#include "graphtool/CmdReader.h"
#include "graphtool/DaVinci.h"
#include "syntax/Failure.h"

int main(int argc, char** argv) {
    jox::runMain("graphtool_link_driver", [&] {
        int first = 1;
        bool trace = argc > 1 && std::strcmp(argv[1], "-t") == 0;
        if (trace) first = 2;
        std::vector<jox::DaVinciCmd> cmds;
        for (int i = first; i < argc; ++i) {
            std::string error;
            auto cmd = jox::dv::readCmd(argv[i], error);
            if (!cmd) jox::fail(std::string("cannot read command ") + argv[i] + ": " + error);
            cmds.push_back(*cmd);
        }
        jox::DaVinciProcess link = jox::startDaVinci(trace);
        for (const jox::DaVinciCmd& cmd : cmds) jox::sendCmd(link, cmd);
        jox::stopDaVinci(link);
        std::puts("done");
    });
}
