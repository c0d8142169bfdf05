#include "engine/fatigue/sn_curve_text.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/sn_presets.h"

#include "engine/numbers/decimal_parser.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace tessivo::fatigue {
namespace {

long double number(const std::string& what, const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v))
        throw FatigueError(what + " needs a number (with '.' as decimal point), not '" + text + "'");
    return v;
}

KneeRule kneeRule(const std::string& text)
{
    if (text == "same")
        return KneeRule::SameSlope;
    if (text == "cutoff")
        return KneeRule::NoDamage;
    if (text == "haibach")
        return KneeRule::Haibach;
    throw FatigueError("S-N curve: knee must be same, cutoff or haibach (or give m2), not '" + text + "'");
}

} // namespace

SnCurveDefinition parseSnCurveText(const std::string& text)
{
    constexpr const char* kPrefix = "preset:";
    if (text.rfind(kPrefix, 0) == 0) {
        const std::string name = text.substr(std::char_traits<char>::length(kPrefix));
        if (const SnPreset* preset = findSnPreset(name))
            return preset->definition;
        throw FatigueError("S-N curve: unknown preset '" + name
                           + "' (EC3-160 ... EC3-36, EC3-shear-100, DNV-B1 ... DNV-W3, DNV-T, with -CP or -FC, "
                             "IIW-FAT160 ... IIW-FAT36, IIW-FAT100-shear)");
    }
    SnCurveDefinition d;
    std::set<std::string> seen;
    bool kneeGiven = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        start = comma + 1;
        const std::size_t eq = item.find('=');
        const std::string key = item.substr(0, eq);
        if (eq == std::string::npos)
            throw FatigueError("S-N curve: '" + item + "' is not key=value");
        if (!seen.insert(key).second)
            throw FatigueError("S-N curve: " + key + " given twice");
        const std::string value = item.substr(eq + 1);
        const std::string what = "S-N curve: " + key;
        if (key == "m")
            d.m = number(what, value);
        else if (key == "logA")
            d.logA = number(what, value);
        else if (key == "S")
            d.pointS = number(what, value);
        else if (key == "N")
            d.pointN = number(what, value);
        else if (key == "Nknee")
            d.kneeN = number(what, value);
        else if (key == "Ncut")
            d.cutoffN = number(what, value);
        else if (key == "m2") {
            d.m2 = number(what, value);
            d.knee = KneeRule::SecondSlope;
        } else if (key == "knee") {
            d.knee = kneeRule(value);
            kneeGiven = true;
        } else
            throw FatigueError("S-N curve: unknown key '" + key
                               + "' (m, logA, S, N, knee, m2, Nknee, Ncut, or preset:NAME)");
    }
    if (kneeGiven && seen.count("m2"))
        throw FatigueError("S-N curve: give knee or m2, not both");
    if (!seen.count("m"))
        throw FatigueError("S-N curve: the slope m is missing");
    return d;
}

} // namespace tessivo::fatigue
