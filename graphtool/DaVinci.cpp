// The link to the daVinci child process.
#include "graphtool/DaVinci.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "syntax/Failure.h"

namespace jox {

namespace {

// Failures of the link are input/output failures: their kind, then the
// operation and the stream where they have them, then "Reason: " and text.
std::string ioFailure(const std::string& kind, const std::string& operation,
                      const std::string& stream, const std::string& reason) {
    std::string text = kind;
    if (!operation.empty()) text += "\nOperation: " + operation;
    if (!stream.empty()) text += "\nStream: " + stream;
    text += "\nReason: " + reason;
    return text;
}

[[noreturn]] void userFail(const std::string& reason) { fail(ioFailure("failed", "", "", reason)); }

// The kind of a failed system call, by its error number.
std::string errnoKind(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return "does not exist";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EPIPE:
        case ECONNRESET:
            return "resource vanished";
        case EMFILE:
        case ENFILE:
        case ENOMEM:
        case EAGAIN:
            return "resource exhausted";
        default:
            return "system error";
    }
}

[[noreturn]] void systemFail(int err, const std::string& operation, const std::string& stream) {
    fail(ioFailure(errnoKind(err), operation, stream, std::strerror(err)));
}

const char* const kAnswerStream = "daVinci answers";
const char* const kCommandStream = "daVinci commands";

// One trace line on standard error.
void traceLine(const std::string& line) {
    std::string text = line + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

// Writes all of `s` on descriptor `fd`, for the child before exec.
void writeAll(int fd, const char* s, std::size_t n) {
    while (n > 0) {
        ssize_t k = write(fd, s, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return;
        }
        s += k;
        n -= static_cast<std::size_t>(k);
    }
}

// The lowest free descriptors are handed out first, so a pipe end lands on 0,
// 1 or 2 when the process started with that one closed.  Moved above them, no
// end of the link can stand in for standard input, output or error: the
// child's duplication onto 0 and 1 and its closing of the four ends then never
// clobber one another, and nothing this process reads or writes on a standard
// descriptor reaches daVinci.  The copy closes on exec, so later children do
// not hold the link open; the standard descriptor stays as it was, closed.
int aboveStandard(int fd) {
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    int err = errno;
    close(fd);
    if (moved < 0) systemFail(err, "pipe", "");
    return moved;
}

// A pipe whose two ends are both above the standard descriptors.
void linkPipe(int& readEnd, int& writeEnd) {
    int ends[2];
    if (pipe(ends) != 0) systemFail(errno, "pipe", "");
    readEnd = aboveStandard(ends[0]);
    writeEnd = aboveStandard(ends[1]);
}

}  // namespace

DaVinciProcess startDaVinci(bool trace) {
    // A write after daVinci has gone must come back as an error to report,
    // not end the process by signal.
    signal(SIGPIPE, SIG_IGN);

    int cr, cw, ar, aw;
    linkPipe(cr, cw);
    linkPipe(ar, aw);

    // Everything the child may need is made before the fork: between fork
    // and exec it only makes system calls.
    // The child's own failure report, for each way the execution can fail.
    auto execReport = [](int err) {
        return "\nFail: " + ioFailure(errnoKind(err), "exec daVinci -pipe", "", std::strerror(err)) +
               "\n";
    };
    const int execErrors[] = {ENOENT, EACCES, ENOEXEC, ENOTDIR, ELOOP, ENAMETOOLONG, ENOMEM, E2BIG, EIO};
    std::vector<std::string> execReports;
    for (int err : execErrors) execReports.push_back(execReport(err));
    const std::string otherReport = "\nFail: " +
                                    ioFailure("system error", "exec daVinci -pipe", "",
                                              "daVinci could not be executed") +
                                    "\n";
    char program[] = "daVinci";
    char option[] = "-pipe";
    char* argv[] = {program, option, nullptr};

    pid_t pid = fork();
    if (pid < 0) {
        int err = errno;
        close(cr);
        close(cw);
        close(ar);
        close(aw);
        systemFail(err, "fork", "");
    }
    if (pid == 0) {
        // The child: the command pipe on standard input, the answer pipe on
        // standard output, the same working directory, environment and
        // standard error.
        if (dup2(cr, STDIN_FILENO) < 0 || dup2(aw, STDOUT_FILENO) < 0) _exit(1);
        close(cr);
        close(cw);
        close(ar);
        close(aw);
        signal(SIGPIPE, SIG_DFL);  // daVinci gets the usual disposition
        execvp(program, argv);
        // Not found or not executable: report it like any failure of the
        // system and end the child; the parent then sees the answer stream end.
        const std::string* report = &otherReport;
        for (std::size_t i = 0; i < execReports.size(); ++i)
            if (execErrors[i] == errno) report = &execReports[i];
        writeAll(STDERR_FILENO, report->data(), report->size());
        _exit(1);
    }

    close(cr);
    close(aw);
    std::FILE* answers = fdopen(ar, "r");
    if (answers == nullptr) systemFail(errno, "fdopen", kAnswerStream);
    std::FILE* commands = fdopen(cw, "w");
    if (commands == nullptr) systemFail(errno, "fdopen", kCommandStream);
    setvbuf(answers, nullptr, _IOLBF, BUFSIZ);
    setvbuf(commands, nullptr, _IOLBF, BUFSIZ);

    DaVinciProcess link;
    link.child_ = pid;
    link.answers_ = answers;
    link.commands_ = commands;
    link.trace_ = trace;
    getOk(link);
    return link;
}

void sendCmd(DaVinciProcess& link, const DaVinciCmd& cmd) {
    std::string text = dv::showCmd(cmd);
    if (link.trace_) traceLine("sendCmd: " + text);
    text += '\n';
    std::size_t written = std::fwrite(text.data(), 1, text.size(), link.commands_);
    // Line buffering hands the line to daVinci at its newline; a failed
    // write shows in the stream's error flag.
    if (written != text.size() || std::ferror(link.commands_)) {
        int err = errno != 0 ? errno : EIO;
        systemFail(err, "write line", kCommandStream);
    }
    getOk(link);
}

DaVinciAnswer receiveAnswer(DaVinciProcess& link) {
    std::string line;
    errno = 0;
    int c;
    while ((c = std::getc(link.answers_)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF) {
        if (std::ferror(link.answers_)) systemFail(errno != 0 ? errno : EIO, "read line", kAnswerStream);
        // A last line without its newline still counts as a line.
        if (line.empty())
            fail(ioFailure("end of file", "read line", kAnswerStream, "no more answers from daVinci"));
    }
    auto readings = dv::readAnswer(0, line);
    if (readings.empty() || !readings.front().second.empty())
        userFail("malformed daVinci reply '" + line + "'");
    DaVinciAnswer answer = std::move(readings.front().first);
    if (link.trace_) traceLine("receiveAnswer: " + dv::showAnswer(answer));
    return answer;
}

void getOk(DaVinciProcess& link) {
    while (true) {
        DaVinciAnswer answer = receiveAnswer(link);
        if (std::holds_alternative<dv::Ok>(answer)) return;
        if (std::holds_alternative<dv::Quit>(answer)) userFail("getOk: daVinci terminated");
        if (const auto* e = std::get_if<dv::CommunicationError>(&answer))
            userFail("getOk: " + dv::stringLiteral(e->message));
        // Anything else (user events) is dropped.
    }
}

void stopDaVinci(DaVinciProcess& link) {
    if (link.trace_) traceLine("stopDaVinci");
    if (link.commands_ != nullptr) std::fclose(link.commands_);
    if (link.answers_ != nullptr) std::fclose(link.answers_);
    link.commands_ = nullptr;
    link.answers_ = nullptr;
}

}  // namespace jox
