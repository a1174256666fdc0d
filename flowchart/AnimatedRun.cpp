#include "flowchart/AnimatedRun.h"

#include <utility>
#include <vector>

#include "check/CheckProgram.h"
#include "check/ValueText.h"
#include "eval/EvalProgram.h"
#include "flowchart/GenGraph.h"
#include "flowchart/Labels.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

using dv::A;
using Attrs = std::vector<dv::Attribute>;

dv::DaVinciCmd changeEdge(const Text& id, Attrs attrs) {
    return dv::Graph{dv::ChangeAttr{{dv::AttrChange{dv::AttrChange::Edge{dv::EdgeId{id}, std::move(attrs)}}}}};
}
dv::DaVinciCmd changeNode(const Text& id, Attrs attrs) {
    return dv::Graph{dv::ChangeAttr{{dv::AttrChange{dv::AttrChange::Node{dv::NodeId{id}, std::move(attrs)}}}}};
}

// What one command leaves for the rest of its list.
struct Step {
    enum Kind { Next, Stop, Tail } kind;
    RunMode mode = RunMode::Normal;  // Stop: the mode the list ends in
    AnnSpan list{};                  // Tail: the list that takes the place of the rest
    JumpState state{};               // Tail: the state it runs in
};
Step next() { return Step{Step::Next}; }
Step stop(RunMode mode) { return Step{Step::Stop, mode}; }
Step tail(AnnSpan list, JumpState state) { return Step{Step::Tail, RunMode::Normal, list, state}; }

enum class Store { Assign, Incr, Decr };

class Runner {
public:
    Runner(const Integer& delay, Memory& memory, const DeclList& decls, DaVinciProcess& link)
        : delay_(delay), mem_(memory), decls_(decls), link_(link) {}

    RunMode run(AnnSpan list, JumpState state) {
        checkStack();
        std::size_t i = 0;
        while (i < list.size()) {
            // Every command first tests for a saia in progress: then it and
            // the rest of its list are skipped.
            if (state.mode == RunMode::Exit) return RunMode::Exit;
            Step s = command(list[i], state);
            if (s.kind == Step::Stop) return s.mode;
            if (s.kind == Step::Tail) {  // another list takes the place of the rest
                list = s.list;
                state = s.state;
                i = 0;
            } else {
                ++i;
            }
        }
        return state.mode;
    }

private:
    const Integer& delay_;
    Memory& mem_;
    const DeclList& decls_;
    DaVinciProcess& link_;

    void send(const dv::DaVinciCmd& cmd) { sendDelayed(delay_, link_, cmd); }
    void edge(const Text& id, const char* c) { send(changeEdge(id, {A{"EDGECOLOR", c}})); }
    void node(const Text& id, Attrs attrs) { send(changeNode(id, std::move(attrs))); }
    void flashEdge(const Text& id) {
        edge(id, "yellow");
        edge(id, "black");
    }
    void flashNode(const Text& id, const char* resting) {
        node(id, {A{"COLOR", "yellow"}});
        node(id, {A{"COLOR", resting}});
    }

    Integer indexValue(const Expression& index) {
        MemValue v = evalExp(index, mem_);
        const auto* i = std::get_if<M_Int>(&v.v);
        if (i == nullptr) fail(internalError(133));
        return i->value;
    }

    Step command(const AnnotatedCommand& ac, const JumpState& st) {
        return std::visit(
            overloaded{
                [&](const Ann_Atrib& c) { return store(ac, c.target, Store::Assign, c.value, colour::assignment); },
                [&](const Ann_AtribFor& c) { return store(ac, c.target, Store::Assign, c.value, colour::paraStep); },
                [&](const Ann_Incr& c) { return store(ac, c.target, Store::Incr, nullptr, colour::increment); },
                [&](const Ann_Decr& c) { return store(ac, c.target, Store::Decr, nullptr, colour::decrement); },
                [&](const Ann_IncrFor& c) { return store(ac, c.target, Store::Incr, nullptr, colour::paraStep); },
                [&](const Ann_DecrFor& c) { return store(ac, c.target, Store::Decr, nullptr, colour::paraStep); },
                [&](const Ann_Leia& c) { return leia(ac, c); },
                [&](const Ann_Imprima& c) { return imprima(ac, c); },
                [&](const Ann_Se& c) { return se(ac, c, st); },
                [&](const Ann_Senao& c) { return senao(ac, c, st); },
                [&](const Ann_Enquanto& c) { return enquanto(ac, c, st); },
                [&](const Ann_Faca& c) { return faca(ac, c, st); },
                [&](const Ann_Para& c) { return para(ac, c, st); },
                [&](const Ann_Pare&) { return pare(ac, st); },
                [&](const Ann_Continue&) { return continueCmd(ac, st); },
                [&](const Ann_Saia&) { return saia(ac); },
                [&](const auto&) -> Step { fail(internalError(134)); },
            },
            ac.cmd->v);
    }

    // ------------------------------------------------- assignment, ++ and --
    Step store(const AnnotatedCommand& ac, const Variable& target, Store how, const ExpPtr& value,
               const char* own) {
        flashEdge(ac.edge);
        Text label;
        if (const auto* s = std::get_if<Simple>(&target)) {
            if (how == Store::Assign) {
                evalUpdate(mem_, s->name, evalExp(*value, mem_));
                label = s->name + "<-" + cutLabel(fromMem(seekVarValue(mem_, s->name)), valueWidth);
            } else {
                MemValue v = how == Store::Incr ? evalIncrVar(s->name, mem_) : evalDecrVar(s->name, mem_);
                label = s->name + "<-" + fromMem(v);
                evalUpdate(mem_, s->name, std::move(v));
            }
        } else {
            const auto& vec = std::get<Vector>(target);
            MemValue v;
            Integer index;
            if (how == Store::Assign) {
                v = evalExp(*value, mem_);
                index = indexValue(*vec.index);
            } else {
                index = indexValue(*vec.index);
                v = how == Store::Incr ? evalIncrVector(vec.name, mem_, index)
                                       : evalDecrVector(vec.name, mem_, index);
            }
            label = vec.name + "[" + intText(index) + "] <-" + cutLabel(fromMem(v), valueWidth);
            evalVectorUpdate(mem_, vec.name, std::move(v), index);
        }
        node(ac.node, {A{"OBJECT", label}, A{"COLOR", "yellow"}});
        node(ac.node, {A{"COLOR", own}});
        return next();
    }

    // ------------------------------------------------------ leia, imprima
    Step leia(const AnnotatedCommand& ac, const Ann_Leia& c) {
        const auto& factor = std::get<E_Factor>(c.target->v).factor;
        Text shown;
        if (const auto* var = std::get_if<E_Var>(&factor->v)) {
            flashEdge(ac.edge);
            node(ac.node, {A{"COLOR", "yellow"}, A{"OBJECT", var->name}});
            Text line = readInputLine();
            TypeCheck t = getVarType(var->name, decls_);
            MemValue v;
            if (equalType(t, T_STRING))
                v = MemValue{M_Str{std::move(line)}};
            else if (equalType(t, T_REAL))
                v = getReadFloat(line, var->name);
            else if (equalType(t, T_INT))
                v = getReadInt(line, var->name);
            else
                fail(internalError(111));
            evalUpdate(mem_, var->name, std::move(v));
            shown = fromMem(seekVarValue(mem_, var->name));
        } else {
            const auto& vec = std::get<E_Vector>(factor->v);
            // The element shown afterwards is the one stored into, even when
            // the index reads that element.
            Integer index = indexValue(*vec.index);
            flashEdge(ac.edge);
            node(ac.node, {A{"COLOR", "yellow"}, A{"OBJECT", vec.name + "[" + intText(index) + "]"}});
            Text line = readInputLine();
            TypeCheck t = getVarType(vec.name, decls_);
            MemValue v;
            if (equalType(t, T_STRINGVECTOR))
                v = MemValue{M_Str{std::move(line)}};
            else if (equalType(t, T_REALVECTOR))
                v = getReadFloatVector(line, vec.name, *vec.index);
            else if (equalType(t, T_INTVECTOR))
                v = getReadIntVector(line, vec.name, *vec.index);
            else
                fail(internalError(112));
            evalVectorUpdate(mem_, vec.name, std::move(v), index);
            shown = fromMem(seekVectorValue(mem_, vec.name, index));
        }
        node(ac.node, {A{"COLOR", "yellow"}, A{"OBJECT", cutLabel(shown, listWidth)}});
        node(ac.node, {A{"COLOR", colour::leia}});
        return next();
    }

    Step imprima(const AnnotatedCommand& ac, const Ann_Imprima& c) {
        flashEdge(ac.edge);
        Text text = printText(c.items, mem_);
        node(ac.node, {A{"COLOR", "yellow"}, A{"OBJECT", cutLabel(text, listWidth)}});
        node(ac.node, {A{"COLOR", colour::imprima}});
        return next();
    }

    // ------------------------------------------------------- se, senao
    // Runs a branch list.  Yields Next when the rest of the enclosing list is
    // to run after the close flashes `closing`, or the step that ends it.
    template <class Closing>
    Step branch(const AnnCmdList& list, const JumpState& st, Closing closing) {
        if (st.mode == RunMode::ParaBody && hasContinue(list)) return tail(findContinue(list), st);
        RunMode m = run(list, JumpState{st.depth, st.pending, RunMode::Normal});
        switch (m) {
            case RunMode::Break:
                return stop(RunMode::Break);
            case RunMode::Continue:
                return stop(RunMode::Normal);
            case RunMode::Exit:
                return stop(RunMode::Exit);
            default:
                closing();
                return next();
        }
    }

    void enterBranch(const AnnotatedCommand& ac) {
        flashEdge(ac.edge);
        flashNode(ac.node, colour::branch);
    }
    void join(const char* edgePrefix, const Text& id) {
        flashEdge(edgePrefix + id);
        flashNode("nc" + id, colour::branch);
    }

    Step se(const AnnotatedCommand& ac, const Ann_Se& c, const JumpState& st) {
        bool taken = evalCondition(*c.cond, mem_);
        enterBranch(ac);
        if (!taken) {
            join("er", ac.node);
            return next();
        }
        flashEdge("et" + ac.node);
        return branch(c.then, st, [&] { join("ec", ac.node); });
    }

    Step senao(const AnnotatedCommand& ac, const Ann_Senao& c, const JumpState& st) {
        bool taken = evalCondition(*c.cond, mem_);
        enterBranch(ac);
        if (taken) {
            flashEdge("et" + ac.node);
            return branch(c.then, st, [&] { join("er", ac.node); });
        }
        flashEdge("ee" + ac.node);
        return branch(c.otherwise, st, [&] { join("ec", ac.node); });
    }

    // ------------------------------------------------------------ loops
    // After a loop the rest of its list runs in the state the list had (so a
    // continue after a loop inside a para body still runs the step), unless
    // a saia ended the loop.
    static Step afterLoop(RunMode m) { return m == RunMode::Exit ? stop(RunMode::Exit) : next(); }

    // The end of a pass: into the close node and back to the loop head.
    void closePass(const Text& id, const char* resting) {
        flashEdge("ec" + id);
        flashNode("nc" + id, resting);
        flashEdge("er" + id);
    }

    // A loop whose head tests the condition before every pass (enquanto and
    // para): light the head, run the body in `body`, close the pass.
    Step headLoop(const AnnotatedCommand& ac, const Expression& cond, const AnnCmdList& cmds,
                  const JumpState& body, const char* resting, const JumpState& st) {
        const Text& id = ac.node;
        flashEdge(ac.edge);
        RunMode m = st.mode;
        for (;;) {
            if (m == RunMode::Exit) return stop(RunMode::Exit);
            if (m == RunMode::Break) return afterLoop(RunMode::Normal);
            bool more = evalCondition(cond, mem_);
            flashNode(id, resting);
            if (!more) return afterLoop(RunMode::Normal);
            flashEdge("ed" + id);
            m = run(cmds, body);
            if (m == RunMode::Exit) return stop(RunMode::Exit);
            closePass(id, resting);
        }
    }

    Step enquanto(const AnnotatedCommand& ac, const Ann_Enquanto& c, const JumpState& st) {
        return headLoop(ac, *c.cond, c.body, JumpState{st.depth + 1, st.pending, RunMode::Normal},
                        colour::enquanto, st);
    }

    Step para(const AnnotatedCommand& ac, const Ann_Para& c, const JumpState& st) {
        // The initial command stands before the loop in the enclosing list and
        // has run already; the step is the last command of the body.
        return headLoop(ac, *c.cond, c.body,
                        JumpState{st.depth + 1, AnnSpan(c.body).last(1), RunMode::ParaBody},
                        colour::paraStep, st);
    }

    Step faca(const AnnotatedCommand& ac, const Ann_Faca& c, const JumpState& st) {
        const Text& id = ac.node;
        const JumpState body{st.depth + 1, st.pending, RunMode::Normal};
        flashEdge(ac.edge);
        flashNode(id, colour::faca);
        RunMode m = run(c.body, body);
        for (;;) {
            if (m == RunMode::Exit) return stop(RunMode::Exit);
            if (m == RunMode::Break) return afterLoop(RunMode::Normal);
            bool more = evalCondition(*c.cond, mem_);
            flashEdge("ec" + id);
            flashNode("nc" + id, colour::faca);
            if (!more) return afterLoop(RunMode::Normal);
            flashEdge("er" + id);
            flashNode(id, colour::faca);
            m = run(c.body, body);
        }
    }

    // ------------------------------------------------------------ jumps
    void jumpFlash(const AnnotatedCommand& ac, const char* c) {
        flashEdge(ac.edge);
        node(ac.node, {A{"COLOR", "yellow"}});
        node(ac.node, {A{"COLOR", c}});
    }

    Step pare(const AnnotatedCommand& ac, const JumpState& st) {
        if (st.depth == 0) fail("Comando pare utilizado em local improprio.");
        jumpFlash(ac, "blue");
        return stop(RunMode::Break);
    }

    Step continueCmd(const AnnotatedCommand& ac, const JumpState& st) {
        if (st.depth == 0) fail("Comando continue utilizado em local improprio.");
        jumpFlash(ac, "green");
        if (st.mode == RunMode::ParaBody)
            return tail(st.pending, JumpState{st.depth, st.pending, RunMode::Continue});
        return stop(RunMode::Continue);
    }

    Step saia(const AnnotatedCommand& ac) {
        jumpFlash(ac, "red");
        return stop(RunMode::Exit);
    }
};

}  // namespace

void sendDelayed(const Integer& delay, DaVinciProcess& link, const DaVinciCmd& cmd) {
    if (sgn(delay) > 0) {
        if (delay.fits_slong_p()) {
            // volatile: the count is the delay, so it must not be optimised away
            volatile long n = delay.get_si();
            while (n != 0) n = n - 1;
        } else {
            for (Integer n = delay; n != 0; --n) {
            }
        }
    }
    sendCmd(link, cmd);
}

RunMode evalAnnGraph(const Integer& delay, AnnSpan cmds, Memory& memory, const DeclList& decls,
                     DaVinciProcess& link, JumpState state) {
    return Runner(delay, memory, decls, link).run(cmds, state);
}

bool hasContinue(AnnSpan cmds) {
    for (const AnnotatedCommand& a : cmds)
        if (std::holds_alternative<Ann_Continue>(a.cmd->v)) return true;
    return false;
}

AnnSpan findContinue(AnnSpan cmds) {
    for (std::size_t i = 0; i < cmds.size(); ++i)
        if (std::holds_alternative<Ann_Continue>(cmds[i].cmd->v)) return cmds.first(i + 1);
    return cmds;
}

RunMode execGraph(const AnnCmdList& cmds, DaVinciProcess& link, Memory& memory,
                  const DeclList& decls, const Integer& delay) {
    auto send = [&](dv::DaVinciCmd cmd) { sendDelayed(delay, link, cmd); };
    send(dv::Window{dv::Title{"JOX - TEMBA Algorithmic Language"}});
    send(dv::Window{dv::Position{30, 0}});
    send(dv::Window{dv::Size{460, 570}});
    send(dv::Window{dv::ShowStatus{"Projeto Final - Universidade Tarvelo "}});
    send(dv::Menu{dv::Layout{dv::ImproveAll{}}});
    send(dv::DVSet{dv::FontSize{10}});
    send(dv::DVSet{dv::GapWidth{4}});
    send(dv::DVSet{dv::GapHeight{4}});
    send(dv::Menu{dv::Layout{dv::ImproveAll{}}});
    send(dv::Graph{dv::New{{dv::Node{dv::N{
        dv::NodeId{"Inicio"},
        dv::Type{""},
        {A{"COLOR", colour::ends}, A{"OBJECT", "Inicio"}, A{"_GO", "ellipse"}},
        {genGraph(cmds)},
    }}}}});
    send(changeNode("Inicio", {A{"COLOR", "yellow"}}));
    send(changeNode("Inicio", {A{"COLOR", colour::ends}}));
    RunMode mode = evalAnnGraph(delay, cmds, memory, decls, link, JumpState{0, {}, RunMode::Normal});
    send(changeEdge("edFim", {A{"EDGECOLOR", "yellow"}}));
    send(changeEdge("edFim", {A{"EDGECOLOR", "black"}}));
    send(changeNode("Fimprog", {A{"COLOR", "yellow"}}));
    send(changeNode("Fimprog", {A{"COLOR", colour::ends}}));
    return mode;
}

}  // namespace jox
