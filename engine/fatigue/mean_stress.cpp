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

constexpr std::array<std::pair<MeanStressMethod, const char*>, 7> kLabels = {{
    {MeanStressMethod::None, "None"},
    {MeanStressMethod::Goodman, "Goodman"},
    {MeanStressMethod::Gerber, "Gerber"},
    {MeanStressMethod::Morrow, "Morrow"},
    {MeanStressMethod::Swt, "Smith-Watson-Topper"},
    {MeanStressMethod::Walker, "Walker"},
    {MeanStressMethod::Fkm, "FKM (mean-stress sensitivity M)"},
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

std::string meanStressLabel(MeanStressMethod method)
{
    for (const auto& [m, label] : kLabels) {
        if (m == method)
            return label;
    }
    return meanStressName(method);
}

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
        m_limit = required(material.fatigueStrengthCoefficient, "the fatigue strength coefficient (sf')", name.c_str());
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

std::string MeanStressCorrection::limitText() const
{
    if (m_method == MeanStressMethod::Morrow)
        return "the fatigue strength coefficient sf' = " + fatigueNumberText(m_limit);
    return "the ultimate strength Su = " + fatigueNumberText(m_limit);
}

} // namespace tessivo::fatigue
