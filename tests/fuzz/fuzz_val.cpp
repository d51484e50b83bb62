// VAL over arbitrary text. Property: the text of a plain decimal number
// (optional sign, digits with an optional point, optional E exponent; at most
// 256 significant digits and 18 exponent digits, leading zeros not counted)
// gives exactly strtold's value.
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

#include "runtime/errors/errors.h"
#include "runtime/strings/text_to_number.h"

namespace {

bool plain_decimal(const std::string& text) {
    static const std::regex form(R"([+-]?(\d*)\.?(\d*)(?:[Ee][+-]?(?=\d)0*(\d*))?)");
    std::smatch parts;
    if (!std::regex_match(text, parts, form) || parts[1].length() + parts[2].length() == 0) return false;
    const std::string digits = parts[1].str() + parts[2].str();
    const std::size_t first = digits.find_first_not_of('0');
    return (first == std::string::npos || digits.size() - first <= 256) && parts[3].length() <= 18;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    strings_startup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pending_error = 0;
    str_desc* text = str_from_literal(data, static_cast<std::int32_t>(size));
    const long double value = text_to_number(text);
    str_free(text);
    const std::int32_t error = pending_error.exchange(0);
    if (error != 0 && (error != 6 || value != 0)) std::abort();   // only an over-long &H, &O, &B: Overflow and 0
    const std::string typed(reinterpret_cast<const char*>(data), size);
    if (value != std::strtold(typed.c_str(), nullptr) && plain_decimal(typed)) std::abort();   // the slow test last
    return 0;
}
