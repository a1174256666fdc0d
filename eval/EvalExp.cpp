// Evaluation on run-time values: an expression is compiled against the
// memory and evaluated at once; the operations take their kernel from the
// types of the values they are given.
#include "eval/EvalExp.h"

#include "check/ValueText.h"
#include "eval/Compile.h"
#include "eval/Messages.h"
#include "eval/Operations.h"

namespace jox {

namespace {

MemValue intValue(IntVal v) { return MemValue{M_Int{integerOf(v)}}; }

// The value of a compiled expression.
MemValue valueOf(ExpCompiler& compiler, const Code& code) {
    switch (code.kind) {
        case Kind::Int: return intValue(compiler.nodeOf<Kind::Int>(code)->eval());
        case Kind::Real: return MemValue{M_Float{compiler.nodeOf<Kind::Real>(code)->eval()}};
        case Kind::Bool: return MemValue{M_Boolean{compiler.nodeOf<Kind::Bool>(code)->eval()}};
        case Kind::Text: return MemValue{M_Str{compiler.nodeOf<Kind::Text>(code)->eval()}};
        case Kind::None: break;
    }
    code.node->evaluate();
    failInternal(kOperands);  // (not reached: the node ends the run)
}

}  // namespace

MemValue evalExp(const Expression& exp, const Memory& memory) {
    Arena arena;
    ExpCompiler compiler(memory, arena);
    return valueOf(compiler, compiler.expression(exp));
}

MemValue evalFactor(const Factor& factor, const Memory& memory) {
    Arena arena;
    ExpCompiler compiler(memory, arena);
    return valueOf(compiler, compiler.factor(factor));
}

bool evalCondition(const Expression& cond, const Memory& memory) {
    Arena arena;
    ExpCompiler compiler(memory, arena);
    Code c = compiler.expression(cond);
    if (c.kind != Kind::Bool && c.kind != Kind::None) c = compiler.failing({c}, internalMessage(kOperands));
    return compiler.nodeOf<Kind::Bool>(c)->eval();
}

// ------------------------------------------------- operations on values
namespace {

IntVal intOf(const MemValue& v) { return intValOf(std::get<M_Int>(v.v).value); }

double realOf(const MemValue& v) {
    if (const auto* i = std::get_if<M_Int>(&v.v)) return intToReal(i->value);
    return std::get<M_Float>(v.v).value;
}

// The operator Op on two values: the kernel that their types select.
template <class Op>
MemValue onValues(const MemValue& a, const MemValue& b) {
    Kind ka, kb;
    Rule rule = kindOf(a, ka) && kindOf(b, kb) ? Op::rule(ka, kb) : Rule::None;
    Integer out;
    switch (rule) {
        case Rule::Ints:
            if constexpr (requires(Integer& o) { Op::ints(IntVal{}, IntVal{}, o); })
                return intValue(Op::ints(intOf(a), intOf(b), out));
            else if constexpr (requires { Op::ints(IntVal{}, IntVal{}); })
                return MemValue{M_Boolean{Op::ints(intOf(a), intOf(b))}};
            break;
        case Rule::Reals:
            if constexpr (requires { Op::reals(0.0, 0.0); }) {
                auto r = Op::reals(realOf(a), realOf(b));
                if constexpr (std::is_same_v<decltype(r), bool>)
                    return MemValue{M_Boolean{r}};
                else
                    return MemValue{M_Float{r}};
            }
            break;
        case Rule::RoundedReals:
            if constexpr (requires(Integer& o) { Op::roundedReals(0.0, 0.0, o); })
                return intValue(Op::roundedReals(realOf(a), realOf(b), out));
            break;
        case Rule::Texts:
            if constexpr (requires { Op::texts(Text{}, Text{}); })
                return MemValue{M_Boolean{Op::texts(std::get<M_Str>(a.v).value, std::get<M_Str>(b.v).value)}};
            break;
        case Rule::Bools:
            if constexpr (requires { Op::bools(false, false); })
                return MemValue{
                    M_Boolean{Op::bools(std::get<M_Boolean>(a.v).value, std::get<M_Boolean>(b.v).value)}};
            break;
        case Rule::None: break;
    }
    failInternal(kOperands);
}

}  // namespace

MemValue evalPlus(const MemValue& a, const MemValue& b) { return onValues<Add>(a, b); }
MemValue evalMinus(const MemValue& a, const MemValue& b) { return onValues<Sub>(a, b); }
MemValue evalTimes(const MemValue& a, const MemValue& b) { return onValues<Mul>(a, b); }
MemValue evalDiv(const MemValue& a, const MemValue& b) { return onValues<RealDiv>(a, b); }
MemValue evalIDiv(const MemValue& a, const MemValue& b) { return onValues<IntDiv>(a, b); }
MemValue evalResto(const MemValue& a, const MemValue& b) { return onValues<Mod>(a, b); }
MemValue evalPot(const MemValue& a, const MemValue& b) { return onValues<RealPow>(a, b); }
MemValue evalIPot(const MemValue& a, const MemValue& b) { return onValues<IntPow>(a, b); }
MemValue evalEq(const MemValue& a, const MemValue& b) { return onValues<Compare<Rel::Eq>>(a, b); }
MemValue evalNeq(const MemValue& a, const MemValue& b) { return onValues<Compare<Rel::Neq>>(a, b); }
MemValue evalGt(const MemValue& a, const MemValue& b) { return onValues<Compare<Rel::Gt>>(a, b); }
MemValue evalLt(const MemValue& a, const MemValue& b) { return onValues<Compare<Rel::Lt>>(a, b); }
MemValue evalGeq(const MemValue& a, const MemValue& b) { return onValues<Compare<Rel::Geq>>(a, b); }
MemValue evalLeq(const MemValue& a, const MemValue& b) { return onValues<Compare<Rel::Leq>>(a, b); }
MemValue evalAnd(const MemValue& a, const MemValue& b) { return onValues<And>(a, b); }
MemValue evalOr(const MemValue& a, const MemValue& b) { return onValues<Or>(a, b); }

MemValue evalNot(const MemValue& a) {
    const auto* b = std::get_if<M_Boolean>(&a.v);
    if (b == nullptr) failInternal(kOperands);
    return MemValue{M_Boolean{!b->value}};
}

// -------------------------------------------------------------- value text
namespace {

void appendText(Text& out, const MemValue& value) {
    std::visit(overloaded{
                   [&](const M_Int& x) { out += intText(x.value); },
                   [&](const M_Boolean& x) { out += x.value ? "verdadeiro" : "falso"; },
                   [&](const M_Var& x) { out += x.value; },
                   [&](const M_Vector& x) {
                       out += '[';
                       for (const MemValue& e : x.elems) appendText(out, e);
                       out += ']';
                   },
                   [&](const M_Float& x) { out += realText(x.value); },
                   [&](const M_Str& x) { out += x.value; },
                   [&](const M_Garbage&) { failInternal(kNoText); },
               },
               value.v);
}

}  // namespace

Text fromMem(const MemValue& value) {
    Text out;
    appendText(out, value);
    return out;
}

}  // namespace jox
