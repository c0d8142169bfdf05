#include "fatigue_options.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/sn_curve_text.h"

#include "decimal_parser.h"

#include <cmath>
#include <stdexcept>

namespace tessivo::cli {
namespace {

using fatigue::SnCurveDefinition;

long double number(const std::string& what, const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v))
        throw std::invalid_argument(what + " needs a number (with '.' as decimal point), not '" + text + "'");
    return v;
}

std::vector<long double> exponents(const std::string& text)
{
    std::vector<long double> result;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        result.push_back(number("'--del'", text.substr(start, comma - start)));
        if (comma == std::string::npos)
            return result;
        start = comma + 1;
    }
}

} // namespace

SnCurveDefinition parseSnCurve(const std::string& text)
{
    try {
        return fatigue::parseSnCurveText(text);
    } catch (const fatigue::FatigueError& e) {
        throw std::invalid_argument(e.what());
    }
}

const std::vector<std::string>& fatigueOptionNames()
{
    static const std::vector<std::string> names = {
        "--sn-curve", "--sn-measure", "--mean-stress", "--ultimate", "--fatigue-strength-coefficient",
        "--walker-gamma", "--fkm-m", "--del", "--del-cycles", "--del-frequency", "--duration"};
    return names;
}

void setFatigueOption(FatigueOptions& options, const std::string& name, const std::string& value)
{
    fatigue::FatigueSettings& s = options.settings;
    const std::string quoted = "'" + name + "'";
    options.anyGiven = true;
    if (name == "--sn-curve") {
        s.curve = parseSnCurve(value);
        options.curveText = value;
    } else if (name == "--sn-measure") {
        if (value != "range" && value != "amplitude")
            throw std::invalid_argument("'--sn-measure' must be range or amplitude, not '" + value + "'");
        s.measure = value == "range" ? fatigue::LoadMeasure::Range : fatigue::LoadMeasure::Amplitude;
    } else if (name == "--mean-stress") {
        const auto method = fatigue::meanStressFromName(value);
        if (!method || *method == fatigue::MeanStressMethod::None)
            throw std::invalid_argument("'--mean-stress' must be goodman, gerber, morrow, swt, walker or fkm, not '"
                                        + value + "'");
        s.meanStress = *method;
    } else if (name == "--ultimate") {
        s.material.ultimate = number(quoted, value);
    } else if (name == "--fatigue-strength-coefficient") {
        s.material.fatigueStrengthCoefficient = number(quoted, value);
    } else if (name == "--walker-gamma") {
        s.material.walkerGamma = number(quoted, value);
    } else if (name == "--fkm-m") {
        s.material.fkmM = number(quoted, value);
    } else if (name == "--del") {
        s.delExponents = exponents(value);
    } else if (name == "--del-cycles") {
        options.delCycles = number(quoted, value);
    } else if (name == "--del-frequency") {
        options.delFrequency = number(quoted, value);
    } else if (name == "--duration") {
        s.duration = number(quoted, value);
    }
}

void finishFatigueOptions(FatigueOptions& options)
{
    if (!options.anyGiven)
        return;
    fatigue::FatigueSettings& s = options.settings;
    if (!options.wanted())
        throw std::invalid_argument("the fatigue options need '--sn-curve' or '--del'");
    if (options.delCycles && options.delFrequency)
        throw std::invalid_argument("give '--del-cycles' or '--del-frequency', not both");
    try {
        if (options.delFrequency) {
            if (!s.duration)
                throw std::invalid_argument("'--del-frequency' needs '--duration'");
            s.equivalentCycles = fatigue::equivalentCycles(*options.delFrequency, *s.duration);
        } else if (options.delCycles) {
            s.equivalentCycles = *options.delCycles;
        }
        fatigue::FatigueAnalysis check(s); // the curve, the material values, N_eq, the duration
    } catch (const fatigue::FatigueError& e) {
        throw std::invalid_argument(e.what());
    }
}

std::string fatigueUsageText()
{
    return "Fatigue (on the loads as read and scaled, never normalised; with load bins on\n"
           "the class edges the table holds):\n"
           "  --sn-curve CURVE    S-N curve N(S): m=3,logA=12.164 (N = 10^logA S^-m), or\n"
           "                      m=3,S=100,N=2e6 (N = N (S/S_i)^m) with knee=same|cutoff|\n"
           "                      haibach or m2=5 below the knee (at N, or Nknee=), Ncut=1e8\n"
           "                      (no damage beyond); or preset:EC3-71 (EC3-160 ... EC3-36,\n"
           "                      EN 1993-1-9) or preset:DNV-D (DNV-B1 ... DNV-W3, in air)\n"
           "  --sn-measure WHAT   range (default) or amplitude: what S is, for the curve and --del\n"
           "  --mean-stress M     goodman, gerber, morrow, swt, walker or fkm: S becomes the\n"
           "                      equivalent at zero mean (R = -1) before the curve\n"
           "  --ultimate SU, --fatigue-strength-coefficient SF, --walker-gamma G, --fkm-m M\n"
           "                      material values of the mean-stress methods\n"
           "  --del M[,M...]      damage-equivalent loads (sum n S^m / N_eq)^(1/m)\n"
           "  --del-cycles N      N_eq (default 1e7); or --del-frequency HZ with --duration\n"
           "  --duration S        seconds the counted sequence lasts: life also in hours\n"
           "  Miner's rule D = sum n / N(S); life = 1/D repetitions of the counted sequence.\n"
           "  The report gains \"Fatigue damage\", csv the columns allowed,damage (with a\n"
           "  curve), json a \"fatigue\" object.\n";
}

} // namespace tessivo::cli
