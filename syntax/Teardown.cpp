// Taking syntax trees apart without recursion.
//
// The destructor of a node whose last owner lets go of it gives up every
// child it owns alone to a list of pending nodes, so that its members, when
// they are destroyed right after, hold nothing.  The outermost of those
// destructors on a thread owns the list and releases the pending nodes one
// at a time in a loop; each of them gives up its own children to the same
// list.  No destructor thus runs nested in another more than one level deep,
// whatever the depth of the tree.  A child that someone else still holds is
// left where it is: its member only drops a count.
#include <concepts>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

#include "syntax/JoxTypes.h"

namespace jox {
namespace {

using Pending = std::vector<std::shared_ptr<const void>>;

// The list of the teardown under way on this thread, if one is.
thread_local Pending* pending = nullptr;

template <class T>
void giveUp(std::shared_ptr<const T>& child) noexcept {
    if (child == nullptr || child.use_count() != 1) return;
    try {
        pending->emplace_back(std::move(child));
    } catch (...) {
        // No memory for the list: the child stays in its member, whose
        // destructor takes it apart one level deeper.
    }
}
void giveUp(Variable& target) noexcept {
    if (auto* vector = std::get_if<Vector>(&target)) giveUp(vector->index);
}
void giveUp(ExpList& items) noexcept {
    for (ExpPtr& e : items) giveUp(e);
}
void giveUp(CmdList& cmds) noexcept {
    for (CmdPtr& c : cmds) giveUp(c);
}
void giveUp(AnnCmdList& cmds) noexcept {
    for (AnnotatedCommand& a : cmds) giveUp(a.cmd);
}

template <class T, class... Us>
concept OneOf = (std::same_as<T, Us> || ...);

// The children of every alternative.  (Leaves are named one by one, so an
// alternative added to a family without its children here does not compile.)
struct GiveUpChildren {
    // Factor
    void operator()(E_Int&) {}
    void operator()(E_Boolean&) {}
    void operator()(E_Var&) {}
    void operator()(E_Float&) {}
    void operator()(E_Str&) {}
    void operator()(E_Pi&) {}
    void operator()(E_Vector& x) { giveUp(x.index); }
    template <int Tag>
    void operator()(FacF<Tag>& x) {
        giveUp(x.arg);
    }
    template <int Tag>
    void operator()(FacFF<Tag>& x) {
        giveUp(x.first);
        giveUp(x.second);
    }
    template <int Tag>
    void operator()(FacE<Tag>& x) {
        giveUp(x.arg);
    }
    void operator()(E_Formatar& x) {
        giveUp(x.number);
        giveUp(x.count);
    }

    // Expression
    void operator()(E_Factor& x) { giveUp(x.factor); }
    template <int Tag>
    void operator()(BinExp<Tag>& x) {
        giveUp(x.left);
        giveUp(x.right);
    }
    template <int Tag>
    void operator()(BinExpF<Tag>& x) {
        giveUp(x.left);
        giveUp(x.right);
    }
    void operator()(E_Nao& x) { giveUp(x.arg); }

    // Command
    template <int Tag>
    void operator()(AssignCmd<Tag>& x) {
        giveUp(x.target);
        giveUp(x.value);
    }
    template <int Tag>
    void operator()(StepCmd<Tag>& x) {
        giveUp(x.target);
    }
    template <int Tag>
    void operator()(JumpCmd<Tag>&) {}
    // (The plain and the annotated form of a compound command hold their
    // children under the same names.)
    template <OneOf<E_Se, Ann_Se> If>
    void operator()(If& x) {
        giveUp(x.cond);
        giveUp(x.then);
    }
    template <OneOf<E_Senao, Ann_Senao> IfElse>
    void operator()(IfElse& x) {
        giveUp(x.cond);
        giveUp(x.then);
        giveUp(x.otherwise);
    }
    template <OneOf<E_Enquanto, Ann_Enquanto, E_Faca, Ann_Faca> Loop>
    void operator()(Loop& x) {
        giveUp(x.cond);
        giveUp(x.body);
    }
    template <OneOf<E_Para, Ann_Para> Para>
    void operator()(Para& x) {
        giveUp(x.init);
        giveUp(x.cond);
        giveUp(x.step);
        giveUp(x.body);
    }
    template <OneOf<E_Leia, Ann_Leia> Leia>
    void operator()(Leia& x) {
        giveUp(x.target);
    }
    template <OneOf<E_Imprima, Ann_Imprima> Imprima>
    void operator()(Imprima& x) {
        giveUp(x.items);
    }
};

// The body of each node's destructor.  (The node is being destroyed, so its
// members are no longer const and may be moved from.)
template <class Alternatives>
void takeApart(Alternatives& node) noexcept {
    if (pending != nullptr) {
        std::visit(GiveUpChildren{}, node);
        return;
    }
    Pending list;
    pending = &list;
    std::visit(GiveUpChildren{}, node);
    while (!list.empty()) {
        std::shared_ptr<const void> next = std::move(list.back());
        list.pop_back();
        next.reset();
    }
    pending = nullptr;
}

}  // namespace

Expression::~Expression() { takeApart(v); }
Factor::~Factor() { takeApart(v); }
Command::~Command() { takeApart(v); }

}  // namespace jox
