// Compiling the built-in functions: the numeric ones (raiz, sen, cos, tan,
// exp, log, abs, realint, intreal, formatar) and the text ones (strtam,
// strconcat, strcomp, strnprim, strnresto, strult, strcopia, strprim,
// strresto, strelem).
#include <cmath>

#include "check/ValueText.h"
#include "eval/Compile.h"

namespace jox {

namespace {

// ------------------------------------------------------- numeric functions
struct Sqrt {
    static double apply(double x) {
        if (!(x >= 0.0)) fail("Numero negativo na funcao raiz.");
        return std::sqrt(x);
    }
};
struct Sin {
    static double apply(double x) { return std::sin(x); }
};
struct Cos {
    static double apply(double x) { return std::cos(x); }
};
struct Tan {
    static double apply(double x) { return std::tan(x); }
};
struct Exp {
    static double apply(double x) { return std::exp(x); }
};
struct Abs {
    static double apply(double x) { return std::fabs(x); }
};
struct Log {
    static double apply(double x) {
        if (!(x >= 0.0)) fail("Numero negativo na funcao log.");
        return std::log(x);
    }
};

template <class F, class Operand>
struct RealFunction {
    Operand operand;
    double operator()() { return F::apply(operand()); }
};

struct IntAbs final : IntNode {
    explicit IntAbs(IntNode* n) : arg(n) {}
    IntVal eval() override { return intAbs(arg->eval(), out); }
    IntNode* arg;
    Integer out;
};

struct Round final : IntNode {
    explicit Round(RealNode* n) : arg(n) {}
    IntVal eval() override { return roundReal(arg->eval(), out); }
    RealNode* arg;
    Integer out;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// formatar: the value text of x cut (never rounded) to n digits after the
// point, padded with zeros.
void form(double x, IntVal n, Text& out) {
    Text t = realText(x);
    std::size_t d = 0;
    while (d < t.size() && isDigit(t[d])) ++d;
    if (d >= t.size() || t[d] != '.') fail("Numero invalido na funcao formatar.");
    std::size_t f = d + 1;
    while (f < t.size() && isDigit(t[f])) ++f;
    if (intCompare(n, IntVal{0}) <= 0) fail("Indice incorreto na funcao formatar.");
    if (!n.isWord()) throw std::bad_alloc();
    auto count = static_cast<std::size_t>(n.word);
    checkAffordable(count, 1);
    checkAffordable(d + 1 + count, 1);
    out.clear();
    out.reserve(d + 1 + count);
    out.append(t, 0, d + 1);
    std::size_t have = f - (d + 1);
    std::size_t take = have < count ? have : count;
    out.append(t, d + 1, take);
    out.append(count - take, '0');
}

struct Formatar final : TextNode {
    Formatar(RealNode* x, IntNode* n) : number(x), count(n) {}
    const Text& eval() override {
        double x = number->eval();
        form(x, count->eval(), out);
        return out;
    }
    RealNode* number;
    IntNode* count;
    Text out;
};

// ---------------------------------------------------------- text functions
// min(n, limit) for a non-negative n.
std::size_t clamp(IntVal n, std::size_t limit) {
    if (!n.isWord() || static_cast<std::uint64_t>(n.word) > limit) return limit;
    return static_cast<std::size_t>(n.word);
}

bool negative(IntVal n) { return intCompare(n, IntVal{0}) < 0; }

struct StrLength final : IntNode {
    explicit StrLength(TextNode* a) : text(a) {}
    IntVal eval() override { return {static_cast<std::int64_t>(text->eval().size())}; }
    TextNode* text;
};

struct StrConcat final : TextNode {
    StrConcat(TextNode* a, TextNode* b) : first(a), second(b) {}
    const Text& eval() override {
        const Text& a = first->eval();
        const Text& b = second->eval();
        checkAffordable(a.size() + b.size(), 1);
        out.reserve(a.size() + b.size());
        out.assign(a).append(b);
        return out;
    }
    TextNode* first;
    TextNode* second;
    Text out;
};

struct StrCompare final : TextNode {
    StrCompare(TextNode* a, TextNode* b) : first(a), second(b) {}
    const Text& eval() override {
        static const Text greater = "maior", less = "menor", equal = "igual";
        const Text& a = first->eval();
        int c = a.compare(second->eval());
        return c > 0 ? greater : c < 0 ? less : equal;
    }
    TextNode* first;
    TextNode* second;
};

// A function of a text and a count or position.
template <class F>
struct TextAndCount final : TextNode {
    TextAndCount(TextNode* a, IntNode* n) : text(a), count(n) {}
    const Text& eval() override {
        const Text& a = text->eval();
        F::apply(a, count->eval(), out);
        return out;
    }
    TextNode* text;
    IntNode* count;
    Text out;
};
struct NPrim {
    static void apply(const Text& a, IntVal n, Text& out) {
        if (negative(n)) fail("Indice inexistente na funcao strenprim.");
        out.assign(a, 0, clamp(n, a.size()));
    }
};
struct NResto {
    static void apply(const Text& a, IntVal n, Text& out) {
        if (negative(n)) fail("Indice inexistente na funcao strnresto.");
        out.assign(a, clamp(n, a.size()), Text::npos);
    }
};
struct Elem {
    static void apply(const Text& a, IntVal i, Text& out) {
        if (!negative(i) && clamp(i, a.size()) >= a.size())
            fail("String com tamanho inferior ao indice na funcao strelem.");
        if (negative(i)) fail("Indice inexistente na funcao strelem.");
        out.assign(1, a[static_cast<std::size_t>(i.word)]);
    }
};

// A function of one text.
template <class F>
struct TextOfText final : TextNode {
    explicit TextOfText(TextNode* a) : text(a) {}
    const Text& eval() override { return F::apply(text->eval(), out); }
    TextNode* text;
    Text out;
};
struct Last {
    static const Text& apply(const Text& a, Text& out) {
        if (a.empty()) fail("String vazia na funcao strult.");
        out.assign(1, a.back());
        return out;
    }
};
struct Copy {
    static const Text& apply(const Text& a, Text&) { return a; }
};
struct First {
    static const Text& apply(const Text& a, Text& out) {
        if (a.empty()) fail("String vazia na funcao strprim.");
        out.assign(1, a[0]);
        return out;
    }
};
struct Rest {
    static const Text& apply(const Text& a, Text& out) {
        if (a.empty()) fail("String vazia na funcao strresto.");
        out.assign(a, 1, Text::npos);
        return out;
    }
};

}  // namespace

// ------------------------------------------------------------------ calls
Code ExpCompiler::builtin(const Factor& f) {
    // A function of a real: the argument is compiled as a real first.
    auto ofReal = [&]<class F>(const Code& x) {
        if (x.kind != Kind::Real) return x;
        return std::visit([&](auto o) { return fromOperand<Kind::Real>(RealFunction<F, decltype(o)>{o}); },
                          operand<Kind::Real>(x));
    };
    return std::visit(
        overloaded{
            [&](const E_RaizQuad& x) { return ofReal.template operator()<Sqrt>(realArgument(expression(*x.arg))); },
            [&](const E_Seno& x) { return ofReal.template operator()<Sin>(realArgument(expression(*x.arg))); },
            [&](const E_Coseno& x) { return ofReal.template operator()<Cos>(realArgument(expression(*x.arg))); },
            [&](const E_Tangente& x) { return ofReal.template operator()<Tan>(realArgument(expression(*x.arg))); },
            [&](const E_Exp& x) { return ofReal.template operator()<Exp>(realArgument(expression(*x.arg))); },
            [&](const E_Log& x) { return ofReal.template operator()<Log>(realArgument(expression(*x.arg))); },
            [&](const E_IntReal& x) { return realArgument(expression(*x.arg)); },
            [&](const E_Abs& x) {
                Code v = expression(*x.arg);
                if (v.kind == Kind::Int) return computed(Kind::Int, arena_.make<IntAbs>(nodeOf<Kind::Int>(v)));
                if (v.kind == Kind::Real) return ofReal.template operator()<Abs>(v);
                if (v.kind == Kind::None) return v;
                return failing({v}, internalMessage(kAbsOperand));
            },
            [&](const E_RealInt& x) {
                Code v = expression(*x.arg);
                if (v.kind == Kind::Real) return computed(Kind::Int, arena_.make<Round>(nodeOf<Kind::Real>(v)));
                if (v.kind == Kind::None) return v;
                return failing({v}, "Erro Interno no. 105.");
            },
            [&](const E_Formatar& x) {
                Code number = realArgument(expression(*x.number));
                if (number.kind == Kind::None) return number;
                Code count = countArgument(*x.count);
                if (count.kind == Kind::None) return failing({number, count}, internalMessage(kOperands));
                return computed(Kind::Text,
                                arena_.make<Formatar>(nodeOf<Kind::Real>(number), nodeOf<Kind::Int>(count)));
            },
            [&](const auto&) { return textFunction(f); },
        },
        f.v);
}

// The argument of a numeric function, as a real.
Code ExpCompiler::realArgument(const Code& arg) {
    if (arg.kind == Kind::None) return arg;
    if (!numeric(arg.kind)) return failing({arg}, "Erro Interno no. 106.");
    return toReal(arg);
}

// A text argument: a text literal, or a variable or element holding a text.
Code ExpCompiler::textArgument(const Factor& arg) {
    auto mustBeText = [&](const Code& v) {
        if (v.kind == Kind::None || v.kind == Kind::Text) return v;
        return failing({v}, "Erro Interno no. 108.");
    };
    return std::visit(overloaded{
                          [&](const E_Str&) { return factor(arg); },
                          [&](const E_Var& x) { return mustBeText(variable(x.name)); },
                          [&](const E_Vector& x) { return mustBeText(element(x.name, expression(*x.index))); },
                          [&](const auto&) { return failing({}, "Erro Interno no. 107."); },
                      },
                      arg.v);
}

// A count or position argument: an integer literal, or a variable or element
// holding an integer.  Its value stays unbounded: the range checks compare
// it as it is.
Code ExpCompiler::countArgument(const Factor& arg) {
    auto mustBeInt = [&](const Code& v) {
        if (v.kind == Kind::None || v.kind == Kind::Int) return v;
        return failing({v}, "Erro Interno no. 110.");
    };
    return std::visit(overloaded{
                          [&](const E_Int&) { return factor(arg); },
                          [&](const E_Var& x) { return mustBeInt(variable(x.name)); },
                          [&](const E_Vector& x) { return mustBeInt(element(x.name, expression(*x.index))); },
                          [&](const auto&) { return failing({}, "Argumento com valor invalido."); },
                      },
                      arg.v);
}

Code ExpCompiler::textFunction(const Factor& f) {
    // Two arguments: the first completely (its checks included), then the
    // second.
    auto two = [&]<class Make>(const Code& a, const Code& b, Make make) {
        if (a.kind == Kind::None) return a;
        if (b.kind == Kind::None) return failing({a, b}, internalMessage(kOperands));
        return make();
    };
    auto text = [&](const Code& c) { return nodeOf<Kind::Text>(c); };
    auto count = [&](const Code& c) { return nodeOf<Kind::Int>(c); };
    auto ofText = [&]<class F>(const FactorPtr& arg) {
        Code a = textArgument(*arg);
        if (a.kind == Kind::None) return a;
        return computed(Kind::Text, arena_.make<TextOfText<F>>(text(a)));
    };
    auto withCount = [&]<class F>(const FactorPtr& first, const FactorPtr& second) {
        Code a = textArgument(*first);
        if (a.kind == Kind::None) return a;
        Code n = countArgument(*second);
        return two(a, n, [&] { return computed(Kind::Text, arena_.make<TextAndCount<F>>(text(a), count(n))); });
    };
    return std::visit(
        overloaded{
            [&](const E_StrComp& x) {
                Code a = textArgument(*x.arg);
                if (a.kind == Kind::None) return a;
                return computed(Kind::Int, arena_.make<StrLength>(text(a)));
            },
            [&](const E_StrConcat& x) {
                Code a = textArgument(*x.first);
                if (a.kind == Kind::None) return a;
                Code b = textArgument(*x.second);
                return two(a, b, [&] { return computed(Kind::Text, arena_.make<StrConcat>(text(a), text(b))); });
            },
            [&](const E_StrCompara& x) {
                Code a = textArgument(*x.first);
                if (a.kind == Kind::None) return a;
                Code b = textArgument(*x.second);
                return two(a, b, [&] { return computed(Kind::Text, arena_.make<StrCompare>(text(a), text(b))); });
            },
            [&](const E_StrNPrim& x) { return withCount.template operator()<NPrim>(x.first, x.second); },
            [&](const E_StrNResto& x) { return withCount.template operator()<NResto>(x.first, x.second); },
            [&](const E_StrElem& x) { return withCount.template operator()<Elem>(x.first, x.second); },
            [&](const E_StrUlt& x) { return ofText.template operator()<Last>(x.arg); },
            [&](const E_StrCopia& x) { return ofText.template operator()<Copy>(x.arg); },
            [&](const E_StrPrim& x) { return ofText.template operator()<First>(x.arg); },
            [&](const E_StrCalda& x) { return ofText.template operator()<Rest>(x.arg); },
            [&](const auto&) { return failing({}, internalMessage(kOperands)); },  // (every factor is covered)
        },
        f.v);
}

}  // namespace jox
