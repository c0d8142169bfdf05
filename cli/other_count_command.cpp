#include "other_count_command.h"

#include "cli_messages.h"
#include "count_command.h"

#include "engine/run/other_count.h"
#include "engine/run/outputs/output_dispatch.h"
#include "engine/run/table_channels.h"

namespace tessivo::cli {

ExitStatus runOtherCount(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    const OtherCountRequest& request = options.other.request;
    OutputDispatch outputs(options.output, out, err, kErrorPrefix);
    return reportingRefusals(out, err, [&] {
        if (options.columns.active()) {
            outputs.writeOtherColumns(request, readTableChannels(options.sequences, options.columns));
            return;
        }
        outputs.writeOther(countOther(request, CountInputs::files(options.sequences)));
    });
}

} // namespace tessivo::cli
