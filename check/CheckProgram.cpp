// The program check: the redeclaration pass over the declarations, then the
// walk over the commands in source order.  A command list is walked in a
// loop; only nesting (branches, bodies) recurses, one level per nested list.
#include "check/CheckProgram.h"

#include <cstddef>
#include <string_view>
#include <unordered_map>

#include "check/Declared.h"
#include "syntax/Failure.h"

namespace jox {

namespace {

// Internal error numbers of the checker.
constexpr int kErrUncheckedKind = 120;  // a command kind the parser never builds
constexpr int kErrLeiaTarget = 122;     // a leia target that is no variable
constexpr int kErrParaTarget = 123;     // a para step that has no target

// A vector declared with size zero (the parser reads the size as given).
bool zeroSize(const Variable& v) {
    const auto* vec = std::get_if<Vector>(&v);
    if (!vec || !vec->index) return false;
    const auto* f = std::get_if<E_Factor>(&vec->index->v);
    if (!f) return false;
    const auto* n = std::get_if<E_Int>(&f->factor->v);
    return n && n->value < 1;
}

[[noreturn]] void failZeroSize(const Variable& v) {
    fail("\xCDndice incorreto na declara\xE7\xE3o do vetor " + varName(v) + ".");
}

// Walks the variables in order; for each one, it looks at the variable itself
// and then at each later one until one of the same name turns up, and that
// ends the run with "redeclarada".  A zero-size vector ends the run as soon
// as it is looked at.  So the first variable with a later namesake is the one
// reported, and a zero-size vector wins over it when it is looked at first:
// anywhere in the list when the first variable has no namesake (the first
// step then looks at every variable), among the variables up to the first
// one's namesake otherwise.  Computed in linear time from the first two
// positions of every name.
void checkRedeclarations(const std::vector<Variable>& vars) {
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    struct Seen {
        std::size_t first;
        std::size_t second;
    };
    std::unordered_map<std::string_view, Seen> seen;
    seen.reserve(vars.size());
    std::size_t redeclared = none;  // smallest index with a later namesake
    for (std::size_t i = 0; i < vars.size(); ++i) {
        auto [it, fresh] = seen.try_emplace(varName(vars[i]), Seen{i, none});
        if (!fresh && it->second.second == none) {
            it->second.second = i;
            if (it->second.first < redeclared) redeclared = it->second.first;
        }
    }
    // The last index looked at before the redeclaration would be reported.
    std::size_t lookedUpTo = vars.empty() ? 0 : vars.size() - 1;
    if (redeclared == 0) lookedUpTo = seen.at(varName(vars[0])).second;
    for (std::size_t i = 0; i < vars.size() && i <= lookedUpTo; ++i)
        if (zeroSize(vars[i])) failZeroSize(vars[i]);
    if (redeclared != none) fail("Vari\xE1vel " + varName(vars[redeclared]) + " redeclarada.");
}

class CommandCheck {
public:
    explicit CommandCheck(const Declared& d) : d_(d) {}

    void list(const CmdList& cmds) {
        checkStack();
        for (const CmdPtr& c : cmds) command(*c);
    }

    // One command as a one-command list: its own nesting level.
    void single(const Command& c) {
        checkStack();
        command(c);
    }

private:
    const Declared& d_;

    TypeCheck type(const ExpPtr& e) const { return expType(*e, d_); }

    void condition(const ExpPtr& cond, const char* keyword) {
        if (type(cond) != T_BOOL)
            fail(Text("Tipo incorreto na condi\xE7\xE3o do ") + keyword + ": " + fromExpExp(*cond) +
                 ".");
    }

    // x[i] as the messages show an element target.
    static Text element(const Vector& v) { return v.name + "[" + fromExpExp(*v.index) + "]"; }

    // The target of an assignment, ++ or --: declared, in the right form, with
    // an int index; returns the type its value must have.
    TypeCheck target(const Variable& var) {
        if (const auto* s = std::get_if<Simple>(&var)) {
            TypeCheck t = d_.varType(s->name);
            if (!simpleType(t)) failWrongForm(s->name);
            return t;
        }
        const auto& v = std::get<Vector>(var);
        TypeCheck t = d_.varType(v.name);
        if (!vectorType(t)) failWrongForm(element(v));
        if (type(v.index) != T_INT) fail("\xCDndice incorreto na vari\xE1vel " + element(v) + ".");
        return conv(t);
    }

    static Text shown(const Variable& var) {
        if (const auto* v = std::get_if<Vector>(&var)) return element(*v);
        return varName(var);
    }

    void assignment(const Atrib& a) {
        TypeCheck want = target(a.target);
        if (!equalType(type(a.value), want))
            fail("Tipo incorreto em atribui\xE7\xE3o: " + shown(a.target) + " <- " +
                 fromExpExp(*a.value) + ".");
    }

    void step(const Variable& var, const char* word) {
        if (target(var) != T_INT)
            fail(Text("Tipo incorreto em ") + word + " da variavel " + shown(var) + ".");
    }

    void read(const E_Leia& r) {
        const auto* f = std::get_if<E_Factor>(&r.target->v);
        if (f) {
            if (const auto* x = std::get_if<E_Var>(&f->factor->v)) {
                TypeCheck t = d_.varType(x->name);
                if (!simpleType(t)) failWrongForm(x->name);
                if (t == T_BOOL)
                    fail("Tipo n\xE3o permitido na leitura da vari\xE1vel " + x->name + ".");
                return;
            }
            if (const auto* x = std::get_if<E_Vector>(&f->factor->v)) {
                Vector v{x->name, x->index};
                TypeCheck t = d_.varType(x->name);
                if (!vectorType(t)) failWrongForm(element(v));
                if (type(x->index) != T_INT)
                    fail("Indice incorreto na leitura do vetor " + element(v) + ".");
                if (t == T_BOOLVECTOR)
                    fail("Tipo n\xE3o permitido na leitura da vari\xE1vel " + element(v) + ".");
                return;
            }
        }
        fail(internalError(kErrLeiaTarget));
    }

    void print(const E_Imprima& p) {
        for (const ExpPtr& e : p.items) {
            TypeCheck t = type(e);
            if (t != T_INT && t != T_REAL && t != T_STRING)
                fail("Tipo n\xE3o permitido em impress\xE3o: " + fromExpExp(*e) + ".");
        }
    }

    void para(const E_Para& p) {
        TypeCheck limit = type(p.cond);
        if (limit != T_BOOL) fail("Tipo incorreto em limite final " + fromExpExp(*p.cond) + ".");
        const auto* init = std::get_if<Atrib>(&p.init->v);
        if (!init) fail("Implementacao invalida na inicializacao da funcao para.");
        if (const auto* s = std::get_if<Simple>(&init->target)) {
            if (d_.varType(s->name) != T_INT)
                fail("Tipo nao inteiro da variavel " + s->name + " na inicializacao do para.");
        } else {
            const Text& name = varName(init->target);
            if (d_.varType(name) != T_INTVECTOR)
                fail("Tipo nao inteiro do vetor " + name + " na inicializacao do para.");
        }
        single(*p.init);
        checkForVar(*p.init, *p.step);
        single(*p.step);
        list(p.body);
    }

    void command(const Command& c) {
        std::visit(overloaded{
                       [&](const Atrib& x) { assignment(x); },
                       [&](const E_Se& x) {
                           condition(x.cond, "se");
                           list(x.then);
                       },
                       [&](const E_Senao& x) {
                           condition(x.cond, "senao");
                           list(x.then);
                           list(x.otherwise);
                       },
                       [&](const E_Enquanto& x) {
                           condition(x.cond, "enquanto");
                           list(x.body);
                       },
                       // The condition first, although the body comes first
                       // in the source.
                       [&](const E_Faca& x) {
                           condition(x.cond, "faca");
                           list(x.body);
                       },
                       [&](const E_Para& x) { para(x); },
                       [&](const E_Leia& x) { read(x); },
                       [&](const E_Imprima& x) { print(x); },
                       [&](const E_Incr& x) { step(x.target, "incremento"); },
                       [&](const E_Decr& x) { step(x.target, "decremento"); },
                       [&](const E_Saia&) {},
                       [&](const E_Continue&) {},
                       [&](const E_Pare&) {},
                       [&](const auto&) { fail(internalError(kErrUncheckedKind)); },
                   },
                   c.v);
    }
};

// The target of a para's initialisation or step.
const Variable& paraTarget(const Command& c) {
    if (const auto* a = std::get_if<Atrib>(&c.v)) return a->target;
    if (const auto* i = std::get_if<E_Incr>(&c.v)) return i->target;
    if (const auto* d = std::get_if<E_Decr>(&c.v)) return d->target;
    fail(internalError(kErrParaTarget));
}

}  // namespace

Text checkForVar(const Command& init, const Command& step) {
    const Variable& a = paraTarget(init);
    const Variable& b = paraTarget(step);
    if (varName(a) == varName(b)) return varName(a);
    bool vectors = std::holds_alternative<Vector>(a) && std::holds_alternative<Vector>(b);
    fail(Text(vectors ? "Vetores " : "Variaveis ") + varName(b) + " e " + varName(a) +
         " diferentes no comando para.");
}

DeclList checkCmdType(const CmdList& cmds, const DeclList& decls) {
    Declared d(decls);
    CommandCheck(d).list(cmds);
    return decls;
}

DeclList checkProgram(const Program& program) {
    checkRedeclarations(removeVar(program.decls));
    return checkCmdType(program.cmds, program.decls);
}

}  // namespace jox
