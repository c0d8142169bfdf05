#pragma once
// The fatigue functions of the module: S-N curves with their presets, and the
// evaluation of counted cycles (Miner damage, life, damage-equivalent loads,
// mean-stress corrections) with the settings tessivo-count takes.

#include <pybind11/pybind11.h>

namespace tessivo::python {

void bindFatigue(pybind11::module_& m);

} // namespace tessivo::python
