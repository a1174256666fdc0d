// The run-time memory: initial contents, reads, in-place stores, increments
// that only compute, and the exact failure texts.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "check/CheckProgram.h"
#include "check/ValueText.h"
#include "eval/EvalExp.h"
#include "syntax/Failure.h"

namespace jox {
namespace {

std::string failure(const std::function<void()>& f) {
    try {
        f();
    } catch (const JoxError& e) {
        return e.what();
    }
    return "";
}

MemValue i(long n) { return MemValue{M_Int{n}}; }

Variable vec(const char* name, long size) { return Vector{name, mkFactorExp(E_Int{Integer(size)})}; }

// int a, b; real v[size]
Memory sample(long size = 3) {
    DeclList decls = {VarInt{{Simple{"a"}, Simple{"b"}}}, VarReal{{vec("v", size)}}};
    return fillGarbage(removeVar(decls), Memory{});
}

TEST(Memory, FillGarbageKeepsDeclarationOrder) {
    Memory m = sample();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m.name(0), "a");
    EXPECT_EQ(m.name(1), "b");
    EXPECT_EQ(m.name(2), "v");
    EXPECT_TRUE(std::holds_alternative<M_Garbage>(m.value(0).v));
    MemValue vector = m.value(2);
    const auto& elems = std::get<M_Vector>(vector.v).elems;
    ASSERT_EQ(elems.size(), 3u);
    for (const MemValue& e : elems) EXPECT_TRUE(std::holds_alternative<M_Garbage>(e.v));

    // No variables: the memory given comes back as it was.
    Memory given;
    evalUpdate(given, "z", i(1));
    Memory same = fillGarbage({}, std::move(given));
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(fromMem(seekVarValue(same, "z")), "1");
}

TEST(Memory, ElementsAreReadAndStoredInPlace) {
    for (long size : {3L, 300L}) {
        SCOPED_TRACE(size);
        Memory m = sample(size);
        evalUpdate(m, "a", i(5));
        evalVectorUpdate(m, "v", MemValue{M_Float{-7.0}}, 2);
        evalVectorUpdate(m, "v", MemValue{M_Float{2.5}}, 1);
        EXPECT_EQ(fromMem(seekVectorValue(m, "v", 1)), "2.5");
        EXPECT_EQ(fromMem(seekVectorValue(m, "v", 2)), "-7.0");
        EXPECT_EQ(failure([&] { seekVectorValue(m, "v", 0); }), "Vari\xE1vel v[0] n\xE3o inicializada.");
        EXPECT_EQ(fromMem(seekVarValue(m, "a")), "5");
        EXPECT_EQ(failure([&] { seekVarValue(m, "b"); }), "Vari\xE1vel b n\xE3o inicializada.");
        ASSERT_EQ(m.size(), 3u);
        EXPECT_EQ(m.name(2), "v");

        std::string past = "Vetor v[" + std::to_string(size) + "] indexado fora dos limites.";
        const char* outNeg = "Vetor v[-1] indexado fora dos limites.";
        EXPECT_EQ(failure([&] { seekVectorValue(m, "v", size); }), past);
        EXPECT_EQ(failure([&] { seekVectorValue(m, "v", -1); }), outNeg);
        EXPECT_EQ(failure([&] { evalVectorUpdate(m, "v", i(1), size); }), past);
        EXPECT_EQ(failure([&] { evalVectorUpdate(m, "v", i(1), -1); }), outNeg);
        // 2^32 + 1 is not element 1.
        EXPECT_EQ(failure([&] { evalVectorUpdate(m, "v", i(1), (Integer(1) << 32) + 1); }),
                  "Vetor v[4294967297] indexado fora dos limites.");
        EXPECT_EQ(fromMem(seekVectorValue(m, "v", 1)), "2.5");
    }
}

// Every integer is kept exactly: words, the words next to the least one
// (which an element holds as an Integer), and integers beyond a word, also
// when one element goes back and forth between them.
TEST(Memory, ElementsKeepEveryInteger) {
    Integer least = -(Integer(1) << 63);
    const Integer values[] = {
        Integer(4),
        least,
        least + 1,
        least + (Integer(1) << 32) - 1,
        least + (Integer(1) << 32),
        Integer(1) << 70,
        -(Integer(1) << 64),
        (Integer(1) << 63) - 1,
        Integer(0),
    };
    for (long size : {1L, 300L}) {
        SCOPED_TRACE(size);
        Memory m = fillGarbage(removeVar({VarInt{{vec("w", size)}}}), Memory{});
        // Each value into element 0 in turn, the one before it kept in the
        // last element.
        for (std::size_t k = 0; k < std::size(values); ++k) {
            evalVectorUpdate(m, "w", MemValue{M_Int{values[k]}}, 0);
            if (size > 1 && k > 0) evalVectorUpdate(m, "w", MemValue{M_Int{values[k - 1]}}, size - 1);
            EXPECT_EQ(fromMem(seekVectorValue(m, "w", 0)), intText(values[k])) << k;
            if (size > 1 && k > 0) {
                EXPECT_EQ(fromMem(seekVectorValue(m, "w", size - 1)), intText(values[k - 1]));
            }
        }
        evalVectorUpdate(m, "w", MemValue{M_Int{least}}, 0);
        EXPECT_EQ(fromMem(evalDecrVector("w", m, 0)), "-9223372036854775809");
        EXPECT_EQ(fromMem(evalIncrVector("w", m, 0)), "-9223372036854775807");
    }
}

// Integers that words overwrote are used again for new large values, and
// never for one still held.
TEST(Memory, IntegersOverwrittenAreUsedAgain) {
    const std::size_t n = 300;
    IntStore store(n);
    Integer out;
    auto big = [](int shift, std::size_t i) -> Integer { return (Integer(1) << shift) + static_cast<unsigned long>(i); };
    auto put = [&](std::size_t i, const Integer& z) { store.set(i, intValOf(z)); };
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < n; ++i) put(i, big(70 + round, i));
        for (std::size_t i = 0; i < n; i += 2) store.set(i, IntVal{static_cast<std::int64_t>(i)});
        for (std::size_t i = 0; i < n; i += 2) put(i, big(90 + round, i));
        for (std::size_t i = 0; i < n; ++i) {
            IntVal v;
            ASSERT_TRUE(store.get(i, v));
            EXPECT_EQ(integerOf(v), big(i % 2 == 0 ? 90 + round : 70 + round, i)) << round << " " << i;
        }
    }
}

// Large values stored into a vector, whatever the mix of words between them:
// filling, refilling after small values, a running table computed into a
// result register.  The searches for Integers no word names read a bounded
// number of words per store (each search read the whole vector before), and
// the Integers those searches find are used again: the store holds no more
// than twice as many as its elements named at one time.
TEST(Memory, SearchesForUnusedIntegersCostABoundedShareOfEachStore) {
    const std::size_t n = 20000;
    IntStore store(n);
    Integer result;
    std::uint64_t stores = 0;
    auto big = [](int shift, std::size_t i) -> Integer { return (Integer(1) << shift) + static_cast<unsigned long>(i); };
    auto put = [&](std::size_t i, const Integer& z) { store.set(i, intValOf(z)), ++stores; };
    auto expectElement = [&](std::size_t i, const Integer& want) {
        IntVal v;
        ASSERT_TRUE(store.get(i, v)) << i;
        EXPECT_EQ(integerOf(v), want) << i;
    };

    for (std::size_t i = 0; i < n; ++i) put(i, big(200, i));
    for (int round = 0; round < 4; ++round) {
        for (std::size_t i = round % 2; i < n; i += 2) store.set(i, IntVal{static_cast<std::int64_t>(i)}), ++stores;
        for (std::size_t i = round % 2; i < n; i += 2) put(i, big(100 + round, i));
    }
    for (std::size_t i = 0; i < n; ++i) expectElement(i, big(i % 2 == 0 ? 102 : 103, i));
    EXPECT_LE(store.integers(), 2 * n);

    // v[i] <- v[i - 1] + 3 from 2^64, the sum moved in from the register.
    for (std::size_t i = 0; i < n; ++i) store.set(i, IntVal{0}), ++stores;
    put(0, big(64, 0));
    for (std::size_t i = 1; i < n; ++i) {
        IntVal previous;
        ASSERT_TRUE(store.get(i - 1, previous));
        store.set(i, intAdd(previous, IntVal{3}, result), result), ++stores;
    }
    for (std::size_t i = 0; i < n; ++i) expectElement(i, big(64, 3 * i));
    EXPECT_LE(store.integers(), 2 * n);
    EXPECT_LE(store.searched(), 8 * stores);
}

// A vector holds values of one type, which no checked program breaks.
TEST(Memory, VectorElementsOfAnotherTypeAreAnInternalError) {
    Memory m = sample();
    evalVectorUpdate(m, "v", MemValue{M_Float{1.5}}, 0);
    EXPECT_EQ(failure([&] { evalVectorUpdate(m, "v", i(1), 1); }),
              "Erro interno No. 148.\nPor favor, entre em contato com os desenvolvedores do sistema.");
    EXPECT_EQ(fromMem(seekVectorValue(m, "v", 0)), "1.5");
}

TEST(Memory, UpdateReplacesInPlaceOrAppends) {
    Memory m = sample();
    evalUpdate(m, "b", MemValue{M_Str{"x"}});
    evalUpdate(m, "new", i(7));
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m.name(1), "b");
    EXPECT_EQ(fromMem(m.value(1)), "x");
    EXPECT_EQ(m.name(3), "new");
    EXPECT_EQ(fromMem(seekVarValue(m, "new")), "7");
}

TEST(Memory, IncrementsComputeWithoutStoring) {
    Memory m = sample();
    evalUpdate(m, "a", i(41));
    EXPECT_EQ(fromMem(evalIncrVar("a", m)), "42");
    EXPECT_EQ(fromMem(evalDecrVar("a", m)), "40");
    EXPECT_EQ(fromMem(seekVarValue(m, "a")), "41");
    EXPECT_EQ(failure([&] { evalIncrVar("b", m); }), "Vari\xE1vel b n\xE3o inicializada.");

    evalVectorUpdate(m, "v", i(0), 2);
    EXPECT_EQ(fromMem(evalIncrVector("v", m, 2)), "1");
    EXPECT_EQ(fromMem(evalDecrVector("v", m, 2)), "-1");
    EXPECT_EQ(fromMem(seekVectorValue(m, "v", 2)), "0");
    EXPECT_EQ(failure([&] { evalIncrVector("v", m, 0); }), "Vari\xE1vel v[0] n\xE3o inicializada.");
    EXPECT_EQ(failure([&] { evalDecrVector("v", m, 5); }), "Vetor v[5] indexado fora dos limites.");

    evalUpdate(m, "a", MemValue{M_Int{Integer("99999999999999999999")}});
    EXPECT_EQ(fromMem(evalIncrVar("a", m)), "100000000000000000000");
}

TEST(Memory, InternalErrorTexts) {
    Memory m = sample();
    const std::string contact = "\nPor favor, entre em contato com os desenvolvedores do sistema.";
    EXPECT_EQ(failure([&] { seekVarValue(m, "zz"); }), "Erro Interno No. 101." + contact);
    EXPECT_EQ(failure([&] { seekVectorValue(m, "zz", 0); }), "Erro Interno No. 102." + contact);
    // A simple variable of that name is not a vector.
    EXPECT_EQ(failure([&] { seekVectorValue(m, "a", 0); }), "Erro Interno No. 102." + contact);
    EXPECT_EQ(failure([&] { evalVectorUpdate(m, "a", i(1), 0); }), "Erro Interno N0. 103." + contact);
}

}  // namespace
}  // namespace jox
