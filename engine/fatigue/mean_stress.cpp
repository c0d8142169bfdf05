#include "engine/fatigue/mean_stress.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"

#include <array>
#include <cmath>
#include <utility>

namespace tessivo::fatigue {
namespace {

constexpr std::array<std::pair<MeanStressMethod, const char*>, 7> kNames = {{
    {MeanStressMethod::None, "none"},
    {MeanStressMethod::Goodman, "goodman"},
    {MeanStressMethod::Gerber, "gerber"},
    {MeanStressMethod::Morrow, "morrow"},
    {MeanStressMethod::Swt, "swt"},
    {MeanStressMethod::Walker, "walker"},
    {MeanStressMethod::Fkm, "fkm"},
}};

long double required(const std::optional<long double>& v, const char* what, const char* method)
{
    if (!v)
        throw FatigueError(std::string("The ") + method + " mean-stress correction needs " + what);
    if (!std::isfinite(*v))
        throw FatigueError(std::string(what) + " must be a finite number, not " + fatigueNumberText(*v));
    return *v;
}

} // namespace

std::string meanStressName(MeanStressMethod method)
{
    for (const auto& [m, name] : kNames) {
        if (m == method)
            return name;
    }
    return "none";
}

std::optional<MeanStressMethod> meanStressFromName(const std::string& name)
{
    for (const auto& [m, text] : kNames) {
        if (name == text)
            return m;
    }
    return std::nullopt;
}

MeanStressCorrection::MeanStressCorrection(MeanStressMethod method, const MaterialValues& material) : m_method(method)
{
    const std::string name = meanStressName(method);
    switch (method) {
    case MeanStressMethod::None:
    case MeanStressMethod::Swt:
        break;
    case MeanStressMethod::Goodman:
    case MeanStressMethod::Gerber:
        m_limit = required(material.ultimate, "the ultimate strength (Su)", name.c_str());
        if (m_limit <= 0.0L)
            throw FatigueError("The ultimate strength (Su) must be positive, not " + fatigueNumberText(m_limit));
        break;
    case MeanStressMethod::Morrow:
        m_limit = required(material.fatigueStrengthCoefficient, "the fatigue strength coefficient (sf')",
                           name.c_str());
        if (m_limit <= 0.0L)
            throw FatigueError("The fatigue strength coefficient (sf') must be positive, not "
                               + fatigueNumberText(m_limit));
        break;
    case MeanStressMethod::Walker:
        m_gamma = required(material.walkerGamma, "the Walker exponent (gamma)", name.c_str());
        if (!(m_gamma > 0.0L && m_gamma <= 1.0L))
            throw FatigueError("The Walker exponent (gamma) must be above 0 and at most 1, not "
                               + fatigueNumberText(m_gamma));
        break;
    case MeanStressMethod::Fkm:
        m_fkm = required(material.fkmM, "the mean-stress sensitivity (M)", name.c_str());
        if (!(m_fkm >= 0.0L && m_fkm < 1.0L))
            throw FatigueError("The mean-stress sensitivity (M) must be at least 0 and below 1, not "
                               + fatigueNumberText(m_fkm));
        break;
    }
}

std::optional<long double> MeanStressCorrection::equivalentAmplitude(long double sa, long double sm) const
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

std::string MeanStressCorrection::limitText() const
{
    if (m_method == MeanStressMethod::Morrow)
        return "the fatigue strength coefficient sf' = " + fatigueNumberText(m_limit);
    return "the ultimate strength Su = " + fatigueNumberText(m_limit);
}

} // namespace tessivo::fatigue
