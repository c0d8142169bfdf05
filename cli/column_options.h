#pragma once
// The options of tessivo-count that read columns of tables.

#include "engine/tables/line_fields.h"

#include <optional>
#include <string>
#include <vector>

namespace tessivo::cli {

struct ColumnOptions {
    std::vector<std::string> columns; // --column NAME|N, in the order given
    bool allColumns = false;          // --all-columns
    bool keepTime = false;            // --keep-time: --all-columns keeps a first column that rises
    std::optional<Delimiter> delimiter;
    std::optional<char> decimal; // '.' or ','
    bool skipEmpty = false;
    bool showLayout = false; // --show-layout: print what was detected, count nothing
    // The files are tables: some column is chosen, or their layout shown.
    bool active() const { return !columns.empty() || allColumns || showLayout; }
};

enum class ColumnOptionKind { None, Flag, Value };

// Whether name ("--column", ...) is one of these options, and whether it takes a value.
ColumnOptionKind columnOptionKind(const std::string& name);

// Applies the option; an error message for a value it cannot take.
std::optional<std::string> applyColumnOption(const std::string& name, const std::string& value,
                                             ColumnOptions& options);

// An error message when the options do not fit together.
std::optional<std::string> checkColumnOptions(const ColumnOptions& options);

// The lines of the usage text that describe them.
std::string columnUsageText();

} // namespace tessivo::cli
