#include "document/lifetime_count.h"

#include "engine/run/errors.h"

tessivo::LifetimeResult countLifetimeRecordings(const LifetimeCountInput& input, const LifetimeProgress& progress)
{
    tessivo::CountRequest request = input.request;
    request.normalize = false;
    request.workDir.reset(); // the document's work files stay its own
    const std::vector<tessivo::LifetimeEntry> entries = tessivo::readLifetimeTable(input.lifetime.weights);
    // countLifetime's loop, one recording at a time, so that a cancel takes
    // effect between them.
    std::vector<tessivo::LifetimeRecording> recordings;
    for (const tessivo::LifetimeEntry& e : entries) {
        if (progress && !progress(recordings.size(), entries.size(), e.path))
            throw tessivo::RunCancelled();
        recordings.push_back(tessivo::countRecording(request, input.fatigue, input.lifetime.settings, e.path,
                                                     e.hoursPerYear, input.columns, input.lifetime.duration));
    }
    if (progress && !progress(entries.size(), entries.size(), {}))
        throw tessivo::RunCancelled();
    return tessivo::combineRecordings(input.fatigue, input.lifetime.settings, std::move(recordings));
}
