#include "fatigue_options.h"

#include "cli_messages.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/sn_curve_text.h"

#include "engine/run/choices.h"
#include "engine/run/number_text.h"

#include <cmath>
#include <stdexcept>

namespace tessivo::cli {
namespace {

using fatigue::SnCurveDefinition;

long double number(const std::string& option, const std::string& text)
{
    long double v = 0.0L;
    if (!parseDecimal(text, v) || !std::isfinite(v))
        throw std::invalid_argument(needsNumberProblem(option, text));
    return v;
}

// A list of numbers; `word`, when given, may stand among them and sets *wordSeen.
std::vector<long double> numberList(const std::string& what, const std::string& text, const char* word = nullptr,
                                    bool* wordSeen = nullptr)
{
    std::vector<long double> result;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        if (word && item == word)
            *wordSeen = true;
        else
            result.push_back(number(what, item));
        if (comma == std::string::npos)
            return result;
        start = comma + 1;
    }
}

// The factors of a code check; false for another option.
bool setDesignOption(fatigue::DesignSettings& d, const std::string& name, const std::string& value)
{
    if (name == "--stress-factor")
        d.stressFactor = number(name, value);
    else if (name == "--scf")
        d.scf = number(name, value);
    else if (name == "--gamma-ff")
        d.gammaFf = number(name, value);
    else if (name == "--gamma-mf")
        d.gammaMf = number(name, value);
    else if (name == "--dff")
        d.dff = number(name, value);
    else if (name == "--thickness")
        d.thickness = number(name, value);
    else if (name == "--thickness-ref")
        d.thicknessRef = number(name, value);
    else if (name == "--thickness-exponent")
        d.thicknessExponent = number(name, value);
    else if (name == "--size-factor")
        d.sizeFactor = number(name, value);
    else if (name == "--compressive-share")
        d.compressiveShare = number(name, value);
    else
        return false;
    return true;
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
    static const std::vector<std::string> names = {"--sn-curve",
                                                   "--sn-measure",
                                                   "--mean-stress",
                                                   "--ultimate",
                                                   "--fatigue-strength-coefficient",
                                                   "--walker-gamma",
                                                   "--fkm-m",
                                                   "--del",
                                                   "--del-cycles",
                                                   "--del-frequency",
                                                   "--duration",
                                                   "--matrix",
                                                   "--matrix-bins",
                                                   "--matrix-edges",
                                                   "--matrix-mean-edges",
                                                   "--stress-factor",
                                                   "--scf",
                                                   "--gamma-ff",
                                                   "--gamma-mf",
                                                   "--dff",
                                                   "--thickness",
                                                   "--thickness-ref",
                                                   "--thickness-exponent",
                                                   "--size-factor",
                                                   "--compressive-share"};
    return names;
}

void setFatigueOption(FatigueRequest& request, FatigueOptions& given, const std::string& name, const std::string& value)
{
    fatigue::FatigueSettings& s = request.settings;
    given.anyGiven = true;
    if (name == "--sn-curve") {
        s.curve = parseSnCurve(value);
        request.curveText = value;
    } else if (name == "--sn-measure") {
        const auto measure = choiceNamed(measureChoices(), value);
        if (!measure)
            throw std::invalid_argument(choiceProblem(name, choiceList(measureChoices()), value));
        s.measure = *measure;
    } else if (name == "--mean-stress") {
        const auto method = choiceNamed(meanStressChoices(), value);
        if (!method)
            throw std::invalid_argument(choiceProblem(name, choiceList(meanStressChoices()), value));
        s.meanStress = *method;
    } else if (name == "--ultimate") {
        s.material.ultimate = number(name, value);
    } else if (name == "--fatigue-strength-coefficient") {
        s.material.fatigueStrengthCoefficient = number(name, value);
    } else if (name == "--walker-gamma") {
        s.material.walkerGamma = number(name, value);
    } else if (name == "--fkm-m") {
        s.material.fkmM = number(name, value);
    } else if (name == "--del") {
        s.delOnCurve = false;
        s.delExponents = numberList(name, value, "curve", &s.delOnCurve);
    } else if (setDesignOption(s.design, name, value)) {
        // a factor of the code check, taken
    } else if (name == "--del-cycles") {
        given.delCycles = number(name, value);
    } else if (name == "--del-frequency") {
        given.delFrequency = number(name, value);
    } else if (name == "--duration") {
        s.duration = number(name, value);
    } else if (name == "--matrix") {
        const auto kind = choiceNamed(matrixKindChoices(), value);
        if (!kind)
            throw std::invalid_argument(choiceProblem(name, choiceList(matrixKindChoices()), value));
        request.matrix = *kind;
    } else if (name == "--matrix-bins") {
        const long double bins = number(name, value);
        if (bins < 1 || bins > 1000 || bins != std::floor(bins))
            throw std::invalid_argument(wholeNumberProblem(name, "from 1 to 1000", value));
        request.matrixBins = static_cast<int>(bins);
    } else if (name == "--matrix-edges" || name == "--matrix-mean-edges") {
        std::vector<long double> edges = numberList(name, value);
        try {
            fatigue::checkMatrixEdges(edges, "'" + name + "' (" + value + ")");
        } catch (const fatigue::FatigueError& e) {
            throw std::invalid_argument(e.what());
        }
        (name == "--matrix-edges" ? request.matrixEdges.rows : request.matrixEdges.columns) = std::move(edges);
    }
}

void finishFatigueOptions(FatigueRequest& request, const FatigueOptions& given)
{
    if (!given.anyGiven)
        return;
    fatigue::FatigueSettings& s = request.settings;
    if (!request.wanted())
        throw std::invalid_argument(kFatigueNeedsOutput);
    const fatigue::MatrixEdges& edges = request.matrixEdges;
    if ((!edges.rows.empty() || !edges.columns.empty()) && !request.matrix)
        throw std::invalid_argument(kMatrixEdgesNeedMatrix);
    if (!edges.columns.empty() && request.matrix == fatigue::MatrixKind::FromTo)
        throw std::invalid_argument(kMeanEdgesNeedRangeMean);
    if (given.delCycles && given.delFrequency)
        throw std::invalid_argument(kDelCyclesOrFrequency);
    try {
        if (given.delFrequency) {
            if (!s.duration)
                throw std::invalid_argument(kDelFrequencyNeedsDuration);
            s.equivalentCycles = fatigue::equivalentCycles(*given.delFrequency, *s.duration);
        } else if (given.delCycles) {
            s.equivalentCycles = *given.delCycles;
        }
        fatigue::FatigueAnalysis check(s); // the curve, the material values, N_eq, the duration
    } catch (const fatigue::FatigueError& e) {
        throw std::invalid_argument(e.what());
    }
}

namespace {

// "goodman|gerber|morrow|swt|walker|fkm"
std::string methodsText()
{
    std::string text;
    for (const auto& choice : meanStressChoices())
        text += (text.empty() ? "" : "|") + std::string(choice.name);
    return text;
}

} // namespace

std::string fatigueUsageText()
{
    return "Fatigue (loads as read and scaled, never normalised; class edges in load bins):\n"
           "  --sn-curve CURVE    S-N curve: m=3,logA=12.164 | m=5,S=100,N=2e6[,knee=same|\n"
           "                      cutoff|haibach | ,m2=5][,Nknee=N][,Ncut=1e8] |\n"
           "                      preset:EC3-71 (EC3-160..36, EC3-shear-100|80) |\n"
           "                      preset:DNV-D (DNV-B1..W3, DNV-T; -CP, -FC in seawater) |\n"
           "                      preset:IIW-FAT90 (IIW-FAT160..36, IIW-FAT100|80-shear)\n"
           "  --sn-measure WHAT   S is the "
           + std::string(measureChoices()[0].name) + " (default) or the " + measureChoices()[1].name
           + "\n"
             "  --mean-stress M     "
           + methodsText()
           + ", with --ultimate SU,\n"
             "                      --fatigue-strength-coefficient SF, --walker-gamma G,\n"
             "                      --fkm-m M\n"
             "  --del M[,M...]      damage-equivalent loads (sum n S^m / N_eq)^(1/m); 'curve'\n"
             "                      in the list: the one that does D on the S-N curve\n"
             "  --del-cycles N      N_eq (default 1e7), or --del-frequency HZ with --duration\n"
             "  --duration S        seconds the sequence lasts: life also in hours\n"
             "  --stress-factor K, --scf K   stress = load x K (before everything else)\n"
             "  --compressive-share F  the part of a range below 0 counts F (0.6: EC3 for\n"
             "                      non-welded or stress-relieved details)\n"
             "  --gamma-ff G, --gamma-mf G, --thickness T [--thickness-ref R\n"
             "                      --thickness-exponent K], --size-factor KS: S on the curve\n"
             "                      x G_Ff x G_Mf x (T/R)^K / KS; --dff F: utilisation D x F\n"
             "                      and the check (passes while at most 1)\n"
             "  D = sum n/N(S), life = 1/D repetitions. Report: \"Fatigue damage\"; csv: columns\n"
             "  allowed,damage (with a curve); json: \"fatigue\" (DEL in report and json only)\n"
             "  --matrix KIND       output the "
           + std::string(matrixKindChoices()[0].name) + " or " + matrixKindChoices()[1].name
           + " (maximum, minimum) matrix\n"
             "                      as CSV with class edges instead; --matrix-bins N (32),\n"
             "                      or own ascending edges: --matrix-edges E,E,... (ranges,\n"
             "                      or loads of a from-to matrix), --matrix-mean-edges E,E,...\n"
             "                      (cycles beyond own edges are left out, with a notice)\n";
}

} // namespace tessivo::cli
