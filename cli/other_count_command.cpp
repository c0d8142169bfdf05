#include "other_count_command.h"

#include "cli_messages.h"
#include "count_command.h"

#include "engine/run/other_count.h"
#include "engine/run/outputs/other_count_output.h"
#include "engine/run/table_channels.h"

namespace tessivo::cli {

ExitStatus runOtherCount(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    const OtherCountRequest& request = options.other.request;
    const OutputFormat format = options.output.format;
    return reportingRefusals(out, err, [&] {
        if (options.columns.active()) {
            const std::vector<TableChannel> channels = readTableChannels(options.sequences, options.columns);
            writeOtherCountColumns(request, channels, format, out, err, kErrorPrefix);
            return;
        }
        const OtherCountResult result = countOther(request, CountInputs::files(options.sequences));
        writeOtherCount(result, format, out, err, kErrorPrefix);
    });
}

} // namespace tessivo::cli
