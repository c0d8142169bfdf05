#pragma once
// What the fatigue window's user chose, as typed, and where it is kept: the
// per-user store, key "Software\Morvane Engineering\Tessivo\Fatigue", all
// values strings ("Curve", "OwnCurve", "Measure", "MeanStress", "Material",
// "DelExponents", "EquivalentCycles", "Duration").

#include "engine/fatigue/fatigue_analysis.h"

#include <QString>

struct FatigueChoices {
    QString preset = QStringLiteral("EC3-71"); // a preset's name; empty: the own curve
    QString ownCurve = QStringLiteral("m=3,S=71,N=2e6,Nknee=5e6,m2=5,Ncut=1e8");
    bool amplitude = false;                      // S is the amplitude, not the range
    QString meanStress = QStringLiteral("none"); // meanStressName()
    QString material;                            // the one value that method needs
    QString delExponents = QStringLiteral("3 4 5 10");
    QString equivalentCycles = QStringLiteral("1e7");
    QString duration; // seconds that the counted sequence lasts; empty: none

    bool operator==(const FatigueChoices&) const = default;
};

// The stored choices; a value that is missing or not a string keeps its default.
FatigueChoices loadFatigueChoices(const QString& storePath);
// Throws morvane::StoreError when the store cannot be written.
void storeFatigueChoices(const FatigueChoices& choices, const QString& storePath);

// The settings that the choices stand for. Numbers take "." or "," as the
// decimal separator; the exponents are separated by blanks or ";". Throws
// tessivo::fatigue::FatigueError naming the first bad value.
tessivo::fatigue::FatigueSettings fatigueSettingsOf(const FatigueChoices& choices);

// The name of the material value the method needs ("Su", "sf'", "gamma",
// "M"), empty when it needs none.
QString materialValueName(tessivo::fatigue::MeanStressMethod method);
