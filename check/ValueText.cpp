#include "check/ValueText.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace jox {

Text intText(const Integer& value) { return value.get_str(10); }

Text realText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (std::signbit(value)) return "-" + realText(-value);
    if (value == 0) return "0.0";

    // Shortest round-trip digits in scientific form: "d.ddde+XX" or "de-XX".
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    (void)ec;  // a double always fits in 64 characters
    std::string_view sci(buf, static_cast<std::size_t>(end - buf));
    std::size_t ePos = sci.find('e');
    std::string_view mantissa = sci.substr(0, ePos);
    std::string_view expText = sci.substr(ePos + 1);
    if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
    int exp10 = 0;  // value = d1.d2...dk * 10^exp10
    std::from_chars(expText.data(), expText.data() + expText.size(), exp10);

    Text digits;
    for (char c : mantissa)
        if (c != '.') digits += c;
    Text rest = digits.size() > 1 ? digits.substr(1) : Text("0");

    // With value = 0.d1d2...dk * 10^e, e = exp10 + 1: plain text for
    // 0 <= e <= 7, that is 0.1 <= value < 10^7.
    int e = exp10 + 1;
    if (e < 0 || e > 7) return digits.substr(0, 1) + "." + rest + "e" + std::to_string(exp10);
    if (e == 0) return "0." + digits;
    std::size_t intLen = static_cast<std::size_t>(e);
    if (digits.size() <= intLen) return digits + Text(intLen - digits.size(), '0') + ".0";
    return digits.substr(0, intLen) + "." + digits.substr(intLen);
}

}  // namespace jox
