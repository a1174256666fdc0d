// The operators of the language, each written once over typed operands.
//
// An operator is a struct holding
//  - `rule(left, right)`: which kernel a pair of operand types takes (the
//    tables of the language; Rule::None where the table has no cell);
//  - `result(rule)`: the type of the value that kernel gives;
//  - the kernels themselves: `ints` for two integers, `reals` for two
//    numbers of which at least one is real (an integer operand is converted
//    to a real first), `roundedReals` for the same when the result is an
//    integer (the real result rounded, ties to even), `texts` and `bools`.
// The compiled expressions call the kernel the operand types select once and
// for all; the operations on run-time values (evalPlus ...) select it from
// the values they are given.
#pragma once

#include <cstdint>

#include "eval/Memory.h"
#include "eval/Numbers.h"

namespace jox {

enum class Rule : std::uint8_t { None, Ints, Reals, RoundedReals, Texts, Bools };

constexpr bool numeric(Kind k) { return k == Kind::Int || k == Kind::Real; }

// ---------------------------------------------------------------- families
// + - *: two integers give an integer; a real operand makes the result real.
struct Arithmetic {
    static constexpr Rule rule(Kind l, Kind r) {
        if (l == Kind::Int && r == Kind::Int) return Rule::Ints;
        return numeric(l) && numeric(r) ? Rule::Reals : Rule::None;
    }
    static constexpr Kind result(Rule rule) { return rule == Rule::Ints ? Kind::Int : Kind::Real; }
};

// / and **: always a real.
struct RealValued {
    static constexpr Rule rule(Kind l, Kind r) { return numeric(l) && numeric(r) ? Rule::Reals : Rule::None; }
    static constexpr Kind result(Rule) { return Kind::Real; }
};

// div and ^: always an integer, exact for two integers, else the real
// result rounded.
struct IntegerValued {
    static constexpr Rule rule(Kind l, Kind r) {
        if (l == Kind::Int && r == Kind::Int) return Rule::Ints;
        return numeric(l) && numeric(r) ? Rule::RoundedReals : Rule::None;
    }
    static constexpr Kind result(Rule) { return Kind::Int; }
};

// %: two integers only.
struct IntegersOnly {
    static constexpr Rule rule(Kind l, Kind r) {
        return l == Kind::Int && r == Kind::Int ? Rule::Ints : Rule::None;
    }
    static constexpr Kind result(Rule) { return Kind::Int; }
};

// == and <>: two values of one type; < > <= >=: two integers, reals or
// texts; && and ||: two truth values.
template <bool WithTruthValues>
struct Comparison {
    static constexpr Rule rule(Kind l, Kind r) {
        if (l != r) return Rule::None;
        switch (l) {
            case Kind::Int: return Rule::Ints;
            case Kind::Real: return Rule::Reals;
            case Kind::Text: return Rule::Texts;
            case Kind::Bool: return WithTruthValues ? Rule::Bools : Rule::None;
            case Kind::None: return Rule::None;
        }
        return Rule::None;
    }
    static constexpr Kind result(Rule) { return Kind::Bool; }
};
struct Logic {
    static constexpr Rule rule(Kind l, Kind r) {
        return l == Kind::Bool && r == Kind::Bool ? Rule::Bools : Rule::None;
    }
    static constexpr Kind result(Rule) { return Kind::Bool; }
};

// --------------------------------------------------------------- operators
struct Add : Arithmetic {
    static IntVal ints(IntVal a, IntVal b, Integer& out) { return intAdd(a, b, out); }
    static double reals(double a, double b) { return a + b; }
};
struct Sub : Arithmetic {
    static IntVal ints(IntVal a, IntVal b, Integer& out) { return intSub(a, b, out); }
    static double reals(double a, double b) { return a - b; }
};
struct Mul : Arithmetic {
    static IntVal ints(IntVal a, IntVal b, Integer& out) { return intMul(a, b, out); }
    static double reals(double a, double b) { return a * b; }
};
struct RealDiv : RealValued {
    static double reals(double a, double b) { return a / b; }
};
struct RealPow : RealValued {
    static double reals(double a, double b) { return powReal(a, b); }
};
struct IntDiv : IntegerValued {
    static IntVal ints(IntVal a, IntVal b, Integer& out) { return intFloorDiv(a, b, out); }
    static IntVal roundedReals(double a, double b, Integer& out) { return roundReal(a / b, out); }
};
struct IntPow : IntegerValued {
    static IntVal ints(IntVal a, IntVal b, Integer& out) { return intPow(a, b, out); }
    static IntVal roundedReals(double a, double b, Integer& out) { return roundReal(powReal(a, b), out); }
};
struct Mod : IntegersOnly {
    static IntVal ints(IntVal a, IntVal b, Integer& out) { return intFloorMod(a, b, out); }
};

// The comparisons: the order of two integers, reals (a NaN is equal to
// nothing and in no order with anything) or texts (by Latin-1 code, a proper
// prefix first), and the equality of truth values.
enum class Rel : std::uint8_t { Eq, Neq, Gt, Lt, Geq, Leq };

template <Rel R, class T>
constexpr bool holds(const T& a, const T& b) {
    if constexpr (R == Rel::Eq) return a == b;
    if constexpr (R == Rel::Neq) return a != b;
    if constexpr (R == Rel::Gt) return a > b;
    if constexpr (R == Rel::Lt) return a < b;
    if constexpr (R == Rel::Geq) return a >= b;
    if constexpr (R == Rel::Leq) return a <= b;
}

template <Rel R>
struct Compare : Comparison<R == Rel::Eq || R == Rel::Neq> {
    static bool ints(IntVal a, IntVal b) {
        if (a.isWord() && b.isWord()) [[likely]]
            return holds<R>(a.word, b.word);
        return holds<R>(intCompare(a, b), 0);
    }
    static bool reals(double a, double b) { return holds<R>(a, b); }
    static bool texts(const Text& a, const Text& b) { return holds<R>(a.compare(b), 0); }
    static bool bools(bool a, bool b) { return holds<R>(a, b); }
};

struct And : Logic {
    static bool bools(bool a, bool b) { return a && b; }
};
struct Or : Logic {
    static bool bools(bool a, bool b) { return a || b; }
};

}  // namespace jox
