#pragma once
// The errors a count or its outputs can end in, for the front ends, which
// include the run area only: input or output failures (IoError, with the path
// and the system's code), input beyond what a count holds (InputTooLarge), a
// count refused (CountRefused), partial counts that cannot be read or merged
// (PartialCountError) and a count cancelled on request (RunCancelled). A
// table's faults (TableFormatError) and fatigue's (fatigue::FatigueError)
// come from the tables and fatigue areas' own headers.

#include "engine/counting/partial_count.h"
#include "engine/counting/rainflow_pipeline.h"
#include "engine/record/input_too_large.h"
#include "engine/record/io_error.h"
#include "engine/run/count_request.h"
#include "engine/record/run_messages.h" // every text the engine hands to the user
