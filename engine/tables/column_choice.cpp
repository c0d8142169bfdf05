#include "engine/tables/column_choice.h"

#include "engine/tables/table_error.h"

#include <algorithm>
#include <charconv>

namespace tessivo {
namespace {

std::string lowered(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

bool isNumber(const std::string& entry, std::size_t& number)
{
    const auto [end, ec] = std::from_chars(entry.data(), entry.data() + entry.size(), number);
    return !entry.empty() && ec == std::errc() && end == entry.data() + entry.size();
}

// A name as the columns are labelled (exactly, else the one label that
// differs only in case); "column 3" for a column with no name.
bool findName(const TableLayout& layout, const std::string& name, std::size_t& found)
{
    for (std::size_t j = 0; j < layout.columns.size(); ++j) {
        if (columnLabel(layout, j) == name) {
            found = j;
            return true;
        }
    }
    std::size_t matches = 0;
    for (std::size_t j = 0; j < layout.columns.size(); ++j) {
        if (lowered(columnLabel(layout, j)) == lowered(name)) {
            found = j;
            ++matches;
        }
    }
    return matches == 1;
}

std::string namesThereAre(const TableLayout& layout)
{
    std::string list;
    for (std::size_t j = 0; j < layout.columns.size(); ++j)
        list += (j == 0 ? "" : ", ") + columnLabel(layout, j);
    return list;
}

} // namespace

std::vector<std::size_t> chooseColumns(const TableLayout& layout, const std::vector<std::string>& wanted,
                                       const std::string& path)
{
    std::vector<std::size_t> chosen;
    for (const std::string& entry : wanted) {
        std::size_t j = 0;
        const bool byName = entry.rfind(kByName, 0) == 0;
        const std::string name = byName ? entry.substr(std::char_traits<char>::length(kByName)) : entry;
        if (!byName && isNumber(entry, j)) {
            if (j < 1 || j > layout.columns.size())
                throw TableFormatError(path, 0, 0, "",
                                       "no column " + entry + "; the table has " + std::to_string(layout.columns.size())
                                           + (findName(layout, entry, j)
                                                  ? " (the column named " + entry + " is '" + kByName + entry + "')"
                                                  : ""));
            --j;
        } else if (!findName(layout, name, j)) {
            throw TableFormatError(path, 0, 0, "",
                                   "no column \"" + name + "\"; the columns are: " + namesThereAre(layout));
        }
        if (std::find(chosen.begin(), chosen.end(), j) == chosen.end())
            chosen.push_back(j);
    }
    return chosen;
}

std::vector<std::size_t> numericColumns(const TableLayout& layout, bool firstIsTime)
{
    std::vector<std::size_t> chosen;
    for (std::size_t j = firstIsTime ? 1 : 0; j < layout.columns.size(); ++j) {
        if (layout.columns[j].numeric)
            chosen.push_back(j);
    }
    return chosen;
}

} // namespace tessivo
