#pragma once
// Decimal numbers as sequence files and work files write them: an optional
// sign, digits with an optional ".", an optional exponent ("E" or "e", an
// optional sign, digits). At least one mantissa digit. No nan, inf, hex,
// comma or blanks. Conversion to long double is correctly rounded (halves
// to even) whatever the number of digits; memory stays bounded for tokens of
// any length.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessivo {

class DecimalParser {
public:
    DecimalParser();
    // Starts a new token whose decimal separator is decimalSeparator (not a
    // digit, sign or exponent mark).
    void reset(char decimalSeparator = '.');
    // Takes the next character of the token; false when it cannot belong to
    // a number (the token is then not a number).
    bool feed(char c);
    // Ends the token; false when it is not a complete number or too large
    // for long double. Values too small for it become (signed) zero.
    bool finish(long double& value);

private:
    enum class State : std::uint8_t { Start, Sign, Int, Frac, ExpMark, ExpSign, ExpDigits };
    State m_state = State::Start;
    char m_separator = '.';
    bool m_negative = false;
    bool m_expNegative = false;
    bool m_anyDigit = false;
    bool m_droppedNonZero = false;
    std::int64_t m_decimalExponent = 0; // value = 0.DIGITS x 10^(this + exponent)
    std::int64_t m_exponent = 0;        // saturates far beyond every finite value
    std::uint64_t m_mantissa = 0;       // the first 19 significant digits as a number
    std::size_t m_count = 0;            // significant digits kept
    std::string m_digits;               // significant digits, leading zeros dropped

    void addDigit(char c);
};

// The whole text must be one number, written with the given decimal
// separator (the work files and the command line take "."; the desktop's
// fields take the user's). Independent of the process locale.
bool parseDecimal(std::string_view text, long double& value, char decimalSeparator = '.');

} // namespace tessivo
