#pragma once
// The operating system's services that a front end needs as well (the wide
// command line on Windows, file kinds), through the front door.

#include "engine/system/file_system.h"
