#include "engine/record/json_text.h"

#include <cstdio>

namespace tessivo {

std::string jsonString(const std::string& text)
{
    std::string s = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            s += '\\';
            s += ch;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            s += escaped;
        } else {
            s += ch;
        }
    }
    return s + "\"";
}

std::string jsonNested(const std::string& object)
{
    std::string text = "    ";
    for (std::size_t i = 0; i < object.size(); ++i) {
        text += object[i];
        if (object[i] == '\n' && i + 1 < object.size())
            text += "    ";
    }
    return text;
}

} // namespace tessivo
