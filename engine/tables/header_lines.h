#pragma once
// The lines of names and units above the first row of a table, and names
// made unique so that every column can be chosen by its label.

#include "engine/tables/layout_detection.h"
#include "engine/tables/table_layout.h"

#include <cstdint>
#include <vector>

namespace tessivo {

struct HeaderLines {
    std::int64_t names = 0; // 1-based line, 0 when none
    std::int64_t units = 0;
};

// Of the lines above the first row (nonBlank, the first row at
// body.firstRow), only those of the table's width can be names or units; a
// trailing delimiter more or less is the same width, and a units line may
// be shorter. The lowest such line is the names, or the units when it reads
// as units (each cell bracketed or a unit's symbol) with names above it; a
// line with numbers or dates above the names is a preamble, not names.
HeaderLines findHeaderLines(const std::vector<SampleLine>& nonBlank, const TableBody& body);

// A name that an earlier column already has gets " (2)", " (3)", ... .
void makeNamesUnique(std::vector<TableColumnInfo>& columns);

} // namespace tessivo
