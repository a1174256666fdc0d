// The vocabulary every stage of joxrun and joxflow shares: the syntax tree of
// a parsed program, the run-time values of the evaluator's memory and the
// static type tags of the checker.
//
// Every family is a closed sum type (std::variant over small structs) and is
// taken apart with std::visit or std::get_if.  Trees are immutable once built
// and are held through shared_ptr<const ...>, so a derived tree (the rebuilt
// imprima list, the annotated commands of the flowchart run) shares every
// unchanged sub-tree with the tree it came from.
//
// Alternatives of one shape are instances of one small template, told apart by
// a tag number (the alternative's position in its family), so that each
// alternative is still a type of its own: E_Mais and E_Menos are both
// BinExp<...> with fields `left` and `right`, but distinct types.
#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "syntax/NodePool.h"

namespace jox {

// The language's integers are unbounded.
using Integer = mpz_class;
// Texts are sequences of 8-bit Latin-1 bytes.
using Text = std::string;

struct Expression;
struct Factor;
struct Command;

using ExpPtr = std::shared_ptr<const Expression>;
using FactorPtr = std::shared_ptr<const Factor>;
using CmdPtr = std::shared_ptr<const Command>;
using ExpList = std::vector<ExpPtr>;
using CmdList = std::vector<CmdPtr>;

// ---------------------------------------------------------------- Variable
// A variable as declared, or as the target of an assignment, ++ or --.
struct Simple {
    Text name;
};
// In a declaration `index` is the declared size (always the factor E_Int n,
// n >= 1 once checked); as a target it is the index expression.
struct Vector {
    Text name;
    ExpPtr index;
};
using Variable = std::variant<Simple, Vector>;

inline const Text& varName(const Variable& v) {
    return std::visit([](const auto& x) -> const Text& { return x.name; }, v);
}

// ------------------------------------------------------------- Declaration
template <int Tag>
struct DeclOf {
    std::vector<Variable> vars;
};
using VarInt = DeclOf<0>;     // int
using VarReal = DeclOf<1>;    // real
using VarBool = DeclOf<2>;    // logico
using VarString = DeclOf<3>;  // string
using Declaration = std::variant<VarInt, VarReal, VarBool, VarString>;
using DeclList = std::vector<Declaration>;

// ---------------------------------------------------------------- Factor
template <int Tag>
struct FacF {  // one factor argument
    FactorPtr arg;
};
template <int Tag>
struct FacFF {  // two factor arguments
    FactorPtr first;
    FactorPtr second;
};
template <int Tag>
struct FacE {  // one expression argument
    ExpPtr arg;
};

struct E_Int {
    Integer value;
};
struct E_Boolean {
    bool value;
};
struct E_Var {
    Text name;
};
struct E_Vector {
    Text name;
    ExpPtr index;
};
struct E_Float {
    double value;
};
struct E_Str {
    Text value;
};
using E_Par = FacE<6>;           // ( e )
using E_Pos = FacF<7>;           // unary +
using E_Neg = FacF<8>;           // unary -
using E_StrComp = FacF<9>;       // strtam(f)
using E_StrConcat = FacFF<10>;   // strconcat(f, g)
using E_StrCompara = FacFF<11>;  // strcomp(f, g)
using E_StrNPrim = FacFF<12>;    // strnprim(text, count)
using E_StrNResto = FacFF<13>;   // strnresto(text, count)
using E_StrUlt = FacF<14>;       // strult(f)
using E_StrCopia = FacF<15>;     // strcopia(f)
using E_StrPrim = FacF<16>;      // strprim(f)
using E_StrCalda = FacF<17>;     // strresto(f)
using E_StrElem = FacFF<18>;     // strelem(text, position)
using E_RaizQuad = FacE<19>;     // raiz(e)
using E_Seno = FacE<20>;         // sen(e)
using E_Coseno = FacE<21>;       // cos(e)
using E_Tangente = FacE<22>;     // tan(e)
using E_Exp = FacE<23>;          // exp(e)
using E_Log = FacE<24>;          // log(e)
struct E_Pi {};                  // pi
using E_Abs = FacE<26>;          // abs(e)
using E_RealInt = FacE<27>;      // realint(e)
using E_IntReal = FacE<28>;      // intreal(e)
struct E_Formatar {              // formatar(number, count)
    ExpPtr number;
    FactorPtr count;
};

struct Factor {
    std::variant<E_Int, E_Boolean, E_Var, E_Vector, E_Float, E_Str, E_Par, E_Pos, E_Neg,
                 E_StrComp, E_StrConcat, E_StrCompara, E_StrNPrim, E_StrNResto, E_StrUlt,
                 E_StrCopia, E_StrPrim, E_StrCalda, E_StrElem, E_RaizQuad, E_Seno, E_Coseno,
                 E_Tangente, E_Exp, E_Log, E_Pi, E_Abs, E_RealInt, E_IntReal, E_Formatar>
        v;

    template <class Alt>
    explicit Factor(Alt alt) : v(std::move(alt)) {}
    ~Factor();  // (see "teardown" below)
};

// ------------------------------------------------------------ Expression
template <int Tag>
struct BinExp {  // left and right expression operands
    ExpPtr left;
    ExpPtr right;
};
template <int Tag>
struct BinExpF {  // the tightest operators: the right operand is a factor
    ExpPtr left;
    FactorPtr right;
};

// A factor standing alone as an expression.  (The family calls this
// alternative `Factor` as well; in C++ it cannot share the name of the type.)
struct E_Factor {
    FactorPtr factor;
};
using E_Mais = BinExp<1>;      // +
using E_Menos = BinExp<2>;     // -
using E_Prod = BinExp<3>;      // *
using E_Div = BinExp<4>;       // /  (real division)
using E_IDiv = BinExp<5>;      // div (integer division)
using E_Igual = BinExp<6>;     // ==
using E_Maior = BinExp<7>;     // >
using E_Menor = BinExp<8>;     // <
using E_Maiorig = BinExp<9>;   // >=
using E_Menorig = BinExp<10>;  // <=
using E_Dif = BinExp<11>;      // <>
using E_E = BinExp<12>;        // &&
using E_Ou = BinExp<13>;       // ||
struct E_Nao {                 // !
    ExpPtr arg;
};
using E_Resto = BinExpF<15>;  // %
using E_Pot = BinExpF<16>;    // ** (real power)
using E_IPot = BinExpF<17>;   // ^  (integer power)

struct Expression {
    std::variant<E_Factor, E_Mais, E_Menos, E_Prod, E_Div, E_IDiv, E_Igual, E_Maior, E_Menor,
                 E_Maiorig, E_Menorig, E_Dif, E_E, E_Ou, E_Nao, E_Resto, E_Pot, E_IPot>
        v;

    template <class Alt>
    explicit Expression(Alt alt) : v(std::move(alt)) {}
    ~Expression();  // (see "teardown" below)
};

// --------------------------------------------------------------- Command
// (edge identifier, node identifier, annotated command) of the flowchart run.
struct AnnotatedCommand {
    Text edge;
    Text node;
    CmdPtr cmd;
};
using AnnCmdList = std::vector<AnnotatedCommand>;

template <int Tag>
struct AssignCmd {  // target <- value
    Variable target;
    ExpPtr value;
};
template <int Tag>
struct StepCmd {  // target ++ / target --
    Variable target;
};
template <int Tag>
struct JumpCmd {};

using Atrib = AssignCmd<0>;
struct E_Se {
    ExpPtr cond;
    CmdList then;
};
struct E_Senao {
    ExpPtr cond;
    CmdList then;
    CmdList otherwise;
};
struct E_Enquanto {
    ExpPtr cond;
    CmdList body;
};
struct E_Faca {  // the body comes first
    CmdList body;
    ExpPtr cond;
};
struct E_Para {  // init and step are Atrib, E_Incr or E_Decr
    CmdPtr init;
    ExpPtr cond;
    CmdPtr step;
    CmdList body;
};
struct E_Leia {  // target: E_Factor holding E_Var or E_Vector
    ExpPtr target;
};
struct E_Imprima {
    ExpList items;
};
using E_Incr = StepCmd<8>;
using E_Decr = StepCmd<9>;
using E_AtribFor = AssignCmd<10>;
using E_IncrFor = StepCmd<11>;
using E_DecrFor = StepCmd<12>;
using E_Saia = JumpCmd<13>;
using E_Continue = JumpCmd<14>;
using E_Pare = JumpCmd<15>;

using Ann_Atrib = AssignCmd<16>;
struct Ann_Se {
    ExpPtr cond;
    AnnCmdList then;
};
struct Ann_Senao {
    ExpPtr cond;
    AnnCmdList then;
    AnnCmdList otherwise;
};
struct Ann_Enquanto {
    ExpPtr cond;
    AnnCmdList body;
};
struct Ann_Faca {
    AnnCmdList body;
    ExpPtr cond;
};
// init: exactly one annotated command; step: the plain E_AtribFor,
// E_IncrFor or E_DecrFor; body: the annotated body followed by the
// annotated step.
struct Ann_Para {
    AnnCmdList init;
    ExpPtr cond;
    CmdPtr step;
    AnnCmdList body;
};
struct Ann_Imprima {
    ExpList items;
};
struct Ann_Leia {
    ExpPtr target;
};
using Ann_Incr = StepCmd<24>;
using Ann_Decr = StepCmd<25>;
using Ann_AtribFor = AssignCmd<26>;
using Ann_IncrFor = StepCmd<27>;
using Ann_DecrFor = StepCmd<28>;
using Ann_Saia = JumpCmd<29>;
using Ann_Continue = JumpCmd<30>;
using Ann_Pare = JumpCmd<31>;

struct Command {
    std::variant<Atrib, E_Se, E_Senao, E_Enquanto, E_Faca, E_Para, E_Leia, E_Imprima, E_Incr,
                 E_Decr, E_AtribFor, E_IncrFor, E_DecrFor, E_Saia, E_Continue, E_Pare,
                 Ann_Atrib, Ann_Se, Ann_Senao, Ann_Enquanto, Ann_Faca, Ann_Para, Ann_Imprima,
                 Ann_Leia, Ann_Incr, Ann_Decr, Ann_AtribFor, Ann_IncrFor, Ann_DecrFor, Ann_Saia,
                 Ann_Continue, Ann_Pare>
        v;

    template <class Alt>
    explicit Command(Alt alt) : v(std::move(alt)) {}
    ~Command();  // (see "teardown" below)
};

// --------------------------------------------------------------- Program
struct Program {
    Variable name;  // always a Simple: the word after `prog`
    std::vector<Declaration> decls;
    CmdList cmds;
};

// -------------------------------------------------------------- MemValue
struct MemValue;
struct M_Int {
    Integer value;
};
struct M_Boolean {
    bool value;
};
struct M_Var {  // never built by the system
    Text value;
};
// Element 0 first.
struct M_Vector {
    std::vector<MemValue> elems;
};
struct M_Float {
    double value;
};
struct M_Str {
    Text value;
};
struct M_Garbage {};  // a variable or element not given a value yet

struct MemValue {
    std::variant<M_Int, M_Boolean, M_Var, M_Vector, M_Float, M_Str, M_Garbage> v;
};

// ------------------------------------------------------------- TypeCheck
enum TypeCheck : int {
    T_INT,
    T_BOOL,
    T_REAL,
    T_STRING,
    T_INTVECTOR,
    T_BOOLVECTOR,
    T_REALVECTOR,
    T_STRINGVECTOR,
    T_SIMPLE,
    T_VECTOR,
    T_GARBAGE,
    T_WRONG,
};

// -------------------------------------------------------------- teardown
// The destructors of Expression, Factor and Command (syntax/Teardown.cpp)
// take a tree apart in a loop, not by one nested destructor per level: a
// node whose last owner lets go of it hands its children over to the loop of
// the outermost such destructor on the thread.  So a tree as deep as any
// program can be dropped on any stack: the partial trees a failed parse
// leaves behind, the annotated copy of a tree, a test's trees.

// ---------------------------------------------------------- construction
template <class Alt>
ExpPtr mkExp(Alt alt) {
    return std::allocate_shared<const Expression>(NodeAllocator<Expression>{}, std::move(alt));
}
template <class Alt>
FactorPtr mkFactor(Alt alt) {
    return std::allocate_shared<const Factor>(NodeAllocator<Factor>{}, std::move(alt));
}
template <class Alt>
CmdPtr mkCmd(Alt alt) {
    return std::allocate_shared<const Command>(NodeAllocator<Command>{}, std::move(alt));
}
// A factor wrapped as an expression.
template <class Alt>
ExpPtr mkFactorExp(Alt alt) {
    return mkExp(E_Factor{mkFactor(std::move(alt))});
}

// The usual visitor from a set of lambdas.
template <class... Fs>
struct overloaded : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
overloaded(Fs...) -> overloaded<Fs...>;

}  // namespace jox
