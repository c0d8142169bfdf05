#pragma once
// Values held in memory as a count reads them (CountInputs::values), for the
// front ends, which include the run area only: numbers of one arithmetic
// type at a fixed distance in bytes, such as a numpy array, read in place.

#include "engine/files/strided_values.h"
