#pragma once
// The desktop's Open command without its window, for the front ends, which
// include the run area only: a sequence file loaded into a slot and its work
// file (openSequence), and what a sequence file that is not one holds wrong
// (the details of the message).

#include "engine/files/sequence_fault.h"
#include "engine/files/sequence_loading.h"
