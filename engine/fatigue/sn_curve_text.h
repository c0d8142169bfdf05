#pragma once
// The text form of an S-N curve, shared by the command line and the window:
//   "m=3,logA=12.164"                         single slope
//   "m=5,S=100,N=2e6,knee=haibach,Ncut=1e8"   through a point, knee rule, cut-off
//   "m=3,S=71,N=2e6,Nknee=5e6,m2=5"           second slope below the knee
//   "preset:EC3-71"                           a published curve (sn_presets.h)
// Keys: m, logA, S, N, knee (same | cutoff | haibach), m2, Nknee, Ncut.
// Numbers use "." as decimal point.

#include "engine/fatigue/sn_curve.h"

#include <string>

namespace tessivo::fatigue {

// Throws FatigueError naming an unknown key or preset, a key given twice, a
// bad number or knee rule. The values themselves are checked by SnCurve.
SnCurveDefinition parseSnCurveText(const std::string& text);

} // namespace tessivo::fatigue
