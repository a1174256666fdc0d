// Fuzz target: arbitrary bytes as one answer line from daVinci, through the
// answer reader.  The reader never fails; on top of not crashing it must
//  - leave over a tail of the line it was given, and
//  - read the text of every answer it produced back as that same answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "graphtool/DaVinciTypes.h"
#include "syntax/Failure.h"

namespace {

bool isTail(std::string_view whole, std::string_view rest) {
    return rest.size() <= whole.size() && whole.substr(whole.size() - rest.size()) == rest;
}

bool readsBackAs(const jox::dv::DaVinciAnswer& answer) {
    std::string text = jox::dv::showAnswer(answer);
    for (const auto& [again, rest] : jox::dv::readAnswer(0, text))
        if (rest.empty() && again == answer) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    try {
        for (const auto& [answer, rest] : jox::dv::readAnswer(0, line)) {
            if (!isTail(line, rest)) std::abort();
            if (!readsBackAs(answer)) std::abort();
        }
        for (const auto& [answers, rest] : jox::dv::readAnswerList(line)) {
            if (!isTail(line, rest)) std::abort();
            for (const auto& answer : answers)
                if (!readsBackAs(answer)) std::abort();
        }
    } catch (const jox::StackExhausted&) {
        // Parentheses nested deeper than the stack.
    }
    return 0;
}
