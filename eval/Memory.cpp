// The stores, the slots and the memory, and the values going in and out of
// them.
#include "eval/Memory.h"

#include <algorithm>

#include "eval/Messages.h"
#include "syntax/Failure.h"

namespace jox {

// ------------------------------------------------------------------ stores
void IntStore::setInteger(std::size_t i, IntVal v) {
    std::uint64_t& w = words_[i];
    std::size_t k = namesInteger(w) ? w - 1 : freeInteger();
    Integer& z = *bigs_[k];
    if (v.isWord())
        mpz_set_si(z.get_mpz_t(), v.word);
    else if (v.big != &z)
        z = *v.big;
    w = k + 1;
}

void IntStore::take(std::size_t i, Integer& z) {
    std::uint64_t& w = words_[i];
    std::size_t k = namesInteger(w) ? w - 1 : freeInteger();
    bigs_[k]->swap(z);
    w = k + 1;
}

std::size_t IntStore::freeInteger() {
    if (freeBigs_.empty() && bigs_.size() >= searchAt_) findUnused();
    if (!freeBigs_.empty()) {
        std::size_t k = freeBigs_.back();
        freeBigs_.pop_back();
        return k;
    }
    if (bigs_.size() >= kFirstWord - 1) throw std::bad_alloc();
    bigs_.push_back(std::make_unique<Integer>());
    return bigs_.size() - 1;
}

// The next search waits until twice as many Integers are held as are named
// now: the Integers found unnamed, or those made in the meantime, are at
// least as many as the next search reads, whatever the stores in between.
// (Never before the store holds 64 + half as many as it has elements: a
// vector of a few large values is never searched.)
void IntStore::findUnused() {
    std::vector<bool> named(bigs_.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < words_.size(); ++i)
        if (namesInteger(words_[i])) {
            named[words_[i] - 1] = true;
            ++count;
        }
    for (std::size_t k = 0; k < bigs_.size(); ++k)
        if (!named[k]) freeBigs_.push_back(static_cast<std::uint32_t>(k));
    searched_ += words_.size() + bigs_.size();
    searchAt_ = std::max(kLeastSearch + words_.size() / 2, 2 * count);
}

// ------------------------------------------------------------------- slots
void Slot::becomeKind(Kind kind) {
    if (!typed()) replaceKind(kind);
}

void Slot::replaceKind(Kind kind) {
    switch (kind) {
        case Kind::Int: checkAffordable(count, sizeof(std::int64_t)); store.emplace<IntStore>(count); break;
        case Kind::Real: checkAffordable(count, sizeof(double)); store.emplace<RealStore>(count); break;
        case Kind::Bool: checkAffordable(count, 1); store.emplace<BoolStore>(count); break;
        case Kind::Text: checkAffordable(count, sizeof(Text)); store.emplace<TextStore>(count); break;
        case Kind::None: store = std::monostate{}; break;
    }
}

// ------------------------------------------------------------------ memory
std::size_t Memory::find(const Text& name) const {
    auto it = first_.find(name);
    return it == first_.end() ? npos : it->second;
}

std::size_t Memory::findVector(const Text& name) const {
    std::size_t i = find(name);
    if (i == npos) return npos;
    for (; i < slots_.size(); ++i)
        if (slots_[i]->vector && slots_[i]->name == name) return i;
    return npos;
}

void Memory::append(Slot slot) {
    slots_.push_back(std::make_unique<Slot>(std::move(slot)));
    first_.try_emplace(slots_.back()->name, slots_.size() - 1);  // (a later slot of a name is not entered)
}

MemValue Memory::value(std::size_t i) const {
    const Slot& s = slot(i);
    if (!s.vector) return elementValue(s, 0);
    M_Vector v;
    v.elems.reserve(s.count);
    for (std::size_t k = 0; k < s.count; ++k) v.elems.push_back(elementValue(s, k));
    return MemValue{std::move(v)};
}

// ------------------------------------------------ values in and out of slots
bool kindOf(const MemValue& value, Kind& kind) {
    switch (value.v.index()) {
        case 0: kind = Kind::Int; return true;    // M_Int
        case 1: kind = Kind::Bool; return true;   // M_Boolean
        case 4: kind = Kind::Real; return true;   // M_Float
        case 5: kind = Kind::Text; return true;   // M_Str
        default: return false;
    }
}
static_assert(std::is_same_v<std::variant_alternative_t<0, decltype(MemValue::v)>, M_Int> &&
              std::is_same_v<std::variant_alternative_t<1, decltype(MemValue::v)>, M_Boolean> &&
              std::is_same_v<std::variant_alternative_t<4, decltype(MemValue::v)>, M_Float> &&
              std::is_same_v<std::variant_alternative_t<5, decltype(MemValue::v)>, M_Str>);

namespace {

void unsetElement(Slot& slot, std::size_t i) {
    std::visit(overloaded{[](std::monostate&) {}, [&](auto& store) { store.unset(i); }}, slot.store);
}

}  // namespace

MemValue elementValue(const Slot& slot, std::size_t i) {
    switch (slot.store.index()) {
        case 0: return MemValue{M_Garbage{}};
        default: break;
    }
    switch (slot.kind()) {
        case Kind::Int: {
            IntVal v;
            if (!slot.as<Kind::Int>().get(i, v)) break;
            return MemValue{M_Int{integerOf(v)}};
        }
        case Kind::Real: {
            double d;
            if (!slot.as<Kind::Real>().get(i, d)) break;
            return MemValue{M_Float{d}};
        }
        case Kind::Bool: {
            bool b;
            if (!slot.as<Kind::Bool>().get(i, b)) break;
            return MemValue{M_Boolean{b}};
        }
        case Kind::Text: {
            const Text* t = slot.as<Kind::Text>().get(i);
            if (t == nullptr) break;
            return MemValue{M_Str{*t}};
        }
        case Kind::None: break;
    }
    return MemValue{M_Garbage{}};
}

void storeElement(Slot& slot, std::size_t i, MemValue value) {
    Kind kind;
    if (!kindOf(value, kind)) {
        if (!std::holds_alternative<M_Garbage>(value.v)) failInternal(kWrongType);
        unsetElement(slot, i);
        return;
    }
    slot.becomeKind(kind);
    if (slot.kind() != kind) failInternal(kWrongType);
    switch (kind) {
        case Kind::Int: slot.as<Kind::Int>().set(i, intValOf(std::get<M_Int>(value.v).value)); break;
        case Kind::Real: slot.as<Kind::Real>().set(i, std::get<M_Float>(value.v).value); break;
        case Kind::Bool: slot.as<Kind::Bool>().set(i, std::get<M_Boolean>(value.v).value); break;
        case Kind::Text: slot.as<Kind::Text>().give(i) = std::move(std::get<M_Str>(value.v).value); break;
        case Kind::None: break;
    }
}

}  // namespace jox
