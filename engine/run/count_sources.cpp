#include "engine/run/count_sources.h"

#include "engine/files/sequence_loading.h"
#include "engine/files/sequence_reader.h"
#include "engine/record/run_messages.h"

#include <algorithm>
#include <stdexcept>

namespace tessivo {

std::vector<SlotInput>& slotInputs(CountInputs& inputs)
{
    auto* slots = std::get_if<CountInputs::Slots>(&inputs.kind());
    if (slots == nullptr)
        throw std::logic_error("The inputs are no files or columns");
    return slots->inputs;
}

bool slotsScanned(const std::vector<SlotInput>& slots)
{
    return std::all_of(slots.begin(), slots.end(), [](const SlotInput& s) { return s.format->scanned(); });
}

void loadSlots(TRainflowRun& run, const std::vector<SlotInput>& slots, const std::optional<std::string>& workDir)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const SlotInput& input = slots[i];
        const auto index = static_cast<std::int32_t>(i + 1);
        const OpenOutcome outcome = workDir ? loadSequenceSlot(run, index, *input.format, *workDir)
                                            : scanSequenceSlot(run, index, *input.format);
        if (outcome == OpenOutcome::Incorrect) {
            if (input.refuse)
                input.refuse();
            throw CountRefused(kIncorrectSequenceFile, input.format->fileName());
        }
        TSequence& slot = run.Sequences[static_cast<std::size_t>(index)];
        slot.Repetitions = input.repetitions;
        slot.Scale = input.scale;
        slot.Weight = input.weight;
    }
    run.SeqCount = static_cast<std::int32_t>(slots.size());
    UpdateSequenceTotals(run);
}

CombinedSequence combinedSource(const TRainflowRun& run, const std::vector<SlotInput>& slots)
{
    SlotFormats formats;
    for (const SlotInput& slot : slots)
        formats.push_back(slot.format);
    return CombinedSequence(run, std::move(formats));
}

} // namespace tessivo
