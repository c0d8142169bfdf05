#pragma once
// What the desktop's load history reads besides the count's result, for the
// front ends, which include the run area only: the work file of the combined
// sequence, its min/max pyramid and the ranges of a narrow window, the
// reversals with their positions, and the load classes that a binned count's
// cycles fall in. The cycles with their positions come through the front
// door (count() with request.positions); what is here has no place in a
// count's result, since it is the sequence itself.

#include "engine/counting/load_classes.h"
#include "engine/counting/reversal_extraction.h"
#include "engine/files/work_files.h"
#include "engine/signal/min_max_pyramid.h"
#include "engine/signal/work_file_range.h"
