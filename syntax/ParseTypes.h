// The result of a parse and the two combinators that sequence parse actions.
//
// A parse action is anything callable as  action(input, line)  that yields a
// ParseResult: `input` is the remaining source text, `line` the current line
// number.  returnP is the unit and thenP the bind of that sequencing.  Every
// lexical and syntax error ends the run by itself (fail()), so no part of the
// system builds a ParseFail: it exists only to be passed on by thenP.
#pragma once

#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "syntax/JoxTypes.h"

namespace jox {

template <class T>
struct ParseOk {
    T value;
};

struct ParseFail {
    Text error;
};

template <class T>
using ParseResult = std::variant<ParseOk<T>, ParseFail>;

// The remaining text a parse action receives.
using ParseInput = std::string_view;

// The action that yields `value` and looks neither at the input nor at the
// line number.
template <class T>
auto returnP(T value) {
    return [value = std::move(value)](ParseInput, const Integer&) -> ParseResult<T> {
        return ParseOk<T>{value};
    };
}

// Runs `action`; on ParseOk a, runs `continuation(a)` on the same input and
// line; on ParseFail, passes the failure on without running the continuation.
template <class Action, class Continuation>
auto thenP(Action action, Continuation continuation) {
    return [action = std::move(action), continuation = std::move(continuation)](
               ParseInput input, const Integer& line) {
        auto first = action(input, line);
        using Value = decltype(std::get<0>(first).value);
        using Result = decltype(continuation(std::declval<Value>())(input, line));
        if (auto* ok = std::get_if<0>(&first)) return continuation(std::move(ok->value))(input, line);
        return Result{std::get<ParseFail>(std::move(first))};
    };
}

}  // namespace jox
