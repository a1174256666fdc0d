// The animated run repeats a loop pass after pass without growing the stack:
// a million passes run on a thread with a small stack, against a graph tool
// that acknowledges everything at once.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "ChartSupport.h"
#include "check/CheckProgram.h"
#include "eval/EvalProgram.h"
#include "flowchart/AnimatedRun.h"
#include "graphtool/DaVinci.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

// A "daVinci" that drains its input and floods "ok" lines, so every command
// is acknowledged without a round trip.
std::string fastToolDir() {
    char tmpl[] = "/tmp/joxflow-fast-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::string tool = dir + "/daVinci";
    std::ofstream(tool) << "#!/bin/sh\nexec 3<&0\ncat <&3 > /dev/null &\nexec yes ok 3<&-\n";
    chmod(tool.c_str(), 0755);
    return dir;
}

// A million passes; under the sanitizers, where a pass costs far more, fifty
// thousand, still far more than the small stack could hold if a pass kept a
// frame.
#ifdef JOX_SANITIZED
constexpr int kPasses = 50000;
#else
constexpr int kPasses = 1000000;
#endif

struct Job {
    const Program* program;
    Integer passes;   // value of x after the run
    std::string error;
};

void* runJob(void* arg) {
    auto* job = static_cast<Job*>(arg);
    try {
        AnnCmdList cmds = annProg(*job->program).second;
        Memory memory = fillGarbage(removeVar(job->program->decls), Memory{});
        DaVinciProcess link = startDaVinci(false);
        execGraph(cmds, link, memory, job->program->decls, Integer(0));
        stopDaVinci(link);
        job->passes = std::get<M_Int>(seekVarValue(memory, "x").v).value;
    } catch (const StackExhausted&) {
        job->error = "stack exhausted";
    } catch (const std::exception& e) {
        job->error = e.what();
    }
    return nullptr;
}

TEST(AnimatedRun, AMillionPassesInASmallStack) {
    std::string dir = fastToolDir();
    std::string path = dir + ":" + std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    Program program = test::parseProgram(
        "int x;", "x <- 0; faca { x++; } enquanto (x < " + std::to_string(kPasses) + ")");
    Job job{&program, Integer(0), ""};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, std::size_t{512} << 10);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, runJob, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(job.error, "");
    EXPECT_EQ(job.passes, kPasses);
    unlink((dir + "/daVinci").c_str());
    rmdir(dir.c_str());
}

}  // namespace
}  // namespace jox
