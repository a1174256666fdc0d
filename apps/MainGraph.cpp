// joxflow FILE.jox DELAY: parse and check a JOX program, draw it as a
// flowchart in daVinci and run it step by step.
#include <string>

#include "apps/Driver.h"
#include "apps/Source.h"

int main(int argc, char** argv) {
    jox::runMain("joxflow", [&] {
        if (argc != 3) jox::fail("wrong number of arguments\nUsage: joxflow FILE.jox DELAY");
        std::string text = jox::readSourceFile(argv[1]);
        (void)text;
    });
}
