#pragma once
// The layout of a table as the reader detects it (delimiter, decimal
// separator, lines of names and units, first row, columns), for the front
// ends, which include the run area: detectTableLayout with the user's
// overrides, and the listing that `tessivo-count --show-layout` prints and
// the Import dialog shows.

#include "engine/tables/layout_text.h"
#include "engine/tables/table_layout.h"
