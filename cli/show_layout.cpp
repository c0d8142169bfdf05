#include "show_layout.h"

#include "cli_messages.h"
#include "engine/tables/layout_text.h"
#include "engine/tables/table_error.h"

namespace tessivo::cli {

ExitStatus showTableLayouts(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    TableOverrides overrides;
    overrides.delimiter = options.columns.delimiter;
    overrides.decimal = options.columns.decimal;
    ExitStatus status = ExitStatus::Counted;
    for (std::size_t f = 0; f < options.sequences.size(); ++f) {
        const std::string& path = options.sequences[f].path;
        try {
            out << (f > 0 ? "\n" : "") << layoutListing(path, detectTableLayout(path, overrides));
        } catch (const TableFormatError& e) {
            out.flush();
            err << kErrorPrefix << e.what() << '\n';
            status = ExitStatus::InputRejected;
        }
    }
    return status;
}

} // namespace tessivo::cli
