#pragma once
// Mean-stress correction: the amplitude at R = -1 (zero mean) that does the
// same damage as a cycle of amplitude Sa about the mean Sm. Smax = Sm + Sa.
//   Goodman  Sa / (1 - Sm/Su)            limit: Sm >= Su
//   Gerber   Sa / (1 - (Sm/Su)^2)        limit: |Sm| >= Su
//   Morrow   Sa / (1 - Sm/sf')           limit: Sm >= sf'
//   SWT      sqrt(Smax Sa)               no damage where Smax <= 0
//   Walker   Smax^(1-g) Sa^g             no damage where Smax <= 0
//   FKM      with mean-stress sensitivity M, by R = Smin/Smax:
//            R > 1 (Smax < 0)            Sa (1 - M)
//            R <= 0                      Sa + M Sm
//            0 < R < 0.5                 (1 + M)/(1 + M/3) (Sa + M/3 Sm)
//            R >= 0.5                    Sa 3 (1 + M)^2 / (3 + M)

#include <cmath>
#include <optional>
#include <string>

namespace tessivo::fatigue {

enum class MeanStressMethod { None, Goodman, Gerber, Morrow, Swt, Walker, Fkm };

// The material values the methods need; each method reads only its own.
struct MaterialValues {
    std::optional<long double> ultimate;                   // Su: Goodman, Gerber
    std::optional<long double> fatigueStrengthCoefficient; // sf': Morrow
    std::optional<long double> walkerGamma;                // g in (0, 1]: Walker
    std::optional<long double> fkmM;                       // M in [0, 1): FKM
};

// The method's name as the command line and the settings write it
// ("goodman", "swt", ...; "none").
std::string meanStressName(MeanStressMethod method);
// The method's name for people: "Goodman", "Smith-Watson-Topper", ...
std::string meanStressLabel(MeanStressMethod method);
std::optional<MeanStressMethod> meanStressFromName(const std::string& name);

class MeanStressCorrection {
public:
    MeanStressCorrection() = default; // no correction
    // Throws FatigueError naming a value the method needs that is missing or
    // out of its domain (Su, sf' positive; gamma in (0, 1]; M in [0, 1)).
    MeanStressCorrection(MeanStressMethod method, const MaterialValues& material);

    // The equivalent amplitude at R = -1, 0 for no damage; std::nullopt when
    // the cycle is at or beyond the material's limit. amplitude >= 0.
    std::optional<long double> equivalentAmplitude(long double amplitude, long double mean) const;

    MeanStressMethod method() const { return m_method; }
    // "the ultimate strength Su = 400" and the like, for messages about limits.
    std::string limitText() const;

private:
    MeanStressMethod m_method = MeanStressMethod::None;
    long double m_limit = 0.0L; // Su or sf'
    long double m_gamma = 1.0L;
    long double m_fkm = 0.0L;
};

// Inline: it runs once per cycle, millions of times.
inline std::optional<long double> MeanStressCorrection::equivalentAmplitude(long double sa, long double sm) const
{
    const long double smax = sm + sa;
    switch (m_method) {
    case MeanStressMethod::None:
        return sa;
    case MeanStressMethod::Goodman:
    case MeanStressMethod::Morrow:
        if (sm >= m_limit)
            return std::nullopt;
        return sa / (1.0L - sm / m_limit);
    case MeanStressMethod::Gerber: {
        const long double ratio = sm / m_limit;
        if (std::fabs(ratio) >= 1.0L)
            return std::nullopt;
        return sa / (1.0L - ratio * ratio);
    }
    case MeanStressMethod::Swt:
        return smax > 0.0L ? std::sqrt(smax * sa) : 0.0L;
    case MeanStressMethod::Walker:
        return smax > 0.0L ? std::pow(smax, 1.0L - m_gamma) * std::pow(sa, m_gamma) : 0.0L;
    case MeanStressMethod::Fkm: {
        const long double m = m_fkm;
        if (smax < 0.0L) // R > 1: wholly compressive
            return sa * (1.0L - m);
        if (sm <= sa) // Smin <= 0: R <= 0
            return sa + m * sm;
        if (sm < 3.0L * sa) // 0 < R < 0.5
            return (1.0L + m) / (1.0L + m / 3.0L) * (sa + m / 3.0L * sm);
        return sa * 3.0L * (1.0L + m) * (1.0L + m) / (3.0L + m); // R >= 0.5
    }
    }
    return sa;
}

} // namespace tessivo::fatigue
