// Any line as a work-file value: parsing never crashes, a value that parses
// keeps its 15 digits through the notation, and its shortest text (and that
// of a neighbour that needs more digits) is the C++ library's.
#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/work_notation.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    long double v = 0.0L;
    if (!tessivo::parseWorkValue(text, v))
        return 0;
    if (!std::isfinite(v))
        std::abort();
    const long double once = tessivo::roundToWorkPrecision(v);
    const long double twice = tessivo::roundToWorkPrecision(once);
    if (std::memcmp(&once, &twice, 10) != 0)
        std::abort();
    for (const long double shown : {v, v * 1.1L, std::nextafter(v, 0.0L)}) {
        char mine[64];
        char theirs[64];
        const std::size_t n = tessivo::formatShortest(shown, mine);
        const auto res = std::to_chars(theirs, theirs + sizeof theirs, shown);
        if (std::string_view(mine, n) != std::string_view(theirs, static_cast<std::size_t>(res.ptr - theirs)))
            std::abort();
    }
    // The plain decimal syntax agrees with the C library's correctly rounded strtold.
    long double direct = 0.0L;
    const std::string copy(text);
    if (size < 4000 && tessivo::parseDecimal(copy, direct)) {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        const long double expected = strtold_l(copy.c_str(), nullptr, c);
        if (std::memcmp(&direct, &expected, 10) != 0)
            std::abort();
    }
    return 0;
}
