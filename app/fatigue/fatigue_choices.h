#pragma once
// What the fatigue window's user chose, as typed, and where it is kept: the
// per-user store, key "Software\Morvane Engineering\Tessivo\Fatigue", all
// values strings ("Curve", "OwnCurve", "Measure", "MeanStress", "Material",
// "DelExponents", "EquivalentCycles", "DelFrequency", "Duration",
// "LoadFactor", "Scf", "GammaFf", "GammaMf", "Dff", "Thickness").

#include "engine/fatigue/fatigue_analysis.h"

#include <QString>
#include <QStringList>

struct FatigueChoices {
    QString preset = QStringLiteral("EC3-71"); // a preset's name; empty: the own curve
    QString ownCurve = QStringLiteral("m=3,S=71,N=2e6,Nknee=5e6,m2=5,Ncut=1e8");
    bool amplitude = false;                      // S is the amplitude, not the range
    QString meanStress = QStringLiteral("none"); // meanStressName()
    QString material;                            // the one value that method needs
    QString delExponents = QStringLiteral("3 4 5 10");
    QString equivalentCycles = QStringLiteral("1e7");
    QString delFrequency; // Hz; N_eq = frequency x duration instead of equivalentCycles; empty: none
    QString duration;     // seconds that the counted sequence lasts; empty: none
    // The code check, as tessivo-count takes it: --stress-factor, --scf,
    // --gamma-ff, --gamma-mf, --dff, --thickness (empty: none).
    QString loadFactor = QStringLiteral("1"); // stress per unit of load
    QString scf = QStringLiteral("1");
    QString gammaFf = QStringLiteral("1");
    QString gammaMf = QStringLiteral("1");
    QString dff = QStringLiteral("1");
    QString thickness;

    bool operator==(const FatigueChoices&) const = default;
};

// The stored choices; a value that is missing or not a string keeps its default.
FatigueChoices loadFatigueChoices(const QString& storePath);
// Throws morvane::StoreError when the store cannot be written.
void storeFatigueChoices(const FatigueChoices& choices, const QString& storePath);

// The settings that the choices stand for, each part on its own: a bad
// value leaves out only what needs it (a bad curve or mean-stress value: no
// damage; a bad exponent, N_eq or frequency: no damage-equivalent loads; a
// bad duration: no life in hours; a bad factor of the code check: no
// result, since any would be off by that factor) and is named in `problems`.
//
// Numbers follow the user's decimal separator. With a decimal point, a comma
// before three digits groups thousands ("20,000") and any other comma is a
// decimal comma; exponents are separated by blanks, ";" or ",". With a
// decimal comma, "." is taken as a decimal point too, and exponents are
// separated by blanks or ";". The own curve takes the separator as well:
// with a decimal comma "m=3,S=71,5" has S = 71.5.
struct FatigueSettingsRead {
    tessivo::fatigue::FatigueSettings settings; // the code check's factors in settings.design
    bool designRead = true;                     // false: a factor of the code check is bad
    QStringList problems;
};
FatigueSettingsRead readFatigueSettings(const FatigueChoices& choices, QChar decimalSeparator);

// The settings of choices that are all good; throws
// tessivo::fatigue::FatigueError naming the first bad value.
tessivo::fatigue::FatigueSettings fatigueSettingsOf(const FatigueChoices& choices, QChar decimalSeparator = u'.');

// The name of the material value the method needs ("Su", "sf'", "gamma",
// "M"), empty when it needs none.
QString materialValueName(tessivo::fatigue::MeanStressMethod method);
