// Evaluation of expressions and factors: the operand order, the signs, and
// the built-in functions.
#include "eval/EvalExp.h"

#include <cmath>
#include <cstdint>

#include "check/ValueText.h"
#include "eval/EvalInternal.h"
#include "syntax/Failure.h"

namespace jox {

using namespace detail;

namespace {

// An operand that is a factor: a variable is read where it is stored, a
// small integer literal is copied into the scratch value `which` of this
// depth without a call into GMP, anything else is computed into that value.
// (The variable case is inlined into every caller: it is most operands.)
const MemValue& operandOther(const Factor& f, const Memory& m, unsigned d, unsigned which) {
    switch (f.v.index()) {
        case alt<E_Int, Factor>: {
            std::int64_t v;
            if (!smallOf(as<E_Int>(f)->value.get_mpz_t(), v)) break;
            MemValue& out = scratch(d, which);
            setInt(out, v);
            return out;
        }
        default: break;
    }
    return factorInto(f, m, scratch(d, which), d + 1);
}

[[gnu::always_inline]] inline const MemValue& operandF(const Factor& f, const Memory& m, unsigned d,
                                                       unsigned which) {
    if (const auto* x = as<E_Var>(f)) return varRef(m, *x);
    return operandOther(f, m, d, which);
}

[[gnu::always_inline]] inline const MemValue& operand(const Expression& e, const Memory& m, unsigned d,
                                                      unsigned which) {
    if (const auto* f = as<E_Factor>(e)) return operandF(*f->factor, m, d, which);
    return evalInto(e, m, scratch(d, which), d + 1);
}

// The integer literal that a right operand is, or null.
[[gnu::always_inline]] inline const Integer* intLiteral(const Factor& f) {
    const auto* n = as<E_Int>(f);
    return n ? &n->value : nullptr;
}
[[gnu::always_inline]] inline const Integer* intLiteral(const Expression& e) {
    const auto* f = as<E_Factor>(e);
    return f ? intLiteral(*f->factor) : nullptr;
}

// Word kernels of the operators for node(): for two small operands (i + 1,
// m % 2, n div 10, i < 100) the result is written to `out`, or false is
// returned when the word result would not be exact (or the divisor is zero),
// and the general path decides.
struct NoWord {};
template <class Op>
struct IntWord {
    static bool run(std::int64_t x, std::int64_t y, MemValue& out) {
        std::int64_t r;
        if (!Op::apply(x, y, r)) return false;
        setInt(out, r);
        return true;
    }
};
using AddWord = IntWord<WordAdd>;
using SubWord = IntWord<WordSub>;
using MulWord = IntWord<WordMul>;
using IDivWord = IntWord<WordIDiv>;
using RestoWord = IntWord<WordResto>;
template <Rel R>
struct RelWord {
    static bool run(std::int64_t x, std::int64_t y, MemValue& out) {
        setBool(out, holdsRel(R, x, y));
        return true;
    }
};

// An operand that is a quick factor (see quickWord), as a word.
[[gnu::always_inline]] inline bool quickFactor(const Factor& f, const Memory& m, std::int64_t& w) {
    return quickWord(f, m, w);
}
[[gnu::always_inline]] inline bool quickFactor(const Expression& e, const Memory& m, std::int64_t& w) {
    const auto* f = as<E_Factor>(e);
    return f != nullptr && quickWord(*f->factor, m, w);
}

// Both words of a small integer operand and a small literal.
[[gnu::always_inline]] inline bool smallWithLiteral(const MemValue& a, const Integer* literal, std::int64_t& x, std::int64_t& y) {
    return literal != nullptr && a.v.index() == kInt && smallOf(intOf(a).get_mpz_t(), x) &&
           smallOf(literal->get_mpz_t(), y);
}

// An operator node of kind Node: the left operand completely, then the right
// one, then the operation.
template <class Node, OpInto Op, class Word = NoWord>
const MemValue& node(const Expression& e, const Memory& m, MemValue& out, unsigned d) {
    const Node& x = *as<Node>(e);
    if constexpr (!std::is_same_v<Word, NoWord>) {
        std::int64_t wa, wb;
        if (quickFactor(*x.left, m, wa) && quickFactor(*x.right, m, wb) && Word::run(wa, wb, out)) return out;
    }
    const MemValue& a = operand(*x.left, m, d, 0);
    if constexpr (!std::is_same_v<Word, NoWord>) {
        std::int64_t wa, wb;
        if (smallWithLiteral(a, intLiteral(*x.right), wa, wb) && Word::run(wa, wb, out)) return out;
    }
    const MemValue* b;
    if constexpr (std::is_same_v<decltype(x.right), ExpPtr>)
        b = &operand(*x.right, m, d, 1);
    else
        b = &operandF(*x.right, m, d, 1);
    Op(a, *b, out);
    return out;
}

// The element x[e] named by a factor: the index is evaluated, then read.
// Every nesting of factors inside factors passes here or through evalInto,
// so the two check the stack.
// An element of a vector of words is written into `out`.
const MemValue& elementOf(const E_Vector& x, const Memory& m, unsigned d, MemValue& out) {
    checkStack();
    const MemValue& i = operand(*x.index, m, d, 0);
    return elemRef(m, x.name, x.hint, indexOf(i), out);
}

// ------------------------------------------------------------------ signs
const MemValue& signedValue(const MemValue& v, const Text& name, bool negative, MemValue& out) {
    switch (v.v.index()) {
        case kInt:
            if (!negative) return v;
            mpz_neg(intCell(out), intOf(v).get_mpz_t());
            return out;
        case kFloat:
            if (!negative) return v;
            setFloat(out, -floatOf(v));
            return out;
        default:
            fail(negative ? "Operador negativo atribuido incorretamente a variavel " + name + "."
                          : "Operador positivo atribuido incorretamente a variavel " + name + ".");
    }
}

// +f and -f look at the form of f, not at its value.
const MemValue& evalSign(const Factor& f, const Memory& m, bool negative, MemValue& out, unsigned d) {
    switch (f.v.index()) {
        case alt<E_Int, Factor>: {
            const Integer& n = as<E_Int>(f)->value;
            mpz_ptr r = intCell(out);
            if (negative)
                mpz_neg(r, n.get_mpz_t());
            else
                mpz_set(r, n.get_mpz_t());
            return out;
        }
        case alt<E_Float, Factor>: {
            double x = as<E_Float>(f)->value;
            setFloat(out, negative ? -x : x);
            return out;
        }
        case alt<E_Var, Factor>: {
            const E_Var& x = *as<E_Var>(f);
            return signedValue(varRef(m, x), x.name, negative, out);
        }
        case alt<E_Vector, Factor>: {
            const auto& x = *as<E_Vector>(f);
            return signedValue(elementOf(x, m, d, out), x.name, negative, out);
        }
        default:
            fail(negative ? "Operador negativo atribuido incorretamente. "
                          : "Operador positivo atribuido incorretamente. ");
    }
}

// ------------------------------------------------------ built-in arguments
// A text argument: a text literal, or a variable or element holding a text.
// Two arguments of one call use the scratch values of depths d and d + 1.
const Text& evalStrArg(const Factor& f, const Memory& m, unsigned d) {
    const MemValue* v;
    if (const auto* s = as<E_Str>(f)) return s->value;
    if (const auto* x = as<E_Var>(f))
        v = &varRef(m, *x);
    else if (const auto* e = as<E_Vector>(f))
        v = &elementOf(*e, m, d, scratch(d, 1));
    else
        fail("Erro Interno no. 107.");
    if (v->v.index() != kStr) fail("Erro Interno no. 108.");
    return strOf(*v);
}

// A count or position argument: an integer literal, or a variable or element
// holding an integer.  The value stays unbounded: the range checks compare it
// as it is.
const Integer& evalIntArg(const Factor& f, const Memory& m, unsigned d) {
    const MemValue* v;
    if (const auto* n = as<E_Int>(f)) return n->value;
    if (const auto* x = as<E_Var>(f))
        v = &varRef(m, *x);
    else if (const auto* e = as<E_Vector>(f))
        v = &elementOf(*e, m, d, scratch(d, 1));
    else
        fail("Argumento com valor invalido.");
    if (v->v.index() != kInt) fail("Erro Interno no. 110.");
    return intOf(*v);
}

// The argument of a numeric built-in, as a double.
double realArg(const Expression& e, const Memory& m, unsigned d) {
    const MemValue& v = evalInto(e, m, scratch(d, 0), d + 1);
    switch (v.v.index()) {
        case kInt: return intToReal(intOf(v));
        case kFloat: return floatOf(v);
        default: fail("Erro Interno no. 106.");
    }
}

int sgn(const Integer& n) { return mpz_sgn(n.get_mpz_t()); }

// min(n, limit) for a non-negative n.
std::size_t clampCount(const Integer& n, std::size_t limit) {
    mpz_srcptr z = n.get_mpz_t();
    if (!mpz_fits_ulong_p(z)) return limit;
    unsigned long v = mpz_get_ui(z);
    return v < limit ? v : limit;
}

const char* textOrder(const Text& a, const Text& b) {
    int c = a.compare(b);
    return c > 0 ? "maior" : c < 0 ? "menor" : "igual";
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// formatar: the value text of x cut (never rounded) to n digits after the
// point, padded with zeros.
Text form(double x, const Integer& n) {
    Text t = realText(x);
    std::size_t d = 0;
    while (d < t.size() && isDigit(t[d])) ++d;
    if (d >= t.size() || t[d] != '.') fail("Numero invalido na funcao formatar.");
    std::size_t f = d + 1;
    while (f < t.size() && isDigit(t[f])) ++f;
    if (sgn(n) <= 0) fail("Indice incorreto na funcao formatar.");
    if (!mpz_fits_ulong_p(n.get_mpz_t())) throw std::bad_alloc();
    std::size_t count = mpz_get_ui(n.get_mpz_t());
    checkAffordable(count, 1);
    checkAffordable(d + 1 + count, 1);
    Text out;
    out.reserve(d + 1 + count);
    out.append(t, 0, d + 1);
    std::size_t have = f - (d + 1);
    std::size_t take = have < count ? have : count;
    out.append(t, d + 1, take);
    out.append(count - take, '0');
    return out;
}

const double kPi = 3.141592653589793;

void setText(MemValue& out, const Text& a, std::size_t from, std::size_t count) {
    Text& r = strCell(out);
    if (&r == &a) {  // the argument is the value being replaced
        r = a.substr(from, count);
        return;
    }
    r.assign(a, from, count);
}

// The built-in functions and the literals.
const MemValue& computeFactor(const Factor& f, const Memory& m, MemValue& out, unsigned d) {
    auto str = [&](const char* s) -> const MemValue& {
        strCell(out) = s;
        return out;
    };
    auto real = [&](double x) -> const MemValue& {
        setFloat(out, x);
        return out;
    };
    return std::visit(
        overloaded{
            [&](const E_Int& x) -> const MemValue& {
                mpz_set(intCell(out), x.value.get_mpz_t());
                return out;
            },
            [&](const E_Boolean& x) -> const MemValue& {
                setBool(out, x.value);
                return out;
            },
            [&](const E_Var& x) -> const MemValue& { return varRef(m, x); },
            [&](const E_Vector& x) -> const MemValue& { return elementOf(x, m, d, out); },
            [&](const E_Float& x) -> const MemValue& { return real(x.value); },
            [&](const E_Str& x) -> const MemValue& {
                strCell(out) = x.value;
                return out;
            },
            [&](const E_Par& x) -> const MemValue& { return evalInto(*x.arg, m, out, d + 1); },
            [&](const E_Pos& x) -> const MemValue& { return evalSign(*x.arg, m, false, out, d); },
            [&](const E_Neg& x) -> const MemValue& { return evalSign(*x.arg, m, true, out, d); },
            [&](const E_StrComp& x) -> const MemValue& {
                std::size_t n = evalStrArg(*x.arg, m, d).size();
                mpz_set_ui(intCell(out), n);
                return out;
            },
            [&](const E_StrConcat& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.first, m, d);
                const Text& b = evalStrArg(*x.second, m, d + 1);
                checkAffordable(a.size() + b.size(), 1);
                Text& r = strCell(out);
                if (&r == &a) {  // s <- strconcat(s, t) grows s in place
                    if (&b == &a) {
                        r.append(r);
                    } else {
                        r.append(b);
                    }
                    return out;
                }
                Text joined;
                joined.reserve(a.size() + b.size());
                joined.append(a).append(b);
                r.swap(joined);
                return out;
            },
            [&](const E_StrCompara& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.first, m, d);
                const Text& b = evalStrArg(*x.second, m, d + 1);
                return str(textOrder(a, b));
            },
            [&](const E_StrNPrim& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.first, m, d);
                const Integer& n = evalIntArg(*x.second, m, d + 1);
                if (sgn(n) < 0) fail("Indice inexistente na funcao strenprim.");
                setText(out, a, 0, clampCount(n, a.size()));
                return out;
            },
            [&](const E_StrNResto& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.first, m, d);
                const Integer& n = evalIntArg(*x.second, m, d + 1);
                if (sgn(n) < 0) fail("Indice inexistente na funcao strnresto.");
                setText(out, a, clampCount(n, a.size()), Text::npos);
                return out;
            },
            [&](const E_StrUlt& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.arg, m, d);
                if (a.empty()) fail("String vazia na funcao strult.");
                setText(out, a, a.size() - 1, 1);
                return out;
            },
            [&](const E_StrCopia& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.arg, m, d);
                setText(out, a, 0, Text::npos);
                return out;
            },
            [&](const E_StrPrim& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.arg, m, d);
                if (a.empty()) fail("String vazia na funcao strprim.");
                setText(out, a, 0, 1);
                return out;
            },
            [&](const E_StrCalda& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.arg, m, d);
                if (a.empty()) fail("String vazia na funcao strresto.");
                setText(out, a, 1, Text::npos);
                return out;
            },
            [&](const E_StrElem& x) -> const MemValue& {
                const Text& a = evalStrArg(*x.first, m, d);
                const Integer& i = evalIntArg(*x.second, m, d + 1);
                if (sgn(i) >= 0 && clampCount(i, a.size()) >= a.size())
                    fail("String com tamanho inferior ao indice na funcao strelem.");
                if (sgn(i) < 0) fail("Indice inexistente na funcao strelem.");
                setText(out, a, mpz_get_ui(i.get_mpz_t()), 1);
                return out;
            },
            [&](const E_RaizQuad& x) -> const MemValue& {
                double v = realArg(*x.arg, m, d);
                if (!(v >= 0.0)) fail("Numero negativo na funcao raiz.");
                return real(std::sqrt(v));
            },
            [&](const E_Seno& x) -> const MemValue& { return real(std::sin(realArg(*x.arg, m, d))); },
            [&](const E_Coseno& x) -> const MemValue& { return real(std::cos(realArg(*x.arg, m, d))); },
            [&](const E_Tangente& x) -> const MemValue& { return real(std::tan(realArg(*x.arg, m, d))); },
            [&](const E_Exp& x) -> const MemValue& { return real(std::exp(realArg(*x.arg, m, d))); },
            [&](const E_Log& x) -> const MemValue& {
                double v = realArg(*x.arg, m, d);
                if (!(v >= 0.0)) fail("Numero negativo na funcao log.");
                return real(std::log(v));
            },
            [&](const E_Pi&) -> const MemValue& { return real(kPi); },
            [&](const E_Abs& x) -> const MemValue& {
                const MemValue& v = evalInto(*x.arg, m, scratch(d, 0), d + 1);
                if (v.v.index() == kInt) {
                    mpz_abs(intCell(out), intOf(v).get_mpz_t());
                    return out;
                }
                if (v.v.index() == kFloat) return real(std::fabs(floatOf(v)));
                fail(internalError(145));
            },
            [&](const E_RealInt& x) -> const MemValue& {
                const MemValue& v = evalInto(*x.arg, m, scratch(d, 0), d + 1);
                if (v.v.index() != kFloat) fail("Erro Interno no. 105.");
                Integer r = roundReal(floatOf(v));
                mpz_swap(intCell(out), r.get_mpz_t());
                return out;
            },
            [&](const E_IntReal& x) -> const MemValue& {
                std::int64_t w;  // a small integer converts in one step (see intToReal)
                if (quickValue(*x.arg, m, w)) return real(static_cast<double>(w));
                return real(realArg(*x.arg, m, d));
            },
            [&](const E_Formatar& x) -> const MemValue& {
                double v = realArg(*x.number, m, d);
                const Integer& n = evalIntArg(*x.count, m, d + 1);
                strCell(out) = form(v, n);
                return out;
            },
        },
        f.v);
}

}  // namespace

namespace detail {

ScratchPool scratchPool;
SpareIntegers spareIntegers;

void ScratchPool::grow(std::size_t i) {
    if (chunks_.empty()) chunks_.emplace_back();  // chunk 0 is first_
    while (size_ <= i) {
        chunks_.push_back(std::make_unique<MemValue[]>(kChunk));
        for (std::size_t k = 0; k < kChunk; ++k) chunks_.back()[k].v.emplace<M_Garbage>();
        size_ += kChunk;
    }
}

const MemValue& factorInto(const Factor& f, const Memory& m, MemValue& out, unsigned d) {
    // Literals and names first: they are most of the factors a program runs.
    switch (f.v.index()) {
        case alt<E_Int, Factor>: setInt(out, as<E_Int>(f)->value); return out;
        case alt<E_Var, Factor>: return varRef(m, *as<E_Var>(f));
        case alt<E_Vector, Factor>: return elementOf(*as<E_Vector>(f), m, d, out);
        case alt<E_Float, Factor>: setFloat(out, as<E_Float>(f)->value); return out;
        default: return computeFactor(f, m, out, d);
    }
}

namespace {

const MemValue& notNode(const Expression& e, const Memory& m, MemValue& out, unsigned d) {
    const MemValue& v = evalInto(*as<E_Nao>(e)->arg, m, scratch(d, 0), d + 1);
    if (v.v.index() != kBool) failOperands();
    setBool(out, !boolOf(v));
    return out;
}

const MemValue& factorNode(const Expression& e, const Memory& m, MemValue& out, unsigned d) {
    return factorInto(*as<E_Factor>(e)->factor, m, out, d);
}

// One entry per alternative of Expression, in the family's order: the
// dispatch is one indexed jump, and each case is a function of its own, so
// that none pays for the registers of another.
using NodeFn = const MemValue& (*)(const Expression&, const Memory&, MemValue&, unsigned);
template <class Alt>
constexpr std::size_t at = alt<Alt, Expression>;
constexpr auto kNodes = [] {
    std::array<NodeFn, std::variant_size_v<decltype(Expression::v)>> t{};
    t[at<E_Factor>] = factorNode;
    t[at<E_Mais>] = node<E_Mais, plusInto, AddWord>;
    t[at<E_Menos>] = node<E_Menos, minusInto, SubWord>;
    t[at<E_Prod>] = node<E_Prod, timesInto, MulWord>;
    t[at<E_Div>] = node<E_Div, divInto>;
    t[at<E_IDiv>] = node<E_IDiv, idivInto, IDivWord>;
    t[at<E_Igual>] = node<E_Igual, eqInto, RelWord<Rel::Eq>>;
    t[at<E_Maior>] = node<E_Maior, gtInto, RelWord<Rel::Gt>>;
    t[at<E_Menor>] = node<E_Menor, ltInto, RelWord<Rel::Lt>>;
    t[at<E_Maiorig>] = node<E_Maiorig, geqInto, RelWord<Rel::Geq>>;
    t[at<E_Menorig>] = node<E_Menorig, leqInto, RelWord<Rel::Leq>>;
    t[at<E_Dif>] = node<E_Dif, neqInto, RelWord<Rel::Neq>>;
    t[at<E_E>] = node<E_E, andInto>;
    t[at<E_Ou>] = node<E_Ou, orInto>;
    t[at<E_Nao>] = notNode;
    t[at<E_Resto>] = node<E_Resto, restoInto, RestoWord>;
    t[at<E_Pot>] = node<E_Pot, potInto>;
    t[at<E_IPot>] = node<E_IPot, ipotInto>;
    return t;
}();
static_assert(std::variant_size_v<decltype(Expression::v)> == 18, "one entry per alternative");

}  // namespace

const MemValue& evalInto(const Expression& e, const Memory& m, MemValue& out, unsigned d) {
    checkStack();
    return kNodes[e.v.index()](e, m, out, d);
}

}  // namespace detail

namespace detail {

namespace {

// One operator node of + - * div %: its operands are quick factors (Inner),
// or quick factors or such nodes (the outer level).  The operands are found
// first and computed by one piece of code, then the operator applies.
template <bool Inner>
bool quickNode(const Expression& e, const Memory& m, std::int64_t& w);

template <bool Inner>
[[gnu::always_inline]] inline bool quickOperand(const Expression& e, const Memory& m, std::int64_t& w) {
    if constexpr (Inner)
        return quickFactor(e, m, w);
    else
        return quickFactor(e, m, w) || quickNode<true>(e, m, w);
}

template <int Tag>
[[gnu::always_inline]] inline void operandsOf(const BinExp<Tag>& n, const Expression*& left, const Expression*& right) {
    left = n.left.get();
    right = n.right.get();
}

template <bool Inner>
bool quickNode(const Expression& e, const Memory& m, std::int64_t& w) {
    const Expression* left;
    const Expression* right = nullptr;
    const Factor* rightFactor = nullptr;
    const std::size_t op = e.v.index();
    switch (op) {
        case alt<E_Mais, Expression>: operandsOf(*as<E_Mais>(e), left, right); break;
        case alt<E_Menos, Expression>: operandsOf(*as<E_Menos>(e), left, right); break;
        case alt<E_Prod, Expression>: operandsOf(*as<E_Prod>(e), left, right); break;
        case alt<E_IDiv, Expression>: operandsOf(*as<E_IDiv>(e), left, right); break;
        case alt<E_Resto, Expression>: {
            const auto& n = *as<E_Resto>(e);
            left = n.left.get();
            rightFactor = n.right.get();
            break;
        }
        default: return false;
    }
    std::int64_t x, y, r;
    if (!quickOperand<Inner>(*left, m, x)) return false;
    if (rightFactor != nullptr ? !quickWord(*rightFactor, m, y) : !quickOperand<Inner>(*right, m, y)) return false;
    bool exact;
    switch (op) {
        case alt<E_Mais, Expression>: exact = WordAdd::apply(x, y, r); break;
        case alt<E_Menos, Expression>: exact = WordSub::apply(x, y, r); break;
        case alt<E_Prod, Expression>: exact = WordMul::apply(x, y, r); break;
        case alt<E_IDiv, Expression>: exact = WordIDiv::apply(x, y, r); break;
        default: exact = WordResto::apply(x, y, r); break;  // E_Resto
    }
    if (!exact || r == INT64_MIN) return false;  // (INT64_MIN is not small)
    w = r;
    return true;
}

}  // namespace

bool quickArith(const Expression& e, const Memory& m, std::int64_t& w) { return quickNode<false>(e, m, w); }

}  // namespace detail

MemValue evalExp(const Expression& exp, const Memory& memory) {
    MemValue out{M_Garbage{}};
    const MemValue& v = evalInto(exp, memory, out, 0);
    if (&v == &out) return out;
    return v;
}

MemValue evalFactor(const Factor& factor, const Memory& memory) {
    checkStack();
    MemValue out{M_Garbage{}};
    const MemValue& v = factorInto(factor, memory, out, 0);
    if (&v == &out) return out;
    return v;
}

namespace {

// A comparison is tested as a truth value, without making a value of it
// first.  (No stack check of its own: it is no deeper than the command that
// tests it, and operands that nest go through evalInto, which checks.)
}  // namespace

bool detail::conditionSlow(const Expression& cond, const Memory& memory) {
    Comparison c;
    if (asComparison(cond, c)) {
        std::int64_t wa, wb;
        const MemValue& a = operand(*c.left, memory, 0, 0);
        if (smallWithLiteral(a, intLiteral(*c.right), wa, wb)) return holdsWords(c.rel, wa, wb);
        const MemValue& b = operand(*c.right, memory, 0, 1);
        if (smallPair(a, b, wa, wb)) return holdsWords(c.rel, wa, wb);
        return relate(c.rel, a, b);
    }
    // Nothing holds the top scratch value between two commands.
    const MemValue& v = evalInto(cond, memory, scratch(0, 0), 1);
    if (v.v.index() == kBool) return boolOf(v);
    return boolOf(evalEq(v, MemValue{M_Boolean{true}}));
}

bool evalCondition(const Expression& cond, const Memory& memory) {
    bool holds;
    if (quickCondition(cond, memory, holds)) return holds;
    return conditionSlow(cond, memory);
}

}  // namespace jox
