#pragma once
// The folder that receives the work files, with its trailing separator.

#include <QString>

// The executable's folder when it is writable, else the per-user data
// folder (created when missing): a program installed under /usr still works.
QString resolveWorkDir();

// The choice itself: exeDir when writable, else fallback; both end in "/".
QString chooseWorkDir(const QString& exeDir, const QString& fallback);
