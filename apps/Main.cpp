// joxrun FILE.jox: parse, check and run a JOX program on the console.
#include <string>

#include "apps/Driver.h"
#include "apps/Source.h"

int main(int argc, char** argv) {
    jox::runMain("joxrun", [&] {
        if (argc != 2) jox::fail("wrong number of arguments\nUsage: joxrun FILE.jox");
        std::string text = jox::readSourceFile(argv[1]);
        (void)text;
    });
}
