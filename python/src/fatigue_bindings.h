#pragma once
// The fatigue functions of the module: S-N curves with their presets, and the
// evaluation of counted cycles (Miner damage, life, damage-equivalent loads,
// mean-stress corrections) with the settings tessivo-count takes.

#include "engine/run/outputs/output_request.h"

#include <pybind11/pybind11.h>

namespace tessivo::python {

void bindFatigue(pybind11::module_& m);

// The fatigue request of tessivo.fatigue's keywords, gathered in a dict
// (curve, sn_measure, mean_stress, material, del, del_on_curve,
// equivalent_cycles, duration, design), refused as damage() refuses them.
FatigueRequest fatigueRequestFrom(const pybind11::dict& settings);

} // namespace tessivo::python
