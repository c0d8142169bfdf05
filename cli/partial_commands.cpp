#include "partial_commands.h"

#include "count_command.h"

#include "engine/run/count.h"
#include "engine/run/errors.h"
#include "engine/run/outputs/output_dispatch.h"
#include "engine/run/piece_count.h"

#include "cli_messages.h"

namespace tessivo::cli {

ExitStatus mergePartialCounts(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    OutputDispatch outputs(options.output, out, err, kErrorPrefix);
    return reportingRefusals(out, err, [&] {
        // Joined first, so that a refusal names the pieces as they were saved;
        // the count then says whether the sequence starts where it should.
        PieceCount merged = PieceCount::load(options.partFiles.front());
        for (std::size_t i = 1; i < options.partFiles.size(); ++i)
            merged.append(PieceCount::load(options.partFiles[i]));
        // The pieces carry the count's parameters; the command line adds what is written.
        CountRequest request = merged.request();
        request.normalize = options.request.normalize;
        CountResult result = count(outputs.prepare(request), CountInputs::pieces(std::move(merged)), outputs.hooks());
        outputs.write(result);
    });
}

} // namespace tessivo::cli
