#pragma once
// The run record and the cycle table as the front ends hold them, which
// include the run area only: the parameters and the loaded slots
// (TRainflowRun), the result codes, the report writer a report is written
// through, the cycle table a count hands over (CountResult::takeTable) and
// its reader.

#include "engine/counting/cycle_table.h"
#include "engine/record/report_writer.h"
#include "engine/record/run_record.h"
