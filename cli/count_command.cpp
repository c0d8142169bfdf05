#include "count_command.h"

#include "lifetime_command.h"
#include "other_count_command.h"
#include "show_layout.h"

#include "cli_messages.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/run/count.h"
#include "engine/run/errors.h"
#include "engine/run/outputs/output_dispatch.h"
#include "engine/run/piece_count.h"
#include "engine/run/table_channels.h"
#include "engine/run/platform.h"
#include "engine/run/work_folder.h"
#include "engine/tables/table_error.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace tessivo::cli {
namespace {

// Throws the error a missing or unusable work folder gives, naming the folder.
void requireFolder(const std::string& dir)
{
    os::FileStatus st;
    if (os::statusOfPath(dir, st) != 0)
        throwIoError(errno, dir);
    if (st.kind != os::FileKind::Folder)
        throwIoError(ENOTDIR, dir);
}

void refuse(std::ostream& out, std::ostream& err, const std::string& path, const std::string& message)
{
    out.flush();
    err << kErrorPrefix << (path.empty() ? "" : path + ": ") << message << '\n';
}

// A test may move the size from which a single file is counted in two halves
// at once (8 MB), so that a small file takes that route too.
CountRequest withSplitFrom(CountRequest request)
{
    if (const char* bytes = std::getenv("TESSIVO_SPLIT_FROM")) {
        char* end = nullptr;
        const unsigned long long n = std::strtoull(bytes, &end, 10);
        if (end != bytes && *end == '\0' && n > 0)
            request.splitFrom = n;
    }
    return request;
}

} // namespace

ExitStatus reportingRefusals(std::ostream& out, std::ostream& err, const std::function<void()>& work)
{
    try {
        work();
    } catch (const CountRefused& e) {
        refuse(out, err, e.path(), e.what());
        return ExitStatus::InputRejected;
    } catch (const TableFormatError& e) {
        refuse(out, err, {}, e.what());
        return ExitStatus::InputRejected;
    } catch (const fatigue::FatigueError& e) {
        refuse(out, err, {}, e.what());
        return ExitStatus::InputRejected;
    } catch (const PartialCountError& e) {
        refuse(out, err, {}, e.what());
        return ExitStatus::InputRejected;
    }
    out.flush();
    if (!out) {
        err << kErrorPrefix << kStandardOutput << ": " << ioErrorMessage(errno != 0 ? errno : EIO) << '\n';
        return ExitStatus::IoFailure;
    }
    return ExitStatus::Counted;
}

ExitStatus runCount(const CountOptions& options, std::ostream& out, std::ostream& err)
{
    // Another running copy (the desktop program, too) would overwrite the work files.
    if (options.columns.showLayout)
        return showTableLayouts(options, out, err);
    if (options.other.active())
        return runOtherCount(options, out, err);
    std::unique_ptr<WorkFolderLock> lock;
    if (options.request.workDir) {
        requireFolder(*options.request.workDir);
        lock = WorkFolderLock::tryAcquire(*options.request.workDir);
        if (!lock) {
            err << kErrorPrefix << workFolderInUseMessage(*options.request.workDir) << '\n';
            return ExitStatus::IoFailure;
        }
    }
    const CountRequest request = withSplitFrom(options.request);
    if (wantsSummary(options))
        return runSummary(options, out, err);
    if (options.savePartial) {
        // The partial count of the input is the output: nothing goes to out.
        return reportingRefusals(out, err, [&] {
            PieceCount piece(request, options.piece);
            piece.feed(CountInputs::files(options.sequences));
            piece.save(*options.savePartial);
        });
    }
    OutputDispatch outputs(options.output, out, err, kErrorPrefix);
    return reportingRefusals(out, err, [&] {
        if (options.columns.active()) {
            const std::vector<TableChannel> channels = readTableChannels(options.sequences, options.columns);
            outputs.writeColumns(request, channels);
            return;
        }
        CountResult result = count(outputs.prepare(request), CountInputs::files(options.sequences), outputs.hooks());
        outputs.write(result);
    });
}

} // namespace tessivo::cli
