// The daVinci link end to end: the link driver program (which runs under the
// programs' failure convention) against the stand-in daVinci, each case with
// the exact standard output, standard error, exit status and the command
// lines the stand-in received.  Also the stand-in on its own.
#include <fcntl.h>
#include <signal.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kBuild = JOX_BUILD_DIR;
const std::string kDriver = kBuild + "/tests/graphtool_link_driver";
const std::string kStandIn = kBuild + "/tools/daVinci";

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or 128 + signal
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void spit(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/graphtool_link_XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs `argv` with `env` (the whole environment), standard input from
// `input`, standard output and error into files of `dir`.
Outcome run(const TempDir& dir, const std::vector<std::string>& argv, const std::vector<std::string>& env,
        const std::string& input = "") {
    spit(dir.file("stdin"), input);
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);  // its own group, so that a hung run is stopped whole
        int in = open(dir.file("stdin").c_str(), O_RDONLY);
        int out = open(dir.file("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(dir.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> args, envs;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const std::string& e : env) envs.push_back(const_cast<char*>(e.c_str()));
        envs.push_back(nullptr);
        execve(args[0], args.data(), envs.data());
        _exit(127);
    }
    setpgid(pid, pid);
    // A link that hangs is a failure, not a stuck test: stop the whole group.
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == 3000) {  // 30 seconds
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        usleep(10000);
    }
    Outcome r;
    r.out = slurp(dir.file("stdout"));
    r.err = slurp(dir.file("stderr"));
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

const char* const kExample =
    "graph(new([l(\"Inicio\",n(\"\",[a(\"COLOR\",\"#ffffe3\"),a(\"OBJECT\",\"Inicio\"),"
    "a(\"_GO\",\"ellipse\")],[l(\"edFim\",e(\"\",[],l(\"Fimprog\",n(\"\",[a(\"COLOR\","
    "\"#ffffe3\"),a(\"OBJECT\",\"Fimprog\"),a(\"_GO\",\"ellipse\")],[]))))]))]))";
const char* const kLightEdge = "graph(change_attr([edge(\"edFim\",[a(\"EDGECOLOR\",\"yellow\")])]))";
const char* const kLightNode = "graph(change_attr([node(\"Fimprog\",[a(\"COLOR\",\"yellow\")])]))";
const char* const kFont = "set(font_size(10))";

const std::string kEof =
    "\nFail: end of file\nOperation: read line\nStream: daVinci answers\nReason: no more answers from daVinci\n";

struct LinkCase {
    const char* name;
    std::string script;            // stand-in rules, "" for none
    std::vector<std::string> args;  // driver arguments
    std::string out;
    std::string err;
    int status;
    std::string log;  // lines the stand-in received
    enum { StandIn, Missing, NotExecutable } path = StandIn;
};

TEST(Link, AgainstTheStandIn) {
    const LinkCase cases[] = {
        {"handshake_and_commands", "", {kExample, kLightEdge, kLightNode, kFont}, "done\n", "", 0,
         std::string(kExample) + "\n" + kLightEdge + "\n" + kLightNode + "\n" + kFont + "\n"},
        {"no_commands", "", {}, "done\n", "", 0, ""},
        {"extra_answers_dropped",
         "before 0 node_double_click\nbefore 1 menu_selection(\"m1\")\n"
         "before 1 drop_node(\"c1\",\"w1\",\"n1\",\"c2\",\"w2\",\"n2\")\nbefore 2 closed\n"
         "before 2 node_selections_labels([])\n",
         {kFont, kFont}, "done\n", "", 0, std::string(kFont) + "\n" + kFont + "\n"},
        {"first_line_not_ok_keeps_reading", "before 0 disconnect\nbefore 0 closed\n", {kFont}, "done\n", "", 0,
         std::string(kFont) + "\n"},
        {"quit_at_start", "at 0 quit\n", {kFont}, "", "\nFail: failed\nReason: getOk: daVinci terminated\n", 1, ""},
        {"quit_after_command", "at 2 quit\n", {kFont, kFont, kFont}, "",
         "\nFail: failed\nReason: getOk: daVinci terminated\n", 1, std::string(kFont) + "\n" + kFont + "\n"},
        {"communication_error", "at 1 communication_error(\"bad\")\n", {kFont}, "",
         "\nFail: failed\nReason: getOk: \"bad\"\n", 1, std::string(kFont) + "\n"},
        {"communication_error_escapes_rewritten", "at 1 communication_error( (\"a\\\"b\\10\\^Z\\227\\&1\") )\n",
         {kFont}, "", "\nFail: failed\nReason: getOk: \"a\\\"b\\n\\SUB\\227\\&1\"\n", 1, std::string(kFont) + "\n"},
        {"unknown_node", "", {kLightNode}, "",
         "\nFail: failed\nReason: getOk: \"unknown node \\\"Fimprog\\\"\"\n", 1, std::string(kLightNode) + "\n"},
        {"malformed_trailing_blank", "at 1 ok \n", {kFont}, "",
         "\nFail: failed\nReason: malformed daVinci reply 'ok '\n", 1, std::string(kFont) + "\n"},
        {"malformed_carriage_return", "at 0 ok\r\n", {}, "",
         "\nFail: failed\nReason: malformed daVinci reply 'ok\r'\n", 1, ""},
        {"malformed_empty_line", "at 1 \n", {kFont}, "", "\nFail: failed\nReason: malformed daVinci reply ''\n", 1,
         std::string(kFont) + "\n"},
        {"malformed_among_dropped", "before 1 menu_selection(\"m1\")\nbefore 1 okay\n", {kFont}, "",
         "\nFail: failed\nReason: malformed daVinci reply 'okay'\n", 1, std::string(kFont) + "\n"},
        {"malformed_args_count", "at 1 communication_error(\"a\",\"b\")\n", {kFont}, "",
         "\nFail: failed\nReason: malformed daVinci reply 'communication_error(\"a\",\"b\")'\n", 1,
         std::string(kFont) + "\n"},
        {"davinci_exits_mid_run", "exit 2\n", {kFont, kFont, kFont}, "", kEof, 1,
         std::string(kFont) + "\n" + kFont + "\n"},
        {"davinci_exits_before_first_ok", "exit 0\n", {}, "", kEof, 1, ""},
        {"write_after_davinci_has_gone", "close 1\n", {kFont, kFont}, "",
         "\nFail: resource vanished\nOperation: write line\nStream: daVinci commands\nReason: Broken pipe\n", 1,
         std::string(kFont) + "\n"},
        {"davinci_missing_from_path", "", {kFont}, "",
         "\nFail: does not exist\nOperation: exec daVinci -pipe\nReason: No such file or directory\n" + kEof, 1, "",
         LinkCase::Missing},
        {"davinci_not_executable", "", {kFont}, "",
         "\nFail: permission denied\nOperation: exec daVinci -pipe\nReason: Permission denied\n" + kEof, 1, "",
         LinkCase::NotExecutable},
        {"trace", "before 1 menu_selection(\"m1\")\n", {"-t", kFont}, "done\n",
         "receiveAnswer: ok\nsendCmd: set(font_size(10))\nreceiveAnswer: menu_selection(\"m1\")\n"
         "receiveAnswer: ok\nstopDaVinci\n",
         0, std::string(kFont) + "\n"},
        {"trace_shows_the_answer_text",
         "before 0 popup_selection_node ( \"x\" ,(\"y\"))\n"
         "before 0 node_selections_labels[(\"a\"),\"\\65\"]\n",
         {"-t"}, "done\n",
         "receiveAnswer: popup_selection_node(\"x\",\"y\")\n"
         "receiveAnswer: node_selections_labels([\"a\",\"A\"])\nreceiveAnswer: ok\nstopDaVinci\n",
         0, ""},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::vector<std::string> env = {"DAVINCI_STANDIN_LOG=" + dir.file("log")};
        if (c.path == LinkCase::StandIn) env.push_back("PATH=" + kBuild + "/tools:/usr/bin:/bin");
        if (c.path == LinkCase::Missing) env.push_back("PATH=" + dir.file("none"));
        if (c.path == LinkCase::NotExecutable) {
            spit(dir.file("daVinci"), "#!/bin/sh\necho ok\n");  // mode 0644
            env.push_back("PATH=" + dir.file(""));
        }
        if (!c.script.empty()) {
            spit(dir.file("script"), c.script);
            env.push_back("DAVINCI_STANDIN_SCRIPT=" + dir.file("script"));
        }
        std::vector<std::string> argv = {kDriver};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        Outcome r = run(dir, argv, env);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(slurp(dir.file("log")), c.log);
    }
}

// The stand-in alone: its answers to command lines, and what it records.
TEST(StandIn, AnswersEveryLine) {
    struct Case {
        const char* name;
        std::string input;
        std::string out;
    };
    const Case cases[] = {
        {"start_only", "", "ok\n"},
        {"commands", std::string(kExample) + "\n" + kLightEdge + "\n" + kLightNode + "\nmenu(layout(improve_all))\n",
         "ok\nok\nok\nok\nok\n"},
        {"last_line_without_newline", kFont, "ok\nok\n"},
        {"unreadable",
         "bogus\nset(font_size(1))x\nwindow(title(\"a))\n\nset(keep_nodes_at_levels(True))\n",
         "ok\ncommunication_error(\"unknown command 'bogus' at character 1\")\n"
         "communication_error(\"text after the command at character 18\")\n"
         "communication_error(\"bad string literal at character 14\")\n"
         "communication_error(\"expected a word at character 1\")\n"
         "communication_error(\"expected true or false at character 26\")\n"},
        {"unknown_before_any_graph", std::string(kLightEdge) + "\n",
         "ok\ncommunication_error(\"unknown edge \\\"edFim\\\"\")\n"},
        {"graph_replaced_and_cleared",
         std::string(kExample) + "\ngraph(new([l(\"x\",n(\"\",[],[]))]))\n" + kLightNode +
             "\ngraph(change_attr([node(\"x\",[])]))\nmenu(file(new))\ngraph(change_attr([node(\"x\",[])]))\n",
         "ok\nok\nok\ncommunication_error(\"unknown node \\\"Fimprog\\\"\")\nok\nok\n"
         "communication_error(\"unknown node \\\"x\\\"\")\n"},
        {"referenced_node_is_not_defined", "graph(new([l(\"a\",n(\"\",[],[l(\"e\",e(\"\",[],r(\"b\")))]))]))\n"
                                           "graph(change_type([edge(\"e\",\"t\"),node(\"b\",\"t\")]))\n",
         "ok\nok\ncommunication_error(\"unknown node \\\"b\\\"\")\n"},
        {"updates_change_the_graph",
         "graph(update([new_node(\"a\",\"\",[])],[new_edge(\"e\",\"\",[],\"a\",\"a\")]))\n"
         "graph(change_attr([node(\"a\",[]),edge(\"e\",[])]))\n"
         "graph(update_and_change_attr([delete_node(\"a\")],[node(\"a\",[])]))\n",
         "ok\nok\nok\ncommunication_error(\"unknown node \\\"a\\\"\")\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Outcome r = run(dir, {kStandIn, "-pipe"}, {"DAVINCI_STANDIN_LOG=" + dir.file("log")}, c.input);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.status, 0);
        std::string logged = c.input;
        if (!logged.empty() && logged.back() != '\n') logged += '\n';
        EXPECT_EQ(slurp(dir.file("log")), logged);
    }
}

TEST(StandIn, RefusesBadUse) {
    TempDir dir;
    Outcome r = run(dir, {kStandIn}, {});
    EXPECT_EQ(r.err, "daVinci stand-in: usage: daVinci -pipe\n");
    EXPECT_EQ(r.status, 2);
    spit(dir.file("script"), "after 1 ok\n");
    r = run(dir, {kStandIn, "-pipe"}, {"DAVINCI_STANDIN_SCRIPT=" + dir.file("script")});
    EXPECT_EQ(r.err, "daVinci stand-in: bad script rule: after 1 ok\n");
    EXPECT_EQ(r.status, 2);
}

}  // namespace
