#pragma once
// Numbers as the engine reads and writes them, for the front ends, which
// include the run area only: the decimal parser that options and settings
// are read with (correctly rounded, '.' or ',' as decimal separator), the
// report's load format and the shortest text that reads back.

#include "engine/numbers/decimal_parser.h"
#include "engine/numbers/load_format.h"
#include "engine/run/outputs/cycle_export.h"
