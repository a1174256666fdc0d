// Compiling expressions: names, literals, signs and operators.  (The
// built-in functions are in Builtins.cpp.)
#include <utility>

#include "eval/Compile.h"
#include "eval/Operations.h"

namespace jox {

namespace {

// Every this many levels of nesting, an expression checks the stack.
constexpr unsigned kGuardEvery = 32;

const double kPi = 3.141592653589793;

// The element of a vector that has never been given a value, nor a type:
// the bounds are checked all the same.
struct UnsetElement final : Node {
    UnsetElement(IntNode* i, std::size_t c, const Text* n) : index(i), count(c), name(n) {}
    void evaluate() override {
        IntVal i = index->eval();
        std::size_t at;
        if (!inBounds(i, count, at)) failOutOfBounds(*name, i);
        failUnsetElement(*name, i);
    }
    IntNode* index;
    std::size_t count;
    const Text* name;
};

// The operations of one operand: -i, -x and !b.
template <class Operand>
struct IntNeg {
    Operand operand;
    IntRegister out = {};
    IntVal operator()() { return intNeg(operand(), out.value); }
};

template <class Operand>
struct RealNeg {
    Operand operand;
    double operator()() { return -operand(); }
};

template <class Operand>
struct Not {
    Operand operand;
    bool operator()() { return !operand(); }
};

}  // namespace

// ------------------------------------------------------------------ codes
Code ExpCompiler::computed(Kind kind, Node* node) {
    Code c;
    c.kind = kind;
    c.node = node;
    return c;
}

Code ExpCompiler::intLiteral(std::int64_t word) {
    Code c;
    c.kind = Kind::Int;
    c.form = Code::Form::Literal;
    c.word = word;
    return c;
}

namespace {

Code realLiteral(double value) {
    Code c;
    c.kind = Kind::Real;
    c.form = Code::Form::Literal;
    c.real = value;
    return c;
}

}  // namespace

Code ExpCompiler::failing(const std::vector<Code>& first, const std::string& message) {
    std::vector<Node*> nodes;
    for (const Code& c : first) {
        nodes.push_back(node(c));
        if (c.kind == Kind::None) break;  // it ends the run: what follows is never reached
    }
    return computed(Kind::None, arena_.make<Failing>(std::move(nodes), message));
}

Node* ExpCompiler::node(const Code& code) {
    switch (code.kind) {
        case Kind::Int: return nodeOf<Kind::Int>(code);
        case Kind::Real: return nodeOf<Kind::Real>(code);
        case Kind::Bool: return nodeOf<Kind::Bool>(code);
        case Kind::Text: return nodeOf<Kind::Text>(code);
        case Kind::None: break;
    }
    return code.node;
}

template <Kind K>
NodeOf<K>* ExpCompiler::nodeOf(const Code& code) {
    if (code.kind == Kind::None) return arena_.make<Ends<K>>(code.node);
    if (code.form == Code::Form::Computed) return static_cast<NodeOf<K>*>(code.node);
    return std::visit([&](auto o) -> NodeOf<K>* { return arena_.make<OperandNode<K, decltype(o)>>(o); },
                      operand<K>(code));
}

template <Kind K>
Operand<K> ExpCompiler::operand(const Code& code) {
    if (code.form == Code::Form::Variable) {
        const auto& store = code.slot->as<K>();
        const Text* name = &code.slot->name;
        if constexpr (K == Kind::Int) return Var<K>{&store, store.cell(0), name};
        if constexpr (K == Kind::Real || K == Kind::Bool) return Var<K>{store.cell(0), name};
        if constexpr (K == Kind::Text) return Var<K>{&store, name};
    }
    if (code.form == Code::Form::Literal) {
        if constexpr (K == Kind::Int) return Lit<K>{code.word};
        if constexpr (K == Kind::Real) return Lit<K>{code.real};
        if constexpr (K == Kind::Bool) return Lit<K>{code.truth};
        if constexpr (K == Kind::Text) return Lit<K>{code.text};
    }
    return Eval<K>{nodeOf<K>(code)};
}

template NodeOf<Kind::Int>* ExpCompiler::nodeOf<Kind::Int>(const Code&);
template NodeOf<Kind::Real>* ExpCompiler::nodeOf<Kind::Real>(const Code&);
template NodeOf<Kind::Bool>* ExpCompiler::nodeOf<Kind::Bool>(const Code&);
template NodeOf<Kind::Text>* ExpCompiler::nodeOf<Kind::Text>(const Code&);
template Operand<Kind::Int> ExpCompiler::operand<Kind::Int>(const Code&);
template Operand<Kind::Real> ExpCompiler::operand<Kind::Real>(const Code&);
template Operand<Kind::Bool> ExpCompiler::operand<Kind::Bool>(const Code&);
template Operand<Kind::Text> ExpCompiler::operand<Kind::Text>(const Code&);

template <Kind K>
Code ExpCompiler::guarded(NodeOf<K>* node) {
    return computed(K, arena_.make<StackGuard<K>>(node));
}

// ------------------------------------------------------------ expressions
Code ExpCompiler::expression(const Expression& exp) {
    checkStack();
    ++depth_;
    Code c = std::visit(
        overloaded{
            [&](const E_Factor& x) { return factor(*x.factor); },
            [&](const E_Mais& x) { return operation<Add>(x); },
            [&](const E_Menos& x) { return operation<Sub>(x); },
            [&](const E_Prod& x) { return operation<Mul>(x); },
            [&](const E_Div& x) { return operation<RealDiv>(x); },
            [&](const E_IDiv& x) { return operation<IntDiv>(x); },
            [&](const E_Igual& x) { return operation<Compare<Rel::Eq>>(x); },
            [&](const E_Maior& x) { return operation<Compare<Rel::Gt>>(x); },
            [&](const E_Menor& x) { return operation<Compare<Rel::Lt>>(x); },
            [&](const E_Maiorig& x) { return operation<Compare<Rel::Geq>>(x); },
            [&](const E_Menorig& x) { return operation<Compare<Rel::Leq>>(x); },
            [&](const E_Dif& x) { return operation<Compare<Rel::Neq>>(x); },
            [&](const E_E& x) { return operation<And>(x); },
            [&](const E_Ou& x) { return operation<Or>(x); },
            [&](const E_Nao& x) { return negation(expression(*x.arg)); },
            [&](const E_Resto& x) { return operation<Mod>(x); },
            [&](const E_Pot& x) { return operation<RealPow>(x); },
            [&](const E_IPot& x) { return operation<IntPow>(x); },
        },
        exp.v);
    if (depth_-- % kGuardEvery != 0 || c.form != Code::Form::Computed) return c;
    switch (c.kind) {
        case Kind::Int: return guarded<Kind::Int>(static_cast<IntNode*>(c.node));
        case Kind::Real: return guarded<Kind::Real>(static_cast<RealNode*>(c.node));
        case Kind::Bool: return guarded<Kind::Bool>(static_cast<BoolNode*>(c.node));
        case Kind::Text: return guarded<Kind::Text>(static_cast<TextNode*>(c.node));
        case Kind::None: return computed(Kind::None, arena_.make<FailingGuard>(c.node));
    }
    return c;
}

// An operator node: the left operand, then the right one (an expression, or
// a factor for %, ** and ^), then the operation.
template <class Op, class N>
Code ExpCompiler::operation(const N& x) {
    Code left = expression(*x.left);
    Code right;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(x.right)>, ExpPtr>)
        right = expression(*x.right);
    else
        right = factor(*x.right);
    return binary<Op>(left, right);
}

Code ExpCompiler::negation(const Code& value) {
    if (value.kind == Kind::None) return value;
    if (value.kind != Kind::Bool) return failing({value}, internalMessage(kOperands));
    return std::visit([&](auto o) { return fromOperand<Kind::Bool>(Not<decltype(o)>{o}); }, operand<Kind::Bool>(value));
}

// -------------------------------------------------------------- operators
namespace {

// Both operands as the operands of one node type: variables and literals are
// read in place for integers and reals; texts and truth values take nodes.
template <Kind K, class Make>
Code withOperands(ExpCompiler& c, const Code& a, const Code& b, Make make) {
    if constexpr (K == Kind::Int || K == Kind::Real)
        return std::visit(make, c.operand<K>(a), c.operand<K>(b));
    else
        return make(Eval<K>{c.nodeOf<K>(a)}, Eval<K>{c.nodeOf<K>(b)});
}

}  // namespace

template <class Op>
Code ExpCompiler::binary(const Code& left, const Code& right) {
    if (left.kind == Kind::None) return left;  // it ends the run before the right operand
    Rule rule = Op::rule(left.kind, right.kind);
    if (right.kind == Kind::None || rule == Rule::None) return failing({left, right}, internalMessage(kOperands));
    return apply<Op>(rule, left, right);
}

template <class Op>
Code ExpCompiler::apply(Rule rule, const Code& a, const Code& b) {
    switch (rule) {
        case Rule::Ints:
            if constexpr (requires(Integer& o) { Op::ints(IntVal{}, IntVal{}, o); })
                return withOperands<Kind::Int>(*this, a, b, [&](auto l, auto r) {
                    return fromOperand<Kind::Int>(IntOp<Op, decltype(l), decltype(r)>{l, r});
                });
            else if constexpr (requires { Op::ints(IntVal{}, IntVal{}); })
                return withOperands<Kind::Int>(*this, a, b, [&](auto l, auto r) {
                    return fromOperand<Kind::Bool>(TruthOp<Op, Kind::Int, decltype(l), decltype(r)>{l, r});
                });
            break;
        case Rule::Reals:
            if constexpr (requires { Op::reals(0.0, 0.0); }) {
                Code x = toReal(a), y = toReal(b);
                if constexpr (std::is_same_v<decltype(Op::reals(0.0, 0.0)), bool>)
                    return withOperands<Kind::Real>(*this, x, y, [&](auto l, auto r) {
                        return fromOperand<Kind::Bool>(TruthOp<Op, Kind::Real, decltype(l), decltype(r)>{l, r});
                    });
                else
                    return withOperands<Kind::Real>(*this, x, y, [&](auto l, auto r) {
                        return fromOperand<Kind::Real>(RealOp<Op, decltype(l), decltype(r)>{l, r});
                    });
            }
            break;
        case Rule::RoundedReals:
            if constexpr (requires(Integer& o) { Op::roundedReals(0.0, 0.0, o); }) {
                Code x = toReal(a), y = toReal(b);
                return withOperands<Kind::Real>(*this, x, y, [&](auto l, auto r) {
                    return fromOperand<Kind::Int>(RoundedOp<Op, decltype(l), decltype(r)>{l, r});
                });
            }
            break;
        case Rule::Texts:
            if constexpr (requires { Op::texts(Text{}, Text{}); })
                return withOperands<Kind::Text>(*this, a, b, [&](auto l, auto r) {
                    return fromOperand<Kind::Bool>(TruthOp<Op, Kind::Text, decltype(l), decltype(r)>{l, r});
                });
            break;
        case Rule::Bools:
            if constexpr (requires { Op::bools(false, false); })
                return withOperands<Kind::Bool>(*this, a, b, [&](auto l, auto r) {
                    return fromOperand<Kind::Bool>(TruthOp<Op, Kind::Bool, decltype(l), decltype(r)>{l, r});
                });
            break;
        case Rule::None: break;
    }
    return failing({a, b}, internalMessage(kOperands));
}

template Code ExpCompiler::binary<Add>(const Code&, const Code&);
template Code ExpCompiler::binary<Sub>(const Code&, const Code&);

// The value of an integer or real code as a real.
Code ExpCompiler::toReal(const Code& code) {
    if (code.kind != Kind::Int) return code;
    if (code.form == Code::Form::Literal) return realLiteral(static_cast<double>(code.word));
    return std::visit([&](auto o) { return fromOperand<Kind::Real>(RealOf<decltype(o)>{o}); }, operand<Kind::Int>(code));
}

// ---------------------------------------------------------------- factors
namespace {

Code integerLiteral(const Integer& value, Arena& arena) {
    if (value.fits_slong_p()) return ExpCompiler::intLiteral(value.get_si());
    Code c;
    c.kind = Kind::Int;
    c.node = arena.make<BigLiteral>(value);
    return c;
}

}  // namespace

Code ExpCompiler::factor(const Factor& f) {
    checkStack();
    return std::visit(
        overloaded{
            [&](const E_Int& x) { return integerLiteral(x.value, arena_); },
            [&](const E_Boolean& x) {
                Code c;
                c.kind = Kind::Bool;
                c.form = Code::Form::Literal;
                c.truth = x.value;
                return c;
            },
            [&](const E_Var& x) { return variable(x.name); },
            [&](const E_Vector& x) { return element(x.name, expression(*x.index)); },
            [&](const E_Float& x) { return realLiteral(x.value); },
            [&](const E_Str& x) {
                Code c;
                c.kind = Kind::Text;
                c.form = Code::Form::Literal;
                c.text = &x.value;
                return c;
            },
            [&](const E_Par& x) { return expression(*x.arg); },
            [&](const E_Pos& x) { return sign(*x.arg, false); },
            [&](const E_Neg& x) { return sign(*x.arg, true); },
            [&](const E_Pi&) { return realLiteral(kPi); },
            [&](const auto&) { return builtin(f); },
        },
        f.v);
}

Code ExpCompiler::variable(const Text& name) {
    std::size_t i = memory_.find(name);
    if (i == Memory::npos) return failing({}, internalMessage(kNoSuchVariable));
    const Slot& slot = memory_.slot(i);
    if (slot.vector) return failing({}, internalMessage(kWholeVector));
    if (!slot.typed()) return failing({}, unsetMessage(name));  // never given a value
    Code c;
    c.kind = slot.kind();
    c.form = Code::Form::Variable;
    c.slot = &slot;
    return c;
}

Code ExpCompiler::element(const Text& name, const Code& index) {
    if (index.kind == Kind::None) return index;
    if (index.kind != Kind::Int) return failing({index}, internalMessage(kIndexNotInteger));
    std::size_t i = memory_.findVector(name);
    if (i == Memory::npos) return failing({index}, internalMessage(kNoSuchVector));
    const Slot& slot = memory_.slot(i);
    auto make = [&]<Kind K>() {
        const auto& store = slot.as<K>();
        return std::visit(
            [&](auto o) { return computed(K, arena_.make<ElementNode<K, decltype(o)>>(&store, o, &slot.name)); },
            operand<Kind::Int>(index));
    };
    if (!slot.typed())
        return computed(Kind::None, arena_.make<UnsetElement>(nodeOf<Kind::Int>(index), slot.count, &slot.name));
    switch (slot.kind()) {
        case Kind::Int: return make.template operator()<Kind::Int>();
        case Kind::Real: return make.template operator()<Kind::Real>();
        case Kind::Bool: return make.template operator()<Kind::Bool>();
        case Kind::Text: return make.template operator()<Kind::Text>();
        case Kind::None: break;
    }
    return failing({index}, internalMessage(kNoSuchVector));
}

// +f and -f look at the form of f, not at its value: a number literal, a
// variable or an element; the value of a variable or an element must be a
// number.
Code ExpCompiler::sign(const Factor& operand, bool negative) {
    return std::visit(
        overloaded{
            [&](const E_Int& x) { return integerLiteral(negative ? Integer(-x.value) : x.value, arena_); },
            [&](const E_Float& x) { return realLiteral(negative ? -x.value : x.value); },
            [&](const E_Var& x) { return signedValue(variable(x.name), x.name, negative); },
            [&](const E_Vector& x) {
                return signedValue(element(x.name, expression(*x.index)), x.name, negative);
            },
            [&](const auto&) {
                return failing({}, negative ? "Operador negativo atribuido incorretamente. "
                                            : "Operador positivo atribuido incorretamente. ");
            },
        },
        operand.v);
}

Code ExpCompiler::signedValue(const Code& value, const Text& name, bool negative) {
    switch (value.kind) {
        case Kind::None: return value;
        case Kind::Int:
            if (!negative) return value;
            return std::visit([&](auto o) { return fromOperand<Kind::Int>(IntNeg<decltype(o)>{o}); },
                              operand<Kind::Int>(value));
        case Kind::Real:
            if (!negative) return value;
            return std::visit([&](auto o) { return fromOperand<Kind::Real>(RealNeg<decltype(o)>{o}); },
                              operand<Kind::Real>(value));
        default:
            return failing({value}, (negative ? "Operador negativo atribuido incorretamente a variavel "
                                              : "Operador positivo atribuido incorretamente a variavel ") +
                                        name + ".");
    }
}

}  // namespace jox
