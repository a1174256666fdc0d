// The run-time memory: one slot per declared variable, in declaration order.
//
// A slot holds its elements in a store made for their type (a simple
// variable is a slot of one element):
//  - int: one machine word per element; an element whose value does not fit
//    a word keeps it in an Integer of its own, and its word says which;
//  - real: one double per element;
//  - logico: one byte per element;
//  - string: one text per element, and one bit per element saying whether it
//    has been given a value.
// "Not given a value yet" costs nothing more: it is the all-zero word, double
// code or byte, which no value is held as.
//
// A slot learns its type from the declarations when a program is compiled,
// or else from the first value stored in it; until then it has no store, and
// all its elements are unset.  The checker makes sure that a program stores
// into a slot values of its declared type only.
//
// A store never moves once it is made, so the evaluator's compiled code
// reads and writes the elements where they are.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "eval/Numbers.h"
#include "syntax/JoxTypes.h"

namespace jox {

// The four types of values a variable holds; and None, the type of an
// expression whose evaluation always ends the run (it never yields a value).
enum class Kind : std::uint8_t { Int, Real, Bool, Text, None };

// ---------------------------------------------------------------- stores
// An array whose elements start as all-zero bytes, which every store reads as
// "unset".  Its memory comes from calloc: pages of a large array that nothing
// writes to are never touched, so a large vector costs only what is used.
template <class T>
class ZeroedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    explicit ZeroedArray(std::size_t count)
        : data_(static_cast<T*>(std::calloc(count == 0 ? 1 : count, sizeof(T)))), size_(count) {
        if (data_ == nullptr) throw std::bad_alloc();
    }
    ZeroedArray(ZeroedArray&& other) noexcept : data_(other.data_), size_(other.size_) {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    ZeroedArray(const ZeroedArray&) = delete;
    ZeroedArray& operator=(const ZeroedArray&) = delete;
    ZeroedArray& operator=(ZeroedArray&& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        return *this;
    }
    ~ZeroedArray() { std::free(data_); }

    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

private:
    T* data_;
    std::size_t size_;
};

// Integers: one word per element.  The word 0 is an unset element, the words
// 1 to 2^32 - 1 an element held as an Integer (the word names which), and
// every other word the value (word - 2^63) itself: so values from -2^63 up to
// -2^63 + 2^32 - 1 are held as Integers too.
//
// An Integer that a word overwrites is not given back at once (a store of a
// word does not look at the word it replaces); when the Integers run out,
// those that no word names any more are searched for and used again.  A
// search reads every word, so searches are spaced out (see findUnused): each
// store pays a bounded share of them, and the Integers held stay within
// twice as many as were named at one time, or 64 + half the element count.
class IntStore {
public:
    explicit IntStore(std::size_t count) : words_(count), searchAt_(kLeastSearch + count / 2) {}

    std::size_t size() const { return words_.size(); }

    // Element i into `v`; false when it is unset.
    [[gnu::always_inline]] bool get(std::size_t i, IntVal& v) const { return decode(words_[i], v); }
    // The same for a word of this store read where it is (see cell()).
    [[gnu::always_inline]] bool decode(std::uint64_t w, IntVal& v) const {
        if (w >= kFirstWord) [[likely]] {
            v = {static_cast<std::int64_t>(w ^ kSignBit)};
            return true;
        }
        if (w == 0) return false;
        v = intValOf(*bigs_[w - 1]);  // (a word next to the least one is a word)
        return true;
    }

    [[gnu::always_inline]] void set(std::size_t i, IntVal v) {
        std::uint64_t code = static_cast<std::uint64_t>(v.word) ^ kSignBit;
        if (v.isWord() && code >= kFirstWord) [[likely]] {
            words_[i] = code;
            return;
        }
        setInteger(i, v);
    }
    // The same for a value computed into `result` (an operation's result
    // register): a value held there is moved into the store, and the
    // register gets the Integer the element held, to compute into next time.
    [[gnu::always_inline]] void set(std::size_t i, IntVal v, Integer& result) {
        if (v.big == &result) [[unlikely]]
            return take(i, result);
        set(i, v);
    }
    void unset(std::size_t i) { words_[i] = 0; }

    // The word of element i, where it stays.
    const std::uint64_t* cell(std::size_t i) const { return &words_[i]; }

    // What the store has done so far, for its tests: the Integers it holds,
    // named or not, and the words and Integers its searches have read.
    std::size_t integers() const { return bigs_.size(); }
    std::uint64_t searched() const { return searched_; }

private:
    static constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
    static constexpr std::uint64_t kFirstWord = std::uint64_t{1} << 32;
    static constexpr std::size_t kLeastSearch = 64;

    // Element i <- v, which is held as an Integer.
    void setInteger(std::size_t i, IntVal v);
    // Element i <- z, which does not fit a word, by swapping Integers.
    void take(std::size_t i, Integer& z);
    // The number of an Integer that no word names, made or found.
    std::size_t freeInteger();
    // Finds the Integers that no word names, and when to search again.
    void findUnused();

    static bool namesInteger(std::uint64_t w) { return w - 1 < kFirstWord - 1; }

    ZeroedArray<std::uint64_t> words_;
    std::vector<std::unique_ptr<Integer>> bigs_;  // (an Integer never moves)
    std::vector<std::uint32_t> freeBigs_;         // numbers of unused Integers
    std::size_t searchAt_;                        // the next search: when this many are held
    std::uint64_t searched_ = 0;
};

// A store of one code per element, the code 0 standing for an unset
// element: Coding says how a value is coded.
template <class Coding>
class CodedStore {
public:
    using Code = typename Coding::Code;
    using Value = typename Coding::Value;

    explicit CodedStore(std::size_t count) : codes_(count) {}

    std::size_t size() const { return codes_.size(); }
    [[gnu::always_inline]] bool get(std::size_t i, Value& v) const { return decode(codes_[i], v); }
    [[gnu::always_inline]] static bool decode(Code code, Value& v) {
        v = Coding::decode(code);
        return code != 0;
    }
    void set(std::size_t i, Value v) { codes_[i] = Coding::encode(v); }
    void unset(std::size_t i) { codes_[i] = 0; }
    // The code of element i, where it stays.
    const Code* cell(std::size_t i) const { return &codes_[i]; }

private:
    ZeroedArray<Code> codes_;
};

// Reals: the bits of the double exclusive-or those of a signalling NaN,
// which arithmetic never yields.
struct RealCoding {
    using Code = std::uint64_t;
    using Value = double;
    static constexpr Code kUnsetBits = 0x7FF0'0000'0DEA'D001;
    static Code encode(double d) { return std::bit_cast<Code>(d) ^ kUnsetBits; }
    static double decode(Code c) { return std::bit_cast<double>(c ^ kUnsetBits); }
};
using RealStore = CodedStore<RealCoding>;

// Truth values: 1 true, 2 false.
struct BoolCoding {
    using Code = std::uint8_t;
    using Value = bool;
    static Code encode(bool b) { return b ? 1 : 2; }
    static bool decode(Code c) { return c == 1; }
};
using BoolStore = CodedStore<BoolCoding>;

// Texts: one text per element, and one bit each that says whether it has
// been given a value.
class TextStore {
public:
    explicit TextStore(std::size_t count) : texts_(count), given_((count + 63) / 64) {}

    std::size_t size() const { return texts_.size(); }
    // Element i, or null when it is unset.
    [[gnu::always_inline]] const Text* get(std::size_t i) const {
        return (given_[i / 64] >> (i % 64)) & 1 ? &texts_[i] : nullptr;
    }
    // Element i, given a value through the reference by the caller.
    [[gnu::always_inline]] Text& give(std::size_t i) {
        given_[i / 64] |= std::uint64_t{1} << (i % 64);
        return texts_[i];
    }
    void set(std::size_t i, const Text& t) { give(i) = t; }
    void unset(std::size_t i) {
        given_[i / 64] &= ~(std::uint64_t{1} << (i % 64));
        texts_[i] = Text();
    }

private:
    std::vector<Text> texts_;
    ZeroedArray<std::uint64_t> given_;
};

// The store of a slot; none until the slot's type is known.
using Store = std::variant<std::monostate, IntStore, RealStore, BoolStore, TextStore>;

// The store and the values of each kind (a text is a reference into the
// memory or into the result of the node that computed it).
template <Kind K>
struct KindOf;
template <>
struct KindOf<Kind::Int> {
    using Store = IntStore;
    using Value = IntVal;
};
template <>
struct KindOf<Kind::Real> {
    using Store = RealStore;
    using Value = double;
};
template <>
struct KindOf<Kind::Bool> {
    using Store = BoolStore;
    using Value = bool;
};
template <>
struct KindOf<Kind::Text> {
    using Store = TextStore;
    using Value = const Text&;
};
template <Kind K>
using StoreFor = typename KindOf<K>::Store;

// ------------------------------------------------------------------ slots
struct Slot {
    Text name;
    bool vector = false;     // declared as a vector (else one element)
    std::size_t count = 1;   // its number of elements
    Store store;

    bool typed() const { return store.index() != 0; }
    Kind kind() const { return static_cast<Kind>(store.index() - 1); }  // when typed
    // Gives the slot its type: a store of `count` unset elements.  A slot that
    // has its type keeps it.
    void becomeKind(Kind kind);
    // A store of elements of `kind` holding none of the slot's old values.
    void replaceKind(Kind kind);

    template <Kind K>
    StoreFor<K>& as() {
        return std::get<StoreFor<K>>(store);
    }
    template <Kind K>
    const StoreFor<K>& as() const {
        return std::get<StoreFor<K>>(store);
    }
};

// ------------------------------------------------------------------ Memory
class Memory {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    Memory() = default;
    // A memory is never copied (a copy would duplicate every vector); it is
    // moved or handed on by reference.
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;
    Memory(Memory&&) noexcept = default;
    Memory& operator=(Memory&&) noexcept = default;

    // The slots, in declaration order.
    std::size_t size() const { return slots_.size(); }
    Slot& slot(std::size_t i) { return *slots_[i]; }
    const Slot& slot(std::size_t i) const { return *slots_[i]; }
    const Text& name(std::size_t i) const { return slots_[i]->name; }
    // The value of slot i: M_Garbage while unset, M_Vector for a vector.
    MemValue value(std::size_t i) const;

    // The first slot called `name`, or npos.
    std::size_t find(const Text& name) const;
    // The first vector slot called `name`, or npos (slots that are not
    // vectors are passed over, whatever their name).
    std::size_t findVector(const Text& name) const;

    // Appends a slot at the end (even when the name is already there: the
    // first slot of a name is the one every lookup finds).
    void append(Slot slot);

private:
    std::vector<std::unique_ptr<Slot>> slots_;  // (slots never move)
    // The first slot of each name (the names are those of the slots).
    std::unordered_map<std::string_view, std::size_t> first_;
};

// ------------------------------------------------ values in and out of slots
// The type of a value that a slot can hold; false for M_Garbage, M_Var and
// M_Vector.
bool kindOf(const MemValue& value, Kind& kind);
// Element i of a slot as a run-time value (M_Garbage when unset).
MemValue elementValue(const Slot& slot, std::size_t i);
// Stores a run-time value as element i; a slot without a type takes the
// value's.  A value of another type than the slot's, which no checked program
// stores, is an internal error (No. 148).
void storeElement(Slot& slot, std::size_t i, MemValue value);

}  // namespace jox
