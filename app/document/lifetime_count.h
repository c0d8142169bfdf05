#pragma once
// A design life over many recordings counted for the desktop, as
// tessivo-count --design-life with --lifetime counts it: each recording of
// the weights table on its own through the engine's lifetime run, then their
// lifetime. No widgets: the fatigue window's tab "Lifetime" shows the result.

#include "engine/run/count_request.h"
#include "engine/run/lifetime_run.h"
#include "engine/run/outputs/output_request.h"
#include "engine/run/table_channels.h"

#include <cstddef>
#include <functional>
#include <string>

struct LifetimeCountInput {
    tessivo::CountRequest request; // the main window's parameters
    tessivo::FatigueRequest fatigue;
    tessivo::LifetimeRequest lifetime;
    tessivo::ColumnChoice columns;
};

// Called before each recording (`done` of `total` counted, `next` its path)
// and once at the end with done == total; false cancels with RunCancelled.
// Called on the thread that counts.
using LifetimeProgress = std::function<bool(std::size_t done, std::size_t total, const std::string& next)>;

// The weights table read, every recording counted and the lifetime
// combined. The request's loads are never normalised (fatigue takes the
// loads as read and scaled) and no work file is written. Throws as the
// engine's lifetime run does (IoError, CountRefused naming the table's line
// or the recording, TableFormatError, fatigue::FatigueError) and
// RunCancelled. Touches nothing but the files: it may run on any thread.
tessivo::LifetimeResult countLifetimeRecordings(const LifetimeCountInput& input, const LifetimeProgress& progress = {});
