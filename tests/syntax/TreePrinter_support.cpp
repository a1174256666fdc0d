#include "TreePrinter_support.h"

#include <charconv>
#include <cstdio>

#include "syntax/Failure.h"

namespace jox::test {
namespace {

const char* const factorNames[] = {
    "E_Int",       "E_Boolean",   "E_Var",      "E_Vector",   "E_Float",     "E_Str",
    "E_Par",       "E_Pos",       "E_Neg",      "E_StrComp",  "E_StrConcat", "E_StrCompara",
    "E_StrNPrim",  "E_StrNResto", "E_StrUlt",   "E_StrCopia", "E_StrPrim",   "E_StrCalda",
    "E_StrElem",   "E_RaizQuad",  "E_Seno",     "E_Coseno",   "E_Tangente",  "E_Exp",
    "E_Log",       "E_Pi",        "E_Abs",      "E_RealInt",  "E_IntReal",   "E_Formatar"};
const char* const expNames[] = {"Factor",  "E_Mais",    "E_Menos",   "E_Prod", "E_Div", "E_IDiv",
                                "E_Igual", "E_Maior",   "E_Menor",   "E_Maiorig",
                                "E_Menorig", "E_Dif",   "E_E",       "E_Ou",   "E_Nao", "E_Resto",
                                "E_Pot",   "E_IPot"};
const char* const cmdNames[] = {
    "Atrib",      "E_Se",        "E_Senao",      "E_Enquanto",   "E_Faca",      "E_Para",
    "E_Leia",     "E_Imprima",   "E_Incr",       "E_Decr",       "E_AtribFor",  "E_IncrFor",
    "E_DecrFor",  "E_Saia",      "E_Continue",   "E_Pare",       "Ann_Atrib",   "Ann_Se",
    "Ann_Senao",  "Ann_Enquanto", "Ann_Faca",    "Ann_Para",     "Ann_Imprima", "Ann_Leia",
    "Ann_Incr",   "Ann_Decr",    "Ann_AtribFor", "Ann_IncrFor",  "Ann_DecrFor", "Ann_Saia",
    "Ann_Continue", "Ann_Pare"};
const char* const declNames[] = {"VarInt", "VarReal", "VarBool", "VarString"};

std::string par(const std::string& s) { return "(" + s + ")"; }

template <class T, class Show>
std::string list(const std::vector<T>& items, Show showItem) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += showItem(items[i]);
    }
    return out + "]";
}

std::string cmds(const CmdList& cs) {
    return list(cs, [](const CmdPtr& c) { return show(*c); });
}
std::string anns(const AnnCmdList& cs) {
    return list(cs, [](const AnnotatedCommand& a) {
        return "(" + quote(a.edge) + "," + quote(a.node) + "," + show(*a.cmd) + ")";
    });
}

}  // namespace

std::string real(double d) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c < 32 || c >= 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string show(const Variable& v) {
    return std::visit(overloaded{
                          [](const Simple& s) { return "Simple " + quote(s.name); },
                          [](const Vector& x) { return "Vector " + quote(x.name) + " " + par(show(*x.index)); },
                      },
                      v);
}

std::string show(const Declaration& d) {
    return std::string(declNames[d.index()]) + " " +
           std::visit([](const auto& x) { return list(x.vars, [](const Variable& v) { return show(v); }); }, d);
}

std::string show(const Factor& f) {
    checkStack();
    std::string head = factorNames[f.v.index()];
    std::string fields = std::visit(
        overloaded{
            [](const E_Int& x) { return " " + x.value.get_str(); },
            [](const E_Boolean& x) { return std::string(x.value ? " True" : " False"); },
            [](const E_Var& x) { return " " + quote(x.name); },
            [](const E_Vector& x) { return " " + quote(x.name) + " " + par(show(*x.index)); },
            [](const E_Float& x) { return " " + real(x.value); },
            [](const E_Str& x) { return " " + quote(x.value); },
            [](const E_Pi&) { return std::string(); },
            [](const E_Formatar& x) { return " " + par(show(*x.number)) + " " + par(show(*x.count)); },
            [](const auto& x) {
                if constexpr (requires { x.first; })
                    return " " + par(show(*x.first)) + " " + par(show(*x.second));
                else
                    return " " + par(show(*x.arg));
            },
        },
        f.v);
    return head + fields;
}

std::string show(const Expression& e) {
    checkStack();
    std::string head = expNames[e.v.index()];
    std::string fields = std::visit(overloaded{
                                        [](const E_Factor& x) { return " " + par(show(*x.factor)); },
                                        [](const E_Nao& x) { return " " + par(show(*x.arg)); },
                                        [](const auto& x) {
                                            return " " + par(show(*x.left)) + " " + par(show(*x.right));
                                        },
                                    },
                                    e.v);
    return head + fields;
}

std::string show(const Command& c) {
    checkStack();
    std::string head = cmdNames[c.v.index()];
    std::string fields = std::visit(
        overloaded{
            [](const E_Se& x) { return " " + par(show(*x.cond)) + " " + cmds(x.then); },
            [](const E_Senao& x) {
                return " " + par(show(*x.cond)) + " " + cmds(x.then) + " " + cmds(x.otherwise);
            },
            [](const E_Enquanto& x) { return " " + par(show(*x.cond)) + " " + cmds(x.body); },
            [](const E_Faca& x) { return " " + cmds(x.body) + " " + par(show(*x.cond)); },
            [](const E_Para& x) {
                return " " + par(show(*x.init)) + " " + par(show(*x.cond)) + " " + par(show(*x.step)) + " " +
                       cmds(x.body);
            },
            [](const E_Leia& x) { return " " + par(show(*x.target)); },
            [](const E_Imprima& x) {
                return " " + list(x.items, [](const ExpPtr& e) { return show(*e); });
            },
            [](const Ann_Se& x) { return " " + par(show(*x.cond)) + " " + anns(x.then); },
            [](const Ann_Senao& x) {
                return " " + par(show(*x.cond)) + " " + anns(x.then) + " " + anns(x.otherwise);
            },
            [](const Ann_Enquanto& x) { return " " + par(show(*x.cond)) + " " + anns(x.body); },
            [](const Ann_Faca& x) { return " " + anns(x.body) + " " + par(show(*x.cond)); },
            [](const Ann_Para& x) {
                return " " + anns(x.init) + " " + par(show(*x.cond)) + " " + par(show(*x.step)) + " " +
                       anns(x.body);
            },
            [](const Ann_Imprima& x) {
                return " " + list(x.items, [](const ExpPtr& e) { return show(*e); });
            },
            [](const Ann_Leia& x) { return " " + par(show(*x.target)); },
            [](const auto& x) {
                if constexpr (requires { x.value; })
                    return " " + par(show(x.target)) + " " + par(show(*x.value));
                else if constexpr (requires { x.target; })
                    return " " + par(show(x.target));
                else
                    return std::string();
            },
        },
        c.v);
    return head + fields;
}

std::string show(const Program& p) {
    return "Program " + par(show(p.name)) + " " +
           list(p.decls, [](const Declaration& d) { return show(d); }) + " " + cmds(p.cmds);
}

}  // namespace jox::test
