#include "flowchart/Annotate.h"

#include "syntax/Failure.h"

namespace jox {
namespace {

Text idOf(const char* prefix, const Counter& n) { return prefix + n.get_str(); }

AnnotatedCommand triple(const char* prefix, const Counter& n, CmdPtr cmd) {
    Text node = idOf(prefix, n);
    return AnnotatedCommand{"e" + node, node, std::move(cmd)};
}

// The walk of a nested list, which starts afresh with an empty accumulator.
std::pair<Counter, AnnCmdList> walk(const CmdList& cmds, const Counter& start) {
    return annCmdList(cmds, start, {});
}

struct ParaTriples {
    Counter end;  // final counter of the body walk
    AnnotatedCommand init;
    AnnotatedCommand loop;
};

// A para reached with counter n: initial command n, loop n + 2, body and
// step from n + 3.
ParaTriples annPara(const Counter& n, const E_Para& p) {
    CmdPtr init = renFor(*p.init);
    CmdPtr step = renFor(*p.step);
    auto [m1, initList] = walk(CmdList{init}, n);
    Counter loopNo = m1 + 1;
    CmdList bodyAndStep = p.body;
    bodyAndStep.push_back(step);
    auto [m2, body] = walk(bodyAndStep, loopNo + 1);
    AnnotatedCommand initTriple = initList.front();
    AnnotatedCommand loop =
        triple("fr", loopNo, mkCmd(Ann_Para{std::move(initList), p.cond, step, std::move(body)}));
    return ParaTriples{m2, std::move(initTriple), std::move(loop)};
}

}  // namespace

CmdPtr renFor(const Command& cmd) {
    return std::visit(
        overloaded{
            [](const Atrib& c) { return mkCmd(E_AtribFor{c.target, c.value}); },
            [](const E_Incr& c) { return mkCmd(E_IncrFor{c.target}); },
            [](const E_Decr& c) { return mkCmd(E_DecrFor{c.target}); },
            [](const auto&) -> CmdPtr { fail(internalError(131)); },
        },
        cmd.v);
}

std::pair<Counter, AnnotatedCommand> annCmd(const Counter& n, const Command& cmd) {
    checkStack();
    using R = std::pair<Counter, AnnotatedCommand>;
    return std::visit(
        overloaded{
            [&](const Atrib& c) { return R{n, triple("at", n, mkCmd(Ann_Atrib{c.target, c.value}))}; },
            [&](const E_Se& c) {
                auto [m, then] = walk(c.then, n + 1);
                return R{m, triple("if", n, mkCmd(Ann_Se{c.cond, std::move(then)}))};
            },
            [&](const E_Senao& c) {
                auto [m1, then] = walk(c.then, n + 1);
                auto [m2, otherwise] = walk(c.otherwise, m1 + 1);
                return R{m2, triple("el", n, mkCmd(Ann_Senao{c.cond, std::move(then), std::move(otherwise)}))};
            },
            [&](const E_Enquanto& c) {
                auto [m, body] = walk(c.body, n + 1);
                return R{m, triple("wh", n, mkCmd(Ann_Enquanto{c.cond, std::move(body)}))};
            },
            [&](const E_Faca& c) {
                auto [m, body] = walk(c.body, n + 1);
                return R{m, triple("fa", n, mkCmd(Ann_Faca{std::move(body), c.cond}))};
            },
            [&](const E_Para& c) {
                ParaTriples p = annPara(n, c);
                return R{p.end, std::move(p.loop)};
            },
            [&](const E_Leia& c) { return R{n, triple("rd", n, mkCmd(Ann_Leia{c.target}))}; },
            [&](const E_Imprima& c) { return R{n, triple("pt", n, mkCmd(Ann_Imprima{c.items}))}; },
            [&](const E_Incr& c) { return R{n, triple("ic", n, mkCmd(Ann_Incr{c.target}))}; },
            [&](const E_Decr& c) { return R{n, triple("dc", n, mkCmd(Ann_Decr{c.target}))}; },
            [&](const E_AtribFor& c) {
                return R{n, triple("at", n, mkCmd(Ann_AtribFor{c.target, c.value}))};
            },
            [&](const E_IncrFor& c) { return R{n, triple("ic", n, mkCmd(Ann_IncrFor{c.target}))}; },
            [&](const E_DecrFor& c) { return R{n, triple("dc", n, mkCmd(Ann_DecrFor{c.target}))}; },
            [&](const E_Saia&) { return R{n, triple("sa", n, mkCmd(Ann_Saia{}))}; },
            [&](const E_Continue&) { return R{n, triple("co", n, mkCmd(Ann_Continue{}))}; },
            [&](const E_Pare&) { return R{n, triple("pa", n, mkCmd(Ann_Pare{}))}; },
            [&](const auto&) -> R { fail(internalError(130)); },
        },
        cmd.v);
}

std::pair<Counter, AnnCmdList> annCmdList(const CmdList& cmds, const Counter& start,
                                          AnnCmdList acc) {
    Counter n = start;
    for (const CmdPtr& c : cmds) {
        if (const auto* para = std::get_if<E_Para>(&c->v)) {
            checkStack();
            ParaTriples p = annPara(n, *para);
            acc.push_back(std::move(p.init));
            acc.push_back(std::move(p.loop));
            n = p.end + 1;
        } else {
            auto [r, t] = annCmd(n, *c);
            acc.push_back(std::move(t));
            n = r + 1;
        }
    }
    return {n, std::move(acc)};
}

std::pair<Counter, AnnCmdList> annProg(const Program& program) {
    return annCmdList(program.cmds, Counter(0), {});
}

}  // namespace jox
