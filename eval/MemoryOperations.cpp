// The memory operations of the language on run-time values: the initial
// memory, reads, stores, and the increments that only compute.
#include <new>

#include "eval/EvalExp.h"
#include "eval/Messages.h"

namespace jox {

Memory fillGarbage(const std::vector<Variable>& vars, Memory memory) {
    for (const Variable& var : vars) {
        if (const auto* s = std::get_if<Simple>(&var)) {
            memory.append(Slot{s->name, false, 1, {}});
            continue;
        }
        const auto& vec = std::get<Vector>(var);
        MemValue size = evalExp(*vec.index, Memory{});
        const auto* n = std::get_if<M_Int>(&size.v);
        if (n == nullptr) failInternal(kSizeNotInteger);
        std::size_t count = 0;
        if (mpz_sgn(n->value.get_mpz_t()) > 0) {
            if (!mpz_fits_ulong_p(n->value.get_mpz_t())) throw std::bad_alloc();
            count = mpz_get_ui(n->value.get_mpz_t());
            checkAffordable(count, 1);
        }
        memory.append(Slot{vec.name, true, count, {}});
    }
    return memory;
}

namespace {

// The position of `index` in a vector of `count` elements, or false.
bool position(const Integer& index, std::size_t count, std::size_t& out) {
    mpz_srcptr z = index.get_mpz_t();
    if (mpz_sgn(z) < 0 || !mpz_fits_ulong_p(z)) return false;
    out = mpz_get_ui(z);
    return out < count;
}

std::size_t vectorForRead(const Memory& memory, const Text& name) {
    std::size_t i = memory.findVector(name);
    if (i == Memory::npos) failInternal(kNoSuchVector);
    return i;
}

}  // namespace

MemValue seekVarValue(const Memory& memory, const Text& name) {
    std::size_t i = memory.find(name);
    if (i == Memory::npos) failInternal(kNoSuchVariable);
    MemValue v = memory.value(i);
    if (std::holds_alternative<M_Garbage>(v.v)) failUnset(name);
    return v;
}

MemValue seekVectorValue(const Memory& memory, const Text& name, const Integer& index) {
    const Slot& slot = memory.slot(vectorForRead(memory, name));
    std::size_t k;
    if (!position(index, slot.count, k)) failOutOfBounds(name, intValOf(index));
    MemValue v = elementValue(slot, k);
    if (std::holds_alternative<M_Garbage>(v.v)) failUnsetElement(name, intValOf(index));
    return v;
}

void evalUpdate(Memory& memory, const Text& name, MemValue value) {
    std::size_t i = memory.find(name);
    if (i == Memory::npos) {
        memory.append(Slot{name, false, 1, {}});
        i = memory.size() - 1;
    }
    // The whole value is replaced: the slot takes the value's form, size and
    // type.
    // (The slot keeps its name, which the memory's index refers to.)
    Slot& slot = memory.slot(i);
    auto reshape = [&](bool vector, std::size_t count) {
        slot.vector = vector;
        slot.count = count;
        slot.store = std::monostate{};
    };
    if (auto* vec = std::get_if<M_Vector>(&value.v)) {
        reshape(true, vec->elems.size());
        for (std::size_t k = 0; k < slot.count; ++k) storeElement(slot, k, std::move(vec->elems[k]));
        return;
    }
    Kind kind;
    if (slot.vector || !kindOf(value, kind) || (slot.typed() && slot.kind() != kind)) reshape(false, 1);
    storeElement(slot, 0, std::move(value));
}

void evalVectorUpdate(Memory& memory, const Text& name, MemValue value, const Integer& index) {
    std::size_t i = memory.findVector(name);
    if (i == Memory::npos) failInternal(kNoVectorToStore);
    Slot& slot = memory.slot(i);
    std::size_t k;
    if (!position(index, slot.count, k)) failOutOfBounds(name, intValOf(index));
    storeElement(slot, k, std::move(value));
}

MemValue evalIncrVar(const Text& name, const Memory& memory) {
    return evalPlus(seekVarValue(memory, name), MemValue{M_Int{1}});
}
MemValue evalDecrVar(const Text& name, const Memory& memory) {
    return evalMinus(seekVarValue(memory, name), MemValue{M_Int{1}});
}
MemValue evalIncrVector(const Text& name, const Memory& memory, const Integer& index) {
    return evalPlus(seekVectorValue(memory, name, index), MemValue{M_Int{1}});
}
MemValue evalDecrVector(const Text& name, const Memory& memory, const Integer& index) {
    return evalMinus(seekVectorValue(memory, name, index), MemValue{M_Int{1}});
}

}  // namespace jox
