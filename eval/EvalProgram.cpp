// Command execution on the console, the loop runners and the program run.
#include "eval/EvalProgram.h"

#include <cstdint>
#include <cstdio>

#include "check/CheckProgram.h"
#include "check/ValueText.h"
#include "eval/EvalInternal.h"
#include "eval/Output.h"
#include "syntax/Failure.h"

namespace jox {

using namespace detail;

namespace {

// What one command leaves behind: the mode, and whether the rest of its list
// is skipped.
struct Outcome {
    Mode mode;
    bool leave;
};

MemValue& top(unsigned which) { return scratch(0, which); }

// ++ and -- change the stored integer in place.
[[gnu::noinline]] void stepSlow(Memory& m, const Variable& target, bool up) {
    const MemValue* cell;
    if (const auto* s = std::get_if<Simple>(&target)) {
        cell = &varRef(m, *s);
    } else {
        const auto& x = std::get<Vector>(target);
        const MemValue& index = evalTo(*x.index, m, top(0), 1);
        cell = &elemRef(m, x.name, x.hint, indexOf(index), top(1));
        if (cell == &top(1)) {  // an element of a vector of words
            auto& vec = *std::get_if<M_Vector>(&const_cast<MemValue*>(vectorPlace(m, x.name, x.hint))->v);
            std::size_t i = 0;
            position(indexOf(index), vec.words.size(), i);  // in bounds: it was just read
            std::int64_t r;
            std::int64_t n = vec.words[i];
            if (!(up ? __builtin_add_overflow(n, 1, &r) : __builtin_sub_overflow(n, 1, &r)) && r != kUnsetWord) {
                vec.words[i] = r;
                return;
            }
            unpackWords(vec);
            cell = &vec.elems[i];
        }
    }
    // The cell lives in `m`, which this command may change.
    MemValue& v = const_cast<MemValue&>(*cell);
    if (v.v.index() != kInt) {  // unreachable after the check
        MemValue one{M_Int{1}};
        MemValue r = up ? evalPlus(v, one) : evalMinus(v, one);
        v = std::move(r);
        return;
    }
    mpz_ptr z = as<M_Int>(v)->value.get_mpz_t();
    std::int64_t n, r;
    if (smallOf(z, n) && !(up ? __builtin_add_overflow(n, 1, &r) : __builtin_sub_overflow(n, 1, &r))) {
        setSmall(z, r);
        return;
    }
    if (up)
        mpz_add_ui(z, z, 1);
    else
        mpz_sub_ui(z, z, 1);
}

// A simple variable holding a small integer that stays small is stepped
// where it is; everything else takes the general path.
[[gnu::always_inline]] inline void step(Memory& m, const Variable& target, bool up) {
    if (const auto* s = std::get_if<Simple>(&target)) {
        MemValue* v = m.findPlace(s->name, s->hint);
        std::int64_t n, r;
        if (v != nullptr && wordOf(*v, n) &&
            !(up ? __builtin_add_overflow(n, 1, &r) : __builtin_sub_overflow(n, 1, &r)))
            return setSmall(as<M_Int>(*v)->value.get_mpz_t(), r);
    }
    stepSlow(m, target, up);
}

// The value is computed straight into the cell it is stored in, reusing the
// cell's storage; the cell is written only once every operand has been read.
[[gnu::noinline]] void assignSlow(Memory& m, const Variable& target, const Expression& valueExp) {
    if (const auto* s = std::get_if<Simple>(&target)) {
        MemValue* place = m.findPlace(s->name, s->hint);
        if (place == nullptr) {  // not declared: appended, as evalUpdate does
            evalUpdate(m, s->name, evalExp(valueExp, m));
            return;
        }
        MemValue& cell = *place;
        const MemValue& v = evalTo(valueExp, m, cell, 1);
        if (&v != &cell) copyValue(v, cell);
        return;
    }
    const auto& x = std::get<Vector>(target);
    const MemValue& iv = evalTo(*x.index, m, top(0), 1);  // the index before the value
    const Integer& index = indexOf(iv);
    MemValue* place = m.findPlace(x.name, x.hint);
    auto* vec = place == nullptr ? nullptr : as<M_Vector>(*place);
    std::size_t i;
    if (vec == nullptr || !position(index, elemCount(*vec), i)) {
        // The bounds are checked when the value is stored, after it is
        // computed: a failing value is reported first.
        const MemValue& v = evalTo(valueExp, m, top(1), 1);
        evalVectorUpdate(m, x.name, v, index);
        return;
    }
    if (heldAsWords(*vec)) {
        const MemValue& v = evalTo(valueExp, m, top(1), 1);
        std::int64_t w;
        if (wordOf(v, w)) {
            vec->words[i] = w;
            return;
        }
        unpackWords(*vec);
        copyValue(v, vec->elems[i]);
        return;
    }
    MemValue& cell = vec->elems[i];
    const MemValue& v = evalTo(valueExp, m, cell, 1);
    if (&v != &cell) copyValue(v, cell);
}

// An integer computed as a quick word (see quickValue) is stored at once:
// into a simple variable, or into an element in bounds; the general path
// does the rest.
[[gnu::always_inline]] inline void assign(Memory& m, const Variable& target, const Expression& valueExp) {
    std::int64_t k, w;
    if (const auto* s = std::get_if<Simple>(&target)) {
        MemValue* place = m.findPlace(s->name, s->hint);
        if (place != nullptr && quickSum(valueExp, m, w)) return setInt(*place, w);
    } else {
        const auto& x = *std::get_if<Vector>(&target);
        MemValue* place = m.findPlace(x.name, x.hint);
        auto* vec = place == nullptr ? nullptr : as<M_Vector>(*place);
        if (vec != nullptr && quickValue(*x.index, m, k) && k >= 0 &&
            static_cast<std::uint64_t>(k) < elemCount(*vec) && quickValue(valueExp, m, w)) {
            if (heldAsWords(*vec))
                vec->words[static_cast<std::size_t>(k)] = w;
            else
                setInt(vec->elems[static_cast<std::size_t>(k)], w);
            return;
        }
    }
    assignSlow(m, target, valueExp);
}

// evalCondition, with its quick case inlined into the loop runners.
[[gnu::always_inline]] inline bool testCondition(const Expression& cond, const Memory& m) {
    bool holds;
    if (quickCondition(cond, m, holds)) return holds;
    return conditionSlow(cond, m);
}

// The commands that change one variable and leave the mode as it is: run
// straight from the list runners, without the general command switch.
[[gnu::always_inline]] inline bool runPlain(const Command& c, Memory& m) {
    switch (c.v.index()) {
        case alt<Atrib, Command>: {
            const auto& x = *as<Atrib>(c);
            assign(m, x.target, *x.value);
            return true;
        }
        case alt<E_Incr, Command>: step(m, as<E_Incr>(c)->target, true); return true;
        case alt<E_Decr, Command>: step(m, as<E_Decr>(c)->target, false); return true;
        default: return false;
    }
}

// Rare next to the assignments and loops: kept out of the command switch.
[[gnu::noinline]] void leia(Memory& m, const Expression& target, const DeclList& decls) {
    const auto* ef = as<E_Factor>(target);
    const Factor* f = ef ? ef->factor.get() : nullptr;
    if (const auto* x = f ? std::get_if<E_Var>(&f->v) : nullptr) {
        Text line = readInputLine();
        MemValue value{M_Garbage{}};
        switch (getVarType(x->name, decls)) {
            case T_INT: value = getReadInt(line, x->name); break;
            case T_REAL: value = getReadFloat(line, x->name); break;
            case T_STRING: value = MemValue{M_Str{std::move(line)}}; break;
            default: fail(internalError(104));
        }
        evalUpdate(m, x->name, std::move(value));
        return;
    }
    if (const auto* x = f ? std::get_if<E_Vector>(&f->v) : nullptr) {
        Text line = readInputLine();
        const MemValue& iv = evalTo(*x->index, m, top(0), 1);
        const Integer& index = indexOf(iv);
        MemValue value{M_Garbage{}};
        switch (getVarType(x->name, decls)) {
            case T_INTVECTOR: value = getReadIntVector(line, x->name, *x->index); break;
            case T_REALVECTOR: value = getReadFloatVector(line, x->name, *x->index); break;
            case T_STRINGVECTOR: value = MemValue{M_Str{std::move(line)}}; break;
            default: fail(internalError(109));
        }
        evalVectorUpdate(m, x->name, std::move(value), index);
        return;
    }
    fail(internalError(147));  // a target that is not a variable: refused by the parser
}

// Each value is written as soon as it is computed: a later failing
// expression leaves the earlier values written.
[[gnu::noinline]] void imprima(const Memory& m, const ExpList& items) {
    for (const ExpPtr& e : items) {
        const MemValue& v = evalTo(*e, m, top(0), 1);
        switch (checkMemType(v)) {  // no type for a vector: the checker's internal error
            case T_INT: writeOutput(intText(intOf(v))); break;
            case T_REAL: writeOutput(realText(floatOf(v))); break;
            case T_STRING: writeOutput(strOf(v)); break;
            case T_GARBAGE: failUnset(fromExpExp(*e));
            default: fail("Tipo n\xE3o permitido em impress\xE3o: " + fromExpExp(*e) + ".");
        }
    }
}

Outcome runCommand(const Command& c, Memory& m, const DeclList& decls, long depth, Mode mode);

// evalCmd without its stack check: the loop runners check once for all the
// passes of a body (each pass starts at the same depth) and run the passes
// through this, inlined.
[[gnu::always_inline]] inline Mode runList(const CmdList& cmds, Memory& m, const DeclList& decls,
                                           ControlState state) {
    if (runLimits.onCommandList != nullptr) runLimits.onCommandList();
    Mode mode = state.mode;
    for (const CmdPtr& c : cmds) {
        if (mode == Mode::Exit) return Mode::Exit;
        if (runPlain(*c, m)) continue;
        Outcome o = runCommand(*c, m, decls, state.depth, mode);
        if (o.leave) return o.mode;
        mode = o.mode;
    }
    return mode;
}

// A conditional's branch: "n" leaves the enclosing list too, "c" leaves it
// in mode "s", "s" and "t" carry on.
Outcome afterBranch(Mode r) {
    if (r == Mode::Break) return {Mode::Break, true};
    if (r == Mode::Continue) return {Mode::Normal, true};
    return {r, false};
}

// A one-command list: the initial command and the step of para.
Mode runOne(const Command& c, Memory& m, const DeclList& decls, ControlState st) {
    if (st.mode == Mode::Exit) return Mode::Exit;
    return runCommand(c, m, decls, st.depth, st.mode).mode;
}

Outcome runCommand(const Command& c, Memory& m, const DeclList& decls, long depth, Mode mode) {
    if (runPlain(c, m)) return {mode, false};
    const auto& v = c.v;
    switch (v.index()) {
        case alt<E_Se, Command>: {
            const auto& x = *std::get_if<E_Se>(&v);
            if (!evalCondition(*x.cond, m)) return {mode, false};
            return afterBranch(evalCmd(x.then, m, decls, {depth, mode}));
        }
        case alt<E_Senao, Command>: {
            const auto& x = *std::get_if<E_Senao>(&v);
            const CmdList& branch = evalCondition(*x.cond, m) ? x.then : x.otherwise;
            return afterBranch(evalCmd(branch, m, decls, {depth, mode}));
        }
        case alt<E_Enquanto, Command>: {
            const auto& x = *std::get_if<E_Enquanto>(&v);
            return {execEnquanto(*x.cond, x.body, m, decls, {depth, mode}), false};
        }
        case alt<E_Faca, Command>: {  // the first pass, then the runner
            const auto& x = *std::get_if<E_Faca>(&v);
            Mode first = evalCmd(x.body, m, decls, {depth + 1, mode});
            return {execFaca(x.body, *x.cond, m, decls, {depth, first}), false};
        }
        case alt<E_Para, Command>: {  // the initial command at this depth, then the runner
            const auto& x = *std::get_if<E_Para>(&v);
            Mode afterInit = runOne(*x.init, m, decls, {depth, mode});
            return {execPara(*x.cond, *x.step, x.body, m, decls, {depth, afterInit}), false};
        }
        case alt<E_Leia, Command>:
            leia(m, *std::get_if<E_Leia>(&v)->target, decls);
            return {mode, false};
        case alt<E_Imprima, Command>:
            imprima(m, std::get_if<E_Imprima>(&v)->items);
            return {mode, false};
        case alt<E_Saia, Command>:
            return {Mode::Exit, true};
        case alt<E_Continue, Command>:
            if (depth == 0) fail("Comando continue utilizado em local improprio.");
            return {Mode::Continue, true};
        case alt<E_Pare, Command>:
            if (depth == 0) fail("Comando pare utilizado em local improprio.");
            return {Mode::Break, true};
        default:
            // The para forms of the flowchart and the annotated commands are
            // run by the flowchart run only.
            fail(internalError(146));
    }
}

// The loop shared by enquanto and faca: test, body, test, body ...
Mode loop(const Expression& cond, const CmdList& body, Memory& m, const DeclList& decls,
          ControlState st) {
    checkStack();
    Mode mode = st.mode;
    for (;;) {
        if (mode == Mode::Exit) return Mode::Exit;
        if (mode == Mode::Break) return Mode::Normal;
        if (!testCondition(cond, m)) return Mode::Normal;
        mode = runList(body, m, decls, {st.depth + 1, Mode::Normal});
    }
}

}  // namespace

Mode evalCmd(const CmdList& cmds, Memory& memory, const DeclList& decls, ControlState state) {
    checkStack();
    return runList(cmds, memory, decls, state);
}

Mode execEnquanto(const Expression& cond, const CmdList& body, Memory& memory,
                  const DeclList& decls, ControlState state) {
    return loop(cond, body, memory, decls, state);
}

Mode execFaca(const CmdList& body, const Expression& cond, Memory& memory, const DeclList& decls,
              ControlState state) {
    return loop(cond, body, memory, decls, state);
}

Mode execPara(const Expression& cond, const Command& stepCmd, const CmdList& body, Memory& memory,
              const DeclList& decls, ControlState state) {
    checkStack();
    Mode mode = state.mode;
    for (;;) {
        if (mode == Mode::Exit) return Mode::Exit;
        if (mode == Mode::Break) return Mode::Normal;
        if (!testCondition(cond, memory)) return Mode::Normal;
        Mode afterBody = runList(body, memory, decls, {state.depth + 1, Mode::Normal});
        if (afterBody != Mode::Exit && runPlain(stepCmd, memory))
            mode = afterBody;
        else
            mode = runOne(stepCmd, memory, decls, {state.depth, afterBody});
    }
}

void execProg(const Program& program, Memory& memory) {
    struct Stable {
        Memory& m;
        explicit Stable(Memory& memory) : m(memory) { m.setStableNames(true); }
        ~Stable() { m.setStableNames(false); }
    } stable(memory);
    evalCmd(program.cmds, memory, program.decls, ControlState{0, Mode::Normal});
}

}  // namespace jox
