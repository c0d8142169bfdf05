// The inputs of a count: each kind of file the front ends hand over becomes
// slots of one format (sequence_format.h). A new format is registered here.

#include "engine/run/count.h"

#include "engine/files/sequence_file_format.h"
#include "engine/record/run_messages.h"
#include "engine/run/piece_count.h"
#include "engine/tables/table_error.h"

namespace tessivo {

CountInputs::CountInputs(Kind kind) : m_kind(std::move(kind)) {}
CountInputs::CountInputs(CountInputs&&) noexcept = default;
CountInputs& CountInputs::operator=(CountInputs&&) noexcept = default;
CountInputs::~CountInputs() = default;

CountInputs CountInputs::ofSlots(std::vector<SlotInput> inputs)
{
    return CountInputs(Slots{std::move(inputs)});
}

CountInputs CountInputs::files(const std::vector<SequenceFileInput>& files)
{
    std::vector<SlotInput> slots;
    for (const SequenceFileInput& file : files)
        slots.push_back(
            {std::make_shared<SequenceFileFormat>(file.path), file.repetitions, file.scale, file.weight, {}});
    return CountInputs(Slots{std::move(slots)});
}

CountInputs CountInputs::columns(const std::vector<TableColumnInput>& columns, const std::string& name)
{
    std::vector<SlotInput> slots;
    for (const TableColumnInput& column : columns) {
        const TableColumnRef& ref = column.ref;
        auto refuse = [path = ref.path, number = static_cast<std::int64_t>(ref.column + 1), name] {
            throw TableFormatError(path, 0, number, name, kNoNumbersInColumn);
        };
        slots.push_back({std::make_shared<TableColumnFormat>(ref, column.stats), column.repetitions, column.scale,
                         column.weight, std::move(refuse)});
    }
    return CountInputs(Slots{std::move(slots)});
}

CountInputs CountInputs::values(ValueSource& rounded, const SequenceExtent& extent)
{
    return CountInputs(Values{&rounded, extent});
}

CountInputs CountInputs::loadedSlots(TRainflowRun& run)
{
    return CountInputs(Loaded{&run});
}

CountInputs CountInputs::pieces(PieceCount&& merged)
{
    return CountInputs(Pieces{std::make_unique<PieceCount>(std::move(merged))});
}

} // namespace tessivo
