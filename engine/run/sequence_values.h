#pragma once
// The values of a sequence file in memory, for front ends that hold a
// sequence as an array (the Python module): readSequenceValues reads them as
// a count of the file reads them.

#include "engine/files/sequence_values.h"
