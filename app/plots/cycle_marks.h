#pragma once
// Where the cycles of one line of the report happened: the count is run
// again over the combined sequence, listing each cycle with its positions
// (tessivo::listCycles), and the cycles of that line are kept.

#include "plots/signal_data.h"

#include <cstddef>

// The cycles whose loads make the report line (upper, lower): exactly these
// loads (as the report gives them, divided when the run normalised), or with
// load bins the cycles between the classes whose edges they are. At most
// maxMarks are kept. Throws IoError when the sequence cannot be read.
std::vector<CycleMark> findCycleMarks(const SignalSource& source, long double upper, long double lower,
                                      std::size_t maxMarks = 100000);
