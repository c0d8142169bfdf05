#include "table_bindings.h"

#include "engine/tables/column_choice.h"
#include "engine/tables/table_error.h"
#include "engine/tables/layout_text.h"
#include "engine/tables/table_layout.h"
#include "engine/tables/table_reader.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessivo::python {
namespace {

namespace py = pybind11;

std::optional<Delimiter> delimiterOf(py::handle name)
{
    if (name.is_none())
        return std::nullopt;
    static const std::map<std::string, Delimiter> names = {
        {"comma", Delimiter::Comma},   {",", Delimiter::Comma},      {"semicolon", Delimiter::Semicolon},
        {";", Delimiter::Semicolon},   {"tab", Delimiter::Tab},      {"\t", Delimiter::Tab},
        {"blanks", Delimiter::Blanks}, {"space", Delimiter::Blanks}, {" ", Delimiter::Blanks}};
    const std::string text = name.cast<std::string>();
    const auto found = names.find(text);
    if (found == names.end())
        throw py::value_error("delimiter must be comma, semicolon, tab or blanks, not '" + text + "'");
    return found->second;
}

std::optional<char> decimalOf(py::handle separator)
{
    if (separator.is_none())
        return std::nullopt;
    const std::string text = separator.cast<std::string>();
    if (text != "." && text != ",")
        throw py::value_error("decimal must be '.' or ',', not '" + text + "'");
    return text[0];
}

// What read_table returns before the Python side shapes it: the chosen
// columns' names, units, values and the empty cells passed over in each.
py::tuple readTable(const std::string& path, const std::optional<std::vector<std::string>>& wanted,
                    py::handle delimiter, py::handle decimal, bool skipEmpty)
{
    TableOverrides overrides;
    overrides.delimiter = delimiterOf(delimiter);
    overrides.decimal = decimalOf(decimal);
    if (overrides.decimal == ',' && overrides.delimiter == Delimiter::Comma)
        throw py::value_error("a comma cannot be both the delimiter and the decimal separator");
    std::vector<std::vector<long double>> columns;
    std::vector<std::int64_t> skipped;
    TableLayout layout;
    std::vector<std::size_t> chosen;
    {
        py::gil_scoped_release released;
        layout = detectTableLayout(path, overrides);
        chosen = wanted ? chooseColumns(layout, *wanted, path) : numericColumns(layout, false);
        if (chosen.empty())
            throw TableFormatError(path, 0, 0, "", "no column of numbers");
        TableReader reader(path, layout, chosen, skipEmpty);
        columns.resize(chosen.size());
        std::vector<std::vector<long double>> block;
        while (reader.readBlock(block, 65536) > 0) {
            for (std::size_t k = 0; k < chosen.size(); ++k)
                columns[k].insert(columns[k].end(), block[k].begin(), block[k].end());
        }
        for (std::size_t k = 0; k < chosen.size(); ++k)
            skipped.push_back(reader.skippedEmpty(k));
    }
    py::list names, units, arrays;
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        names.append(columnLabel(layout, chosen[k]));
        units.append(layout.columns[chosen[k]].unit);
        auto* owned = new std::vector<long double>(std::move(columns[k]));
        py::capsule free(owned, [](void* p) { delete static_cast<std::vector<long double>*>(p); });
        arrays.append(py::array_t<long double>(static_cast<py::ssize_t>(owned->size()), owned->data(), free));
    }
    return py::make_tuple(names, units, arrays, skipped);
}

// The detected layout as the JSON object of tessivo-count's output.
std::string tableLayout(const std::string& path, py::handle delimiter, py::handle decimal)
{
    TableOverrides overrides;
    overrides.delimiter = delimiterOf(delimiter);
    overrides.decimal = decimalOf(decimal);
    py::gil_scoped_release released;
    return layoutJson(detectTableLayout(path, overrides));
}

} // namespace

void bindTables(py::module_& m)
{
    py::register_local_exception_translator([](std::exception_ptr failure) {
        try {
            if (failure)
                std::rethrow_exception(failure);
        } catch (const TableFormatError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });
    m.def("read_table", &readTable, py::arg("path"), py::arg("columns").none(true), py::arg("delimiter"),
          py::arg("decimal"), py::arg("skip_empty"));
    m.def("table_layout", &tableLayout, py::arg("path"), py::arg("delimiter"), py::arg("decimal"));
}

} // namespace tessivo::python
