#include "document/lifetime_count.h"

#include "engine/run/errors.h"

tessivo::LifetimeResult countLifetimeRecordings(const LifetimeCountInput& input, const LifetimeProgress& progress)
{
    tessivo::CountRequest request = input.request;
    request.normalize = false;
    request.workDir.reset(); // the document's work files stay its own
    const auto step = [&](std::size_t done, std::size_t total, const std::string& next) {
        if (progress && !progress(done, total, next))
            throw tessivo::RunCancelled();
    };
    // The window counts one column: one lifetime (the table has a row at least).
    std::vector<tessivo::LifetimeResult> results =
        tessivo::countLifetime(request, input.fatigue, input.lifetime, input.columns, {}, step);
    return std::move(results.at(0));
}
