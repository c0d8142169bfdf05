#pragma once
// The options of tessivo-count that read columns of tables.

#include "engine/run/table_channels.h"

#include <optional>
#include <string>

namespace tessivo::cli {

using tessivo::ColumnChoice;

enum class ColumnOptionKind { None, Flag, Value };

// Whether name ("--column", ...) is one of these options, and whether it takes a value.
ColumnOptionKind columnOptionKind(const std::string& name);

// Applies the option; an error message for a value it cannot take.
std::optional<std::string> applyColumnOption(const std::string& name, const std::string& value, ColumnChoice& options);

// An error message when the options do not fit together.
std::optional<std::string> checkColumnOptions(const ColumnChoice& options);

// The lines of the usage text that describe them.
std::string columnUsageText();

} // namespace tessivo::cli
