#include "engine/run/outputs/fatigue_output.h"

#include "engine/run/outputs/cycle_export.h"

#include "engine/run/plain_text_report.h"
#include "engine/run/report_builder.h"
#include "engine/numbers/load_format.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/fatigue/sn_presets.h"
#include "engine/fatigue/table_cycles.h"

#include "engine/numbers/work_notation.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <sstream>

namespace tessivo {
namespace {

using fatigue::fatigueNumberText;

std::string jsonValue(long double v)
{
    return std::isfinite(v) ? shortestText(v) : "null";
}

std::string measureText(const FatigueRequest& options)
{
    return options.settings.measure == fatigue::LoadMeasure::Range ? "ranges" : "amplitudes";
}

std::string curveDescription(const FatigueRequest& options)
{
    const std::string& text = options.curveText;
    if (text.rfind("preset:", 0) == 0) {
        if (const fatigue::SnPreset* preset = fatigue::findSnPreset(text.substr(7)))
            return preset->name + ", " + preset->description;
    }
    return text;
}

std::string meanStressDescription(const fatigue::FatigueSettings& s)
{
    const fatigue::MaterialValues& m = s.material;
    const std::string name = fatigue::meanStressName(s.meanStress);
    switch (s.meanStress) {
    case fatigue::MeanStressMethod::None:
        return "none";
    case fatigue::MeanStressMethod::Goodman:
    case fatigue::MeanStressMethod::Gerber:
        return name + ", Su = " + fatigueNumberText(*m.ultimate);
    case fatigue::MeanStressMethod::Morrow:
        return name + ", sf' = " + fatigueNumberText(*m.fatigueStrengthCoefficient);
    case fatigue::MeanStressMethod::Swt:
        return name;
    case fatigue::MeanStressMethod::Walker:
        return name + ", gamma = " + fatigueNumberText(*m.walkerGamma);
    case fatigue::MeanStressMethod::Fkm:
        return name + ", M = " + fatigueNumberText(*m.fkmM);
    }
    return name;
}

// The material value the mean-stress correction used, by the name the JSON gives it.
std::string materialJson(const fatigue::FatigueSettings& s)
{
    const fatigue::MaterialValues& m = s.material;
    const auto member = [](const char* name, const std::optional<long double>& v) {
        return "{\"" + std::string(name) + "\": " + (v ? jsonValue(*v) : std::string("null")) + "}";
    };
    switch (s.meanStress) {
    case fatigue::MeanStressMethod::Goodman:
    case fatigue::MeanStressMethod::Gerber:
        return member("ultimate", m.ultimate);
    case fatigue::MeanStressMethod::Morrow:
        return member("fatigueStrengthCoefficient", m.fatigueStrengthCoefficient);
    case fatigue::MeanStressMethod::Walker:
        return member("walkerGamma", m.walkerGamma);
    case fatigue::MeanStressMethod::Fkm:
        return member("fkmM", m.fkmM);
    case fatigue::MeanStressMethod::None:
    case fatigue::MeanStressMethod::Swt:
        break;
    }
    return "{}";
}

// The lines that say how loads became stresses and which factors of a code
// check apply, each only where given.
void writeDesignInputs(ReportWriter& report, const fatigue::FatigueSettings& s, const fatigue::DesignFactors& f)
{
    const fatigue::DesignSettings& d = s.design;
    if (d.stressFactor != 1.0L || d.scf != 1.0L)
        report.addLine("Stresses: \tload x " + fatigueNumberText(d.stressFactor) + " (stress factor) x "
                       + fatigueNumberText(d.scf) + " (SCF)");
    if (d.compressiveShare)
        report.addLine("Compressive part: \tcounts x " + fatigueNumberText(*d.compressiveShare));
    if (!s.curve)
        return;
    if (d.gammaFf != 1.0L || d.gammaMf != 1.0L)
        report.addLine("Partial factors: \tgamma_Ff = " + fatigueNumberText(d.gammaFf)
                       + ", gamma_Mf = " + fatigueNumberText(d.gammaMf));
    if (d.thickness)
        report.addLine("Thickness: \tt = " + fatigueNumberText(*d.thickness) + ", (t / "
                       + fatigueNumberText(f.thicknessRef) + ")^" + fatigueNumberText(f.thicknessExponent) + " = "
                       + fatigueNumberText(f.thickness, 6) + " on the stresses");
    if (d.sizeFactor)
        report.addLine("Size factor: \tk_s = " + fatigueNumberText(*d.sizeFactor));
}

void writeDesignCheck(ReportWriter& report, const fatigue::FatigueSettings& s, const fatigue::DesignCheck& c)
{
    report.addLine("Design damage: \t" + fatigueNumberText(c.designDamage, 6)
                   + " (D x DFF, DFF = " + fatigueNumberText(s.design.dff) + ")");
    report.addLine("Utilisation: \t" + fatigueNumberText(c.utilisation, 6) + " (limit 1)");
    report.addLine(std::string("Check: \t") + (c.passes ? "passes" : "fails"));
}

std::string curveDelText(const fatigue::FatigueTotals& totals)
{
    return totals.curveDel ? fatigueNumberText(*totals.curveDel, 6)
                           : std::string("none (N_eq cycles of any load do more damage or none)");
}

// The json members of the code check, each only where given.
std::string designJson(const fatigue::FatigueSettings& s, const fatigue::DesignFactors& f,
                       const fatigue::FatigueTotals& t)
{
    const fatigue::DesignSettings& d = s.design;
    std::ostringstream json;
    if (d.stressFactor != 1.0L || d.scf != 1.0L)
        json << "    \"stressFactor\": " << jsonValue(d.stressFactor) << ",\n    \"scf\": " << jsonValue(d.scf)
             << ",\n";
    if (d.compressiveShare)
        json << "    \"compressiveShare\": " << jsonValue(*d.compressiveShare) << ",\n";
    if (!s.curve || !d.checkAsked())
        return json.str();
    json << "    \"gammaFf\": " << jsonValue(d.gammaFf) << ",\n    \"gammaMf\": " << jsonValue(d.gammaMf) << ",\n";
    if (d.thickness)
        json << "    \"thickness\": {\"t\": " << jsonValue(*d.thickness) << ", \"tRef\": " << jsonValue(f.thicknessRef)
             << ", \"k\": " << jsonValue(f.thicknessExponent) << ", \"factor\": " << jsonValue(f.thickness) << "},\n";
    if (d.sizeFactor)
        json << "    \"sizeFactor\": " << jsonValue(*d.sizeFactor) << ",\n";
    json << "    \"dff\": " << jsonValue(d.dff) << ",\n    \"designDamage\": " << jsonValue(t.check->designDamage)
         << ",\n    \"utilisation\": " << jsonValue(t.check->utilisation)
         << ",\n    \"check\": " << (t.check->passes ? "true" : "false") << ",\n";
    return json.str();
}

// The cycle as the evaluation counts it: times the request's weight.
fatigue::FatigueCycle weighted(const TCycle& c, long double weight)
{
    fatigue::FatigueCycle cycle = fatigue::fatigueCycleOf(c);
    if (weight != 1.0L)
        cycle.count = static_cast<double>(cycle.count * weight);
    return cycle;
}

} // namespace

fatigue::FatigueTotals fatigueTotals(const FatigueContext& context)
{
    fatigue::FatigueAnalysis analysis(context.options.settings);
    CycleReader reader(context.table, context.cycleCount);
    for (TCycle c; reader.next(c);)
        analysis.accumulate(weighted(c, context.options.weight));
    return analysis.totals();
}

void writeFatigueInputs(ReportWriter& report, const FatigueRequest& options, bool classEdges)
{
    const fatigue::FatigueSettings& s = options.settings;
    report.addLine(std::string("Loads: \t") + (classEdges ? "class edges of the load bins, " : "")
                   + "as read and scaled, not normalised; S = " + measureText(options));
    report.addLine("Mean-stress correction: \t" + meanStressDescription(s));
    if (options.weight != 1.0L)
        report.addLine("Weight: \teach counted cycle counts " + fatigueNumberText(options.weight)
                       + " times (the sequence stands for as many of its lengths)");
    writeDesignInputs(report, s, fatigue::resolveDesignFactors(s.design, s.curve ? &*s.curve : nullptr));
    if (s.curve)
        report.addLine("S-N curve: \t" + curveDescription(options));
}

void writeFatigueReport(ReportWriter& report, const FatigueContext& context, const fatigue::FatigueTotals& totals)
{
    const fatigue::FatigueSettings& s = context.options.settings;
    report.addLine("");
    report.setTabStops({0, 165});
    report.boldOn();
    report.addLine("Fatigue damage");
    report.boldOff();
    writeFatigueInputs(report, context.options, context.classEdges);
    if (s.curve) {
        report.addLine("Damage (Miner): \t" + fatigueNumberText(totals.damage, 6));
        const std::string life = std::isfinite(totals.life) ? fatigueNumberText(totals.life, 6) : "unlimited";
        report.addLine("Life: \t" + life + " repetitions of the counted sequence");
        if (totals.lifeHours)
            report.addLine("Life in hours: \t"
                           + (std::isfinite(*totals.lifeHours) ? fatigueNumberText(*totals.lifeHours, 6)
                                                               : std::string("unlimited")));
        if (s.design.checkAsked())
            writeDesignCheck(report, s, *totals.check);
    }
    if (!s.delExponents.empty() || s.delOnCurve) {
        report.addLine("Damage-equivalent loads (N_eq = " + fatigueNumberText(s.equivalentCycles) + "):");
        for (const fatigue::DelValue& del : totals.del)
            report.addLine("m = " + fatigueNumberText(del.m) + ": \t" + fatigueNumberText(del.value, 6));
        if (totals.curveDelAsked)
            report.addLine("On the S-N curve: \t" + curveDelText(totals));
    }
}

void writeFatigueCsv(std::ostream& out, const FatigueContext& context, long double loadDivisor)
{
    fatigue::FatigueAnalysis analysis(context.options.settings);
    out << "range,upper,lower,count,cumulative,allowed,damage\n";
    std::int64_t cumulative = 0;
    std::string block;
    char text[64];
    const auto put = [&block, &text](long double v) {
        block.append(text, formatShortest(v, text));
        block += ',';
    };
    CycleReader reader(context.table, context.cycleCount);
    for (TCycle c; reader.next(c);) {
        const fatigue::FatigueRow row = analysis.add(weighted(c, context.options.weight));
        cumulative += halvesOf(c);
        for (long double load : {c.Range, c.Upper, c.Lower})
            put(loadDivisor == 1.0L ? load : load / loadDivisor);
        block.append(text, writeHalfCount(halvesOf(c), text));
        block += ',';
        block.append(text, writeHalfCount(cumulative, text));
        block += ',';
        if (std::isfinite(row.allowed))
            put(row.allowed);
        else
            block += "inf,";
        block.append(text, formatShortest(row.damage, text));
        block += '\n';
        if (block.size() > (1U << 20)) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

std::string fatigueJson(const FatigueContext& context)
{
    const fatigue::FatigueSettings& s = context.options.settings;
    fatigue::FatigueAnalysis analysis(s);
    std::ostringstream rows;
    CycleReader reader(context.table, context.cycleCount);
    bool first = true;
    for (TCycle c; reader.next(c); first = false) {
        const fatigue::FatigueRow row = analysis.add(weighted(c, context.options.weight));
        rows << (first ? "\n" : ",\n") << "      {\"range\": " << jsonValue(c.Range)
             << ", \"upper\": " << jsonValue(c.Upper) << ", \"lower\": " << jsonValue(c.Lower)
             << ", \"count\": " << formatHalfCount(halvesOf(c)) << ", \"load\": " << jsonValue(row.load);
        if (s.curve)
            rows << ", \"allowed\": " << jsonValue(row.allowed) << ", \"damage\": " << jsonValue(row.damage);
        rows << "}";
    }
    const fatigue::FatigueTotals totals = analysis.totals();
    std::ostringstream json;
    json << "\"fatigue\": {\n"
         << "    \"loads\": \"" << (context.classEdges ? "class edges" : "as counted") << "\",\n"
         << "    \"measure\": \"" << (s.measure == fatigue::LoadMeasure::Range ? "range" : "amplitude") << "\",\n"
         << "    \"meanStress\": \"" << fatigue::meanStressName(s.meanStress) << "\",\n"
         << "    \"material\": " << materialJson(s) << ",\n"
         << "    \"curve\": " << (s.curve ? jsonString(context.options.curveText) : std::string("null")) << ",\n"
         << (context.options.weight != 1.0L ? "    \"weight\": " + jsonValue(context.options.weight) + ",\n"
                                            : std::string())
         << designJson(s, analysis.factors(), totals);
    if (s.curve) {
        json << "    \"damage\": " << jsonValue(totals.damage) << ",\n"
             << "    \"life\": " << jsonValue(totals.life) << ",\n";
        if (totals.lifeHours)
            json << "    \"lifeHours\": " << jsonValue(*totals.lifeHours) << ",\n";
    }
    json << "    \"equivalentCycles\": " << jsonValue(s.equivalentCycles) << ",\n    \"del\": [";
    for (std::size_t i = 0; i < totals.del.size(); ++i)
        json << (i ? ", " : "") << "{\"m\": " << jsonValue(totals.del[i].m)
             << ", \"value\": " << jsonValue(totals.del[i].value) << "}";
    json << "],\n";
    if (totals.curveDelAsked)
        json << "    \"curveDel\": " << (totals.curveDel ? jsonValue(*totals.curveDel) : "null") << ",\n";
    json << "    \"rows\": [" << rows.str() << (first ? "]" : "\n    ]") << "\n  }";
    return json.str();
}

double writeMatrixCsv(std::ostream& out, const FatigueContext& context)
{
    const fatigue::RainflowMatrix m =
        fatigue::rainflowMatrix(fatigue::tableCycles(context.table, context.cycleCount), *context.options.matrix,
                                context.options.matrixBins, context.options.matrixEdges);
    out << (m.kind == fatigue::MatrixKind::RangeMean ? "range_low,range_high,mean_low,mean_high,count\n"
                                                     : "from_low,from_high,to_low,to_high,count\n");
    for (std::size_t r = 0; r < m.rows(); ++r) {
        for (std::size_t c = 0; c < m.columns(); ++c) {
            if (m.count(r, c) == 0.0L)
                continue;
            out << shortestText(m.rowEdges[r]) << ',' << shortestText(m.rowEdges[r + 1]) << ','
                << shortestText(m.columnEdges[c]) << ',' << shortestText(m.columnEdges[c + 1]) << ','
                << shortestText(m.count(r, c)) << '\n';
        }
    }
    return m.outside;
}

} // namespace tessivo
