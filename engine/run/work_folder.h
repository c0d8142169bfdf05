#pragma once
// The work folder of a count that keeps its work files, for the front ends,
// which include the run area only: one running copy of the program per
// folder (WorkFolderLock).

#include "engine/files/work_folder_lock.h"
