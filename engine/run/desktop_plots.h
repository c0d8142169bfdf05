#pragma once
// What the desktop's plots of a count read besides its result, for the front
// ends, which include the run area only: the work files of the combined
// sequence, the min/max pyramid and the window ranges of the load history,
// the reversals, the load classes and the cycles with their positions. The
// desktop's windows are to be rebuilt on the count's result; until then they
// come through here, the one place where a front end still reaches below the
// front door.

#include "engine/counting/cycle_positions.h"
#include "engine/counting/load_classes.h"
#include "engine/counting/reversal_extraction.h"
#include "engine/files/work_files.h"
#include "engine/signal/min_max_pyramid.h"
#include "engine/signal/work_file_range.h"
