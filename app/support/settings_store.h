#pragma once
// The counting parameters and the Open dialog's folder in the per-user
// store, key "Software\Morvane Engineering\Tessivo\Settings":
//   "UserDir" string, "Filter" 8-byte binary (IEEE double, little-endian),
//   "Normalized", "LoadBin", "LoadBinSize", "ResDecomp" 32-bit integers.

#include "engine/run/record.h"

#include <QString>

inline const QString kApplicationKey = QStringLiteral("Software\\Morvane Engineering\\Tessivo");

// kApplicationKey + "\Settings"; the separator only when the key lacks one.
QString settingsKeyPath();

// Reads each value by itself into the run's parameters; a missing value or
// one of the wrong type or length keeps what `run` holds (the defaults of
// InitRainflowRun). Creates the key. Returns UserDir: the stored string, ""
// when missing or empty, workDir when stored as another type. Never throws.
QString LoadSettings(tessivo::TRainflowRun& run, const QString& workDir, const QString& storePath);

// Writes the six values in their order, replacing values of another type.
// Throws morvane::StoreError when the store cannot be written.
void StoreSettings(const tessivo::TRainflowRun& run, const QString& userDir, const QString& storePath);

// "LastDir" beside the six: the folder of the last sequence opened, where
// the Open dialog starts at the next start (UserDir stays as it is).
// Loading gives "" when it is missing or not a string; storing an empty
// folder writes nothing.
QString LoadLastFolder(const QString& storePath);
void StoreLastFolder(const QString& folder, const QString& storePath);

// The opt-ins beyond the six: "ResHalf" (the residue's half cycles counted
// as 0.5, with ResDecomp 0) and "Unlimited" (exact loads at any length),
// 32-bit integers. A value is written once it is on or stored already, so
// a store that never had them keeps its six values. Loading ResHalf sets
// run.HalfCycles; a missing or wrong value reads as off.
bool LoadUnlimited(const QString& storePath);
void StoreOptIns(const tessivo::TRainflowRun& run, bool unlimited, const QString& storePath);
