// Fuzz target: the fuzz bytes choose a daVinci command value (any alternative
// of every family, any field contents); its text is written with showCmd and
// read back with the stand-in's readCmd.  The reading must succeed, write the
// same text again, and give back the value itself - except where two
// alternatives share one word (SelectChildren is written "select_childs" and
// reads as SelectChilds): then the value read back must be a fixpoint.
// The same bytes are also read as a command line themselves: the reader may
// refuse them (with a reason), but a command it reads must write a text that
// reads back as that command.
//
// The value is built generically: variants by a chosen index, aggregates
// field by field (their fields are found with structured bindings),
// vectors, optionals and tuples element by element.  Recursive families
// (menus, graph terms) stop growing at a fixed depth.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "graphtool/CmdReader.h"
#include "graphtool/DaVinciTypes.h"
#include "syntax/Failure.h"

// Outside the anonymous namespace: its conversion is declared, never defined.
namespace fuzzgen {
struct AnyField {
    template <class T>
    operator T() const;  // NOLINT: converts to any field type, only in unevaluated contexts
};
}  // namespace fuzzgen

namespace {

using namespace jox::dv;
using fuzzgen::AnyField;

constexpr int kMaxDepth = 12;
constexpr std::size_t kMaxList = 6;

// ------------------------------------------------ counting aggregate fields
template <class T, class... Fields>
concept BraceInit = requires { T{std::declval<Fields>()...}; };

template <class T, std::size_t... I>
constexpr bool initsWith(std::index_sequence<I...>) {
    return BraceInit<T, decltype((void)I, AnyField{})...>;
}

template <class T, std::size_t N = 0>
constexpr std::size_t fieldCount() {
    if constexpr (N > 8) {
        return N;  // more than the vocabulary ever has: fails below
    } else if constexpr (initsWith<T>(std::make_index_sequence<N + 1>{})) {
        return fieldCount<T, N + 1>();
    } else {
        return N;
    }
}

// ------------------------------------------------------------ the builder
class Builder {
public:
    explicit Builder(FuzzedDataProvider& in) : in_(in) {}

    void fill(std::string& s) { s = in_.ConsumeRandomLengthString(24); }
    void fill(bool& b) { b = in_.ConsumeBool(); }
    void fill(std::int32_t& n) { n = in_.ConsumeIntegral<std::int32_t>(); }
    template <class T>
        requires std::is_enum_v<T>
    void fill(T& e) {
        e = static_cast<T>(in_.ConsumeIntegralInRange<int>(0, lastEnum<T>()));
    }

    template <class T>
    void fill(std::vector<T>& xs) {
        std::size_t n = depth_ >= kMaxDepth ? 0 : in_.ConsumeIntegralInRange<std::size_t>(0, kMaxList);
        xs.resize(n);
        for (auto& x : xs) nested(x);
    }
    template <class T>
    void fill(std::optional<T>& x) {
        if (in_.ConsumeBool()) {
            x.emplace();
            fill(*x);
        } else {
            x.reset();
        }
    }
    template <class... T>
    void fill(std::tuple<T...>& t) {
        std::apply([&](auto&... field) { (fill(field), ...); }, t);
    }
    template <class... T>
    void fill(std::variant<T...>& v) {
        std::size_t index = in_.ConsumeIntegralInRange<std::size_t>(0, sizeof...(T) - 1);
        emplaceAt<0>(v, index);
    }
    void fill(NodePtr& p) {
        Node node;
        nested(node);
        p = NodePtr(std::move(node));
    }

    // Aggregates: every field in order.
    template <class T>
        requires std::is_aggregate_v<T>
    void fill(T& x) {
        constexpr std::size_t n = fieldCount<T>();
        if constexpr (n == 0) {
        } else if constexpr (n == 1) {
            auto& [a] = x;
            fill(a);
        } else if constexpr (n == 2) {
            auto& [a, b] = x;
            fill(a), fill(b);
        } else if constexpr (n == 3) {
            auto& [a, b, c] = x;
            fill(a), fill(b), fill(c);
        } else if constexpr (n == 4) {
            auto& [a, b, c, d] = x;
            fill(a), fill(b), fill(c), fill(d);
        } else if constexpr (n == 5) {
            auto& [a, b, c, d, e] = x;
            fill(a), fill(b), fill(c), fill(d), fill(e);
        } else if constexpr (n == 6) {
            auto& [a, b, c, d, e, f] = x;
            fill(a), fill(b), fill(c), fill(d), fill(e), fill(f);
        } else if constexpr (n == 7) {
            auto& [a, b, c, d, e, f, g] = x;
            fill(a), fill(b), fill(c), fill(d), fill(e), fill(f), fill(g);
        } else {
            static_assert(n <= 7, "add a case for this many fields");
        }
    }

private:
    template <class T>
    static constexpr int lastEnum() {
        if constexpr (std::is_same_v<T, Orient>) return static_cast<int>(Orient::RightLeft);
        else if constexpr (std::is_same_v<T, Direction>) return static_cast<int>(Direction::DVRight);
        else return static_cast<int>(MenuMod::None);
    }

    template <class T>
    void nested(T& x) {
        ++depth_;
        fill(x);
        --depth_;
    }

    template <std::size_t I, class V>
    void emplaceAt(V& v, std::size_t index) {
        if constexpr (I < std::variant_size_v<V>) {
            if (index == I) {
                fill(v.template emplace<I>());
            } else {
                emplaceAt<I + 1>(v, index);
            }
        }
    }

    FuzzedDataProvider& in_;
    int depth_ = 0;
};

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    try {
        std::string_view raw(reinterpret_cast<const char*>(data), size);
        if (std::optional<DaVinciCmd> read = readCmd(raw, error)) {
            std::optional<DaVinciCmd> again = readCmd(showCmd(*read), error);
            check(again.has_value() && *again == *read);
        } else {
            check(!error.empty());
        }
    } catch (const jox::StackExhausted&) {
        // Terms nested deeper than the stack.
    }

    FuzzedDataProvider in(data, size);
    DaVinciCmd cmd;
    Builder(in).fill(cmd);

    std::string text = showCmd(cmd);
    std::optional<DaVinciCmd> back = readCmd(text, error);
    check(back.has_value());
    check(showCmd(*back) == text);
    if (!(*back == cmd)) {
        std::optional<DaVinciCmd> again = readCmd(showCmd(*back), error);
        check(again.has_value() && *again == *back);
    }
    return 0;
}
