#include "engine/run/choices.h"

#include "engine/fatigue/sn_presets.h"

#include <array>
#include <deque>

namespace tessivo {

std::span<const Choice<ResidueMethod>> residueChoices()
{
    static constexpr Choice<ResidueMethod> kChoices[] = {
        {"decomposition", "Decomposition into cycles", ResidueMethod::Decomposition},
        {"upward", "Use upward half cycles as complete cycles", ResidueMethod::Upward},
        {"half", "Count half cycles as 0.5", ResidueMethod::Half},
    };
    return kChoices;
}

std::span<const Choice<fatigue::MeanStressMethod>> meanStressChoices()
{
    // The names and labels are the fatigue area's own (meanStressName, meanStressLabel).
    static const std::vector<Choice<fatigue::MeanStressMethod>> kChoices = [] {
        static std::deque<std::string> names;
        static std::deque<std::string> labels;
        std::vector<Choice<fatigue::MeanStressMethod>> choices;
        using fatigue::MeanStressMethod;
        for (const MeanStressMethod m : {MeanStressMethod::Goodman, MeanStressMethod::Gerber, MeanStressMethod::Morrow,
                                         MeanStressMethod::Swt, MeanStressMethod::Walker, MeanStressMethod::Fkm}) {
            names.push_back(fatigue::meanStressName(m));
            labels.push_back(fatigue::meanStressLabel(m));
            choices.push_back({names.back().c_str(), labels.back().c_str(), m});
        }
        return choices;
    }();
    return kChoices;
}

std::span<const Choice<fatigue::LoadMeasure>> measureChoices()
{
    static constexpr Choice<fatigue::LoadMeasure> kChoices[] = {
        {"range", "Load range", fatigue::LoadMeasure::Range},
        {"amplitude", "Load amplitude", fatigue::LoadMeasure::Amplitude},
    };
    return kChoices;
}

std::span<const Choice<fatigue::MatrixKind>> matrixKindChoices()
{
    static constexpr Choice<fatigue::MatrixKind> kChoices[] = {
        {"range-mean", "Range-mean", fatigue::MatrixKind::RangeMean},
        {"from-to", "From-to", fatigue::MatrixKind::FromTo},
    };
    return kChoices;
}

std::span<const Choice<std::int32_t>> binCountChoices()
{
    static constexpr Choice<std::int32_t> kChoices[] = {
        {"32", "32 x 32 matrix", 32},
        {"64", "64 x 64 matrix", 64},
        {"100", "100 x 100 matrix", 100},
    };
    return kChoices;
}

std::span<const Choice<OutputFormat>> formatChoices()
{
    static constexpr Choice<OutputFormat> kChoices[] = {
        {"report", "Report", OutputFormat::Report},
        {"csv", "CSV", OutputFormat::Csv},
        {"json", "JSON", OutputFormat::Json},
        {"cycles", "Every cycle", OutputFormat::Cycles},
    };
    return kChoices;
}

std::span<const Choice<CountMethod>> countMethodChoices()
{
    static constexpr Choice<CountMethod> kChoices[] = {
        {"rainflow", "Rainflow", CountMethod::Rainflow},
        {"level-crossing", "Level crossings", CountMethod::LevelCrossing},
        {"range-pair", "Range pairs", CountMethod::RangePair},
        {"time-at-level", "Time at level", CountMethod::TimeAtLevel},
    };
    return kChoices;
}

std::vector<std::string> presetNames()
{
    std::vector<std::string> names;
    for (const fatigue::SnPreset& p : fatigue::snPresets())
        names.push_back(p.name);
    return names;
}

} // namespace tessivo
