#include "work_notation.h"

#include "decimal_parser.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tessivo {

void formatWorkValue(long double v, char* out)
{
    // "d.ddddddddddddddde+XXXX" at most, with the sign in front.
    char text[48];
    const auto res = std::to_chars(text, text + sizeof text, std::fabs(v), std::chars_format::scientific, 14);
    const char* e = static_cast<const char*>(std::memchr(text, 'e', static_cast<std::size_t>(res.ptr - text)));
    out[0] = std::signbit(v) ? '-' : ' ';
    std::memcpy(out + 1, text, 16); // first digit, point, 14 digits
    out[17] = 'E';
    out[18] = e[1];
    const char* digits = e + 2;
    const auto count = static_cast<int>(res.ptr - digits);
    for (int i = 0; i < 4; ++i)
        out[19 + i] = i < 4 - count ? '0' : digits[i - (4 - count)];
}

std::string formatWorkValue(long double v)
{
    std::string line(kWorkValueWidth, ' ');
    formatWorkValue(v, line.data());
    return line;
}

bool parseWorkValue(std::string_view text, long double& v)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
        --last;
    return parseDecimal(text.substr(first, last - first), v);
}

long double roundToWorkPrecision(long double v)
{
    char line[kWorkValueWidth];
    formatWorkValue(v, line);
    long double r = v;
    parseWorkValue(std::string_view(line, kWorkValueWidth), r);
    return r;
}

} // namespace tessivo
