#include "engine/tables/line_fields.h"

#include <cstring>

namespace tessivo {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks that surround a field: a tab is a delimiter in tab tables, not padding.
bool isPadding(char c, Delimiter d)
{
    return c == ' ' || (c == '\t' && d != Delimiter::Tab);
}

} // namespace

void splitFields(std::string_view line, Delimiter delimiter, std::vector<Field>& out)
{
    out.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    const char sep = static_cast<char>(delimiter);
    const bool blanks = delimiter == Delimiter::Blanks;
    if (blanks) {
        while (p < end && isBlank(*p))
            ++p;
        if (p == end)
            return;
    }
    for (;;) {
        while (p < end && isPadding(*p, delimiter))
            ++p;
        Field field;
        const char* fieldEnd = nullptr;
        if (p < end && *p == '"') {
            const char* const start = ++p;
            while (p < end) {
                if (*p == '"') {
                    if (p + 1 < end && p[1] == '"') {
                        p += 2;
                        continue;
                    }
                    break;
                }
                ++p;
            }
            field = Field{std::string_view(start, static_cast<std::size_t>(p - start)), true};
            if (p < end)
                ++p; // the closing quote; anything up to the delimiter is dropped
            if (blanks) {
                while (p < end && !isBlank(*p))
                    ++p;
            } else {
                const void* hit = std::memchr(p, sep, static_cast<std::size_t>(end - p));
                p = hit ? static_cast<const char*>(hit) : end;
            }
            fieldEnd = p;
        } else {
            const char* const start = p;
            if (blanks) {
                while (p < end && !isBlank(*p))
                    ++p;
            } else {
                const void* hit = std::memchr(p, sep, static_cast<std::size_t>(end - p));
                p = hit ? static_cast<const char*>(hit) : end;
            }
            fieldEnd = p;
            const char* last = fieldEnd;
            while (last > start && isPadding(last[-1], delimiter))
                --last;
            field = Field{std::string_view(start, static_cast<std::size_t>(last - start)), false};
        }
        out.push_back(field);
        p = fieldEnd;
        if (blanks) {
            while (p < end && isBlank(*p))
                ++p;
            if (p == end)
                return;
        } else {
            if (p == end)
                return;
            ++p; // the delimiter
        }
    }
}

std::string unquoted(const Field& field)
{
    if (!field.quoted)
        return std::string(field.text);
    std::string text;
    text.reserve(field.text.size());
    for (std::size_t i = 0; i < field.text.size(); ++i) {
        text += field.text[i];
        if (field.text[i] == '"' && i + 1 < field.text.size() && field.text[i + 1] == '"')
            ++i;
    }
    return text;
}

bool isBlankLine(std::string_view line)
{
    for (const char c : line) {
        if (!isBlank(c))
            return false;
    }
    return true;
}

} // namespace tessivo
