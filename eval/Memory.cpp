// The run-time memory: entries in declaration order, found by hash and by a
// per-node hint, changed in place.
#include <unistd.h>

#include <cstdint>

#include "check/ValueText.h"
#include "eval/EvalExp.h"
#include "eval/EvalInternal.h"
#include "syntax/Failure.h"

namespace jox {

using namespace detail;

namespace {

const std::size_t physicalBytes = [] {
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::size_t{1} << 34;
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}();

}  // namespace

RunLimits runLimits;

// ------------------------------------------------------------------ Memory
std::size_t Memory::find(const Text& name) const {
    auto it = index_.find(name);
    return it == index_.end() ? npos : it->second;
}

std::size_t Memory::findNodeSlow(const Text& name) const {
    std::size_t slot = find(name);
    if (slot != npos) hints_[hintOf(&name)] = Hint{&name, slot};
    return slot;
}

void Memory::append(Text name, MemValue value) {
    index_.emplace(name, entries_.size());
    entries_.push_back(Entry{std::move(name), std::move(value)});
    generation_ = newGeneration();
}

std::uint64_t Memory::newGeneration() {
    static std::uint64_t last = 0;  // 0 is the generation of no memory
    return ++last;
}

Memory::Memory(Memory&& other) noexcept
    : entries_(std::move(other.entries_)),
      generation_(other.generation_),
      index_(std::move(other.index_)),
      hints_(other.hints_),
      stableNames_(other.stableNames_) {
    other.entries_.clear();
    other.index_.clear();
    other.generation_ = newGeneration();
}

Memory& Memory::operator=(Memory&& other) noexcept {
    if (this == &other) return *this;
    entries_ = std::move(other.entries_);
    generation_ = other.generation_;
    index_ = std::move(other.index_);
    hints_ = other.hints_;
    stableNames_ = other.stableNames_;
    other.entries_.clear();
    other.index_.clear();
    other.generation_ = newGeneration();
    return *this;
}

const MemValue* Memory::findPlaceSlow(const Text& name, const PlaceHint& hint) const {
    std::size_t slot = find(name);
    const MemValue* place = slot == npos ? nullptr : &entries_[slot].value;
    hint.generation = generation_;
    hint.place = const_cast<MemValue*>(place);
    return place;
}

// ---------------------------------------------------------------- messages
namespace detail {

std::string withContactLine(const std::string& first) {
    return first + "\nPor favor, entre em contato com os desenvolvedores do sistema.";
}

void failUnset(const Text& name) { fail("Vari\xE1vel " + name + " n\xE3o inicializada."); }

void failUnsetElem(const Text& name, const Integer& index) {
    fail("Vari\xE1vel " + name + "[" + intText(index) + "] n\xE3o inicializada.");
}

void failOutOfBounds(const Text& name, const Integer& index) {
    fail("Vetor " + name + "[" + intText(index) + "] indexado fora dos limites.");
}

void failOperands() { fail(internalError(140)); }

void checkAffordable(std::size_t count, std::size_t elementBytes) {
    if (count > kMaxElements || count * elementBytes > physicalBytes / 2) throw std::bad_alloc();
    if (runLimits.valueBytes != 0 && count * elementBytes > runLimits.valueBytes) throw std::bad_alloc();
}

void failNotIndex() { fail(internalError(141)); }

void failNoVariable() { fail(withContactLine("Erro Interno No. 101.")); }

namespace {

// The slot of the first vector entry called `name`, or npos.  Entries that
// are not vectors are passed over whatever their name.
std::size_t vectorSlot(const Memory& memory, const Text& name) {
    std::size_t slot = memory.findNode(name);
    if (slot == Memory::npos) return slot;
    if (memory.valueAt(slot).v.index() == kVec) return slot;
    for (std::size_t i = slot + 1; i < memory.size(); ++i)
        if (memory.entry(i).name == name && memory.valueAt(i).v.index() == kVec) return i;
    return Memory::npos;
}

}  // namespace

const MemValue* vectorPlace(const Memory& memory, const Text& name, const PlaceHint& hint) {
    const MemValue* place = memory.findPlace(name, hint);
    if (place == nullptr || place->v.index() == kVec) return place;
    std::size_t slot = vectorSlot(memory, name);
    return slot == Memory::npos ? nullptr : &memory.valueAt(slot);
}

namespace {

const MemValue& elemAt(const MemValue* vector, const Text& name, const Integer& index, MemValue& out) {
    if (vector == nullptr) fail(withContactLine("Erro Interno No. 102."));
    const M_Vector& vec = *as<M_Vector>(*vector);
    std::size_t i;
    if (!position(index, elemCount(vec), i)) failOutOfBounds(name, index);
    if (heldAsWords(vec)) {
        std::int64_t w = vec.words[i];
        if (w == kUnsetWord) failUnsetElem(name, index);
        setInt(out, w);
        return out;
    }
    const MemValue& v = vec.elems[i];
    if (v.v.index() == kGarbage) failUnsetElem(name, index);
    return v;
}

}  // namespace

const MemValue& elemRef(const Memory& memory, const Text& name, const PlaceHint& hint, const Integer& index,
                        MemValue& out) {
    return elemAt(vectorPlace(memory, name, hint), name, index, out);
}

void unpackWords(M_Vector& v) {
    if (!heldAsWords(v)) return;
    std::vector<MemValue> elems;
    elems.reserve(v.words.size());
    for (std::int64_t w : v.words) {
        if (w == kUnsetWord)
            elems.push_back(MemValue{M_Garbage{}});
        else
            elems.push_back(MemValue{M_Int{static_cast<long>(w)}});
    }
    v.elems = std::move(elems);
    v.words = {};
}

std::size_t vectorSlotForStore(const Memory& memory, const Text& name) {
    std::size_t slot = vectorSlot(memory, name);
    if (slot == Memory::npos) fail(withContactLine("Erro Interno N0. 103."));
    return slot;
}

MemValue& elemForStore(Memory& memory, std::size_t slot, const Text& name, const Integer& index) {
    auto& vec = *as<M_Vector>(memory.valueAt(slot));
    std::size_t i;
    if (!position(index, elemCount(vec), i)) failOutOfBounds(name, index);
    unpackWords(vec);
    return vec.elems[i];
}

}  // namespace detail

// ------------------------------------------------------- memory operations
Memory fillGarbage(const std::vector<Variable>& vars, Memory memory) {
    for (const Variable& var : vars) {
        if (const auto* s = std::get_if<Simple>(&var)) {
            memory.append(s->name, MemValue{M_Garbage{}});
            continue;
        }
        const auto& vec = std::get<Vector>(var);
        Memory empty;
        MemValue size = evalExp(*vec.index, empty);
        if (size.v.index() != kInt) fail(internalError(142));
        const Integer& n = intOf(size);
        std::size_t count = 0;
        if (mpz_sgn(n.get_mpz_t()) > 0) {
            if (!mpz_fits_ulong_p(n.get_mpz_t())) throw std::bad_alloc();
            count = mpz_get_ui(n.get_mpz_t());
            checkAffordable(count, sizeof(MemValue));
        }
        if (count >= kWordsFrom)
            memory.append(vec.name, MemValue{M_Vector{{}, std::vector<std::int64_t>(count, kUnsetWord)}});
        else
            memory.append(vec.name, MemValue{M_Vector{std::vector<MemValue>(count, MemValue{M_Garbage{}})}});
    }
    return memory;
}

const MemValue& seekVarValue(const Memory& memory, const Text& name) {
    std::size_t slot = memory.findNode(name);
    if (slot == Memory::npos) failNoVariable();
    const MemValue& v = memory.valueAt(slot);
    if (v.v.index() == kGarbage) failUnset(name);
    return v;
}

// The element is handed out by reference: a vector of words is first turned
// into its elements (the memory is never const where it lives).
const MemValue& seekVectorValue(const Memory& memory, const Text& name, const Integer& index) {
    std::size_t slot = vectorSlot(memory, name);
    if (slot == Memory::npos) fail(withContactLine("Erro Interno No. 102."));
    MemValue& vector = const_cast<MemValue&>(memory.valueAt(slot));
    auto& vec = *as<M_Vector>(vector);
    std::size_t i;
    if (!position(index, elemCount(vec), i)) failOutOfBounds(name, index);
    unpackWords(vec);
    const MemValue& v = vec.elems[i];
    if (v.v.index() == kGarbage) failUnsetElem(name, index);
    return v;
}

void evalUpdate(Memory& memory, const Text& name, MemValue value) {
    std::size_t slot = memory.findNode(name);
    if (slot == Memory::npos)
        memory.append(name, std::move(value));
    else
        memory.valueAt(slot) = std::move(value);
}

void evalVectorUpdate(Memory& memory, const Text& name, MemValue value, const Integer& index) {
    std::size_t slot = vectorSlotForStore(memory, name);
    auto& vec = *as<M_Vector>(memory.valueAt(slot));
    std::size_t i;
    std::int64_t w;
    if (heldAsWords(vec) && position(index, vec.words.size(), i) && wordOf(value, w)) {
        vec.words[i] = w;
        return;
    }
    elemForStore(memory, slot, name, index) = std::move(value);
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
