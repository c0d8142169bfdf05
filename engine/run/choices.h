#pragma once
// The names of the engine's choices, named once: the residue methods, the
// mean-stress methods, the counts, the load measures, the kinds of rainflow matrix, the
// bin counts, the output formats and the S-N curve presets. The command
// line's help and errors, the desktop's combo boxes, the Python module's
// errors and its type stubs all come from these tables.

#include "engine/counting/residue_method.h"
#include "engine/fatigue/fatigue_cycle.h"
#include "engine/fatigue/mean_stress.h"
#include "engine/fatigue/rainflow_matrix.h"
#include "engine/run/count_method.h"
#include "engine/run/outputs/output_request.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessivo {

// One choice: the name the command line, the settings and the module take,
// the label a window shows, and its value.
template <class Value>
struct Choice {
    const char* name;
    const char* label;
    Value value;
};

std::span<const Choice<ResidueMethod>> residueChoices();                // decomposition, upward, half
std::span<const Choice<fatigue::MeanStressMethod>> meanStressChoices(); // goodman ... fkm (not "none")
std::span<const Choice<fatigue::LoadMeasure>> measureChoices();         // range, amplitude
std::span<const Choice<fatigue::MatrixKind>> matrixKindChoices();       // range-mean, from-to
std::span<const Choice<std::int32_t>> binCountChoices();                // 32, 64, 100
std::span<const Choice<OutputFormat>> formatChoices();                  // report, csv, json, cycles
std::span<const Choice<CountMethod>> countMethodChoices(); // rainflow, level-crossing, range-pair, time-at-level
std::vector<std::string> presetNames();                    // "EC3-160", ..., "DNV-W3"

// The choice of that name (exactly), or nothing.
template <class Value>
std::optional<Value> choiceNamed(std::span<const Choice<Value>> choices, std::string_view name)
{
    for (const Choice<Value>& c : choices) {
        if (name == c.name)
            return c.value;
    }
    return std::nullopt;
}

// The name of a value, or empty.
template <class Value>
std::string choiceName(std::span<const Choice<Value>> choices, Value value)
{
    for (const Choice<Value>& c : choices) {
        if (c.value == value)
            return c.name;
    }
    return {};
}

// The names as a list for a sentence: "decomposition, upward or half"; each
// between `quote`s when one is given ("'decomposition', 'upward' or 'half'").
template <class Value>
std::string choiceList(std::span<const Choice<Value>> choices, const std::string& last = "or",
                       const std::string& quote = "")
{
    std::string text;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0)
            text += i + 1 == choices.size() ? " " + last + " " : ", ";
        text += quote + choices[i].name + quote;
    }
    return text;
}

// The names alone, in order.
template <class Value>
std::vector<std::string> choiceNames(std::span<const Choice<Value>> choices)
{
    std::vector<std::string> names;
    for (const Choice<Value>& c : choices)
        names.emplace_back(c.name);
    return names;
}

} // namespace tessivo
