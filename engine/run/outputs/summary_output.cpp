#include "engine/run/outputs/summary_output.h"

#include "engine/fatigue/fatigue_number.h"
#include "engine/record/json_text.h"
#include "engine/run/outputs/cycle_export.h"
#include "engine/run/outputs/fatigue_output.h"
#include "engine/run/plain_text_report.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace tessivo {
namespace {

using fatigue::fatigueNumberText;

std::string csvNumber(long double v)
{
    return std::isfinite(v) ? shortestText(v) : (v > 0 ? "inf" : "-inf");
}

std::string jsonNumber(long double v)
{
    return std::isfinite(v) ? shortestText(v) : "null";
}

// The lifetime as a row of its own: its hours, seconds and cycles beside the totals.
SummaryRow lifetimeRow(const LifetimeResult& lifetime)
{
    SummaryRow row;
    row.name = "lifetime";
    long double hours = 0.0L;
    for (const LifetimeRecording& r : lifetime.recordings) {
        hours += r.share.hoursPerYear;
        row.cycles += fatigue::lifetimeRepetitions(r.share, lifetime.totals.designLife) * r.row.cycles;
    }
    row.hoursPerYear = hours;
    row.duration = lifetime.totals.seconds;
    fatigue::FatigueTotals t;
    const fatigue::LifetimeTotals& l = lifetime.totals;
    t.damage = l.damage;
    t.life = l.damage > 0.0L ? 1.0L / l.damage : std::numeric_limits<long double>::infinity();
    t.check = l.check;
    t.del = l.del;
    t.curveDel = l.curveDel;
    t.curveDelAsked = l.curveDelAsked;
    row.fatigue = t;
    return row;
}

std::vector<SummaryRow> allRows(const std::vector<SummaryRow>& rows, const LifetimeResult* lifetime)
{
    std::vector<SummaryRow> all = rows;
    if (lifetime)
        all.push_back(lifetimeRow(*lifetime));
    return all;
}

} // namespace

std::vector<SummaryRow> recordingRows(const LifetimeResult& lifetime)
{
    std::vector<SummaryRow> rows;
    for (const LifetimeRecording& r : lifetime.recordings)
        rows.push_back(r.row);
    return rows;
}

void writeSummaryCsv(std::ostream& out, const std::vector<SummaryRow>& given, const FatigueRequest& fatigue,
                     const LifetimeResult* lifetime)
{
    const fatigue::FatigueSettings& s = fatigue.settings;
    const bool curve = s.curve.has_value();
    out << "name,points,highest_peak,lowest_trough,cycles";
    if (lifetime)
        out << ",hours_per_year,duration";
    if (curve)
        out << ",damage,life,utilisation,check";
    for (long double m : s.delExponents)
        out << ",del_" << shortestText(m);
    if (s.delOnCurve)
        out << ",curve_del";
    out << '\n';
    const std::vector<SummaryRow> rows = allRows(given, lifetime);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const SummaryRow& r = rows[k];
        const bool total = lifetime && k + 1 == rows.size(); // the lifetime's own row
        out << csvField(r.name) << ',';
        if (!total)
            out << r.points << ',' << csvNumber(r.highestPeak) << ',' << csvNumber(r.lowestTrough);
        else
            out << ",,";
        out << ',' << csvNumber(r.cycles);
        if (lifetime)
            out << ',' << csvNumber(r.hoursPerYear.value_or(0.0L)) << ',' << csvNumber(r.duration.value_or(0.0L));
        const fatigue::FatigueTotals* t = r.fatigue ? &*r.fatigue : nullptr;
        if (curve) {
            if (t && t->check)
                out << ',' << csvNumber(t->damage) << ',' << csvNumber(t->life) << ','
                    << csvNumber(t->check->utilisation) << ',' << (t->check->passes ? "true" : "false");
            else
                out << ",,,,";
        }
        for (std::size_t i = 0; i < s.delExponents.size(); ++i)
            out << ',' << (t && i < t->del.size() ? csvNumber(t->del[i].value) : std::string());
        if (s.delOnCurve)
            out << ',' << (t && t->curveDel ? csvNumber(*t->curveDel) : std::string());
        out << '\n';
    }
}

namespace {

std::string rowJson(const SummaryRow& r, const FatigueRequest& fatigue, bool total)
{
    std::ostringstream json;
    json << "{\"name\": " << jsonString(r.name);
    if (!total)
        json << ", \"points\": " << r.points << ", \"highestPeak\": " << jsonNumber(r.highestPeak)
             << ", \"lowestTrough\": " << jsonNumber(r.lowestTrough);
    json << ", \"cycles\": " << jsonNumber(r.cycles);
    if (r.hoursPerYear)
        json << ", \"hoursPerYear\": " << jsonNumber(*r.hoursPerYear);
    if (r.duration)
        json << ", \"duration\": " << jsonNumber(*r.duration);
    if (r.fatigue) {
        const fatigue::FatigueTotals& t = *r.fatigue;
        if (fatigue.settings.curve && t.check)
            json << ", \"damage\": " << jsonNumber(t.damage) << ", \"life\": " << jsonNumber(t.life)
                 << ", \"utilisation\": " << jsonNumber(t.check->utilisation)
                 << ", \"check\": " << (t.check->passes ? "true" : "false");
        json << ", \"del\": [";
        for (std::size_t i = 0; i < t.del.size(); ++i)
            json << (i ? ", " : "") << "{\"m\": " << jsonNumber(t.del[i].m)
                 << ", \"value\": " << jsonNumber(t.del[i].value) << "}";
        json << "]";
        if (t.curveDelAsked)
            json << ", \"curveDel\": " << (t.curveDel ? jsonNumber(*t.curveDel) : "null");
    }
    json << "}";
    return json.str();
}

void writeRowsJson(std::ostream& out, const std::vector<SummaryRow>& rows, const FatigueRequest& fatigue,
                   const std::string& indent, bool lastIsTotal)
{
    out << "[";
    for (std::size_t k = 0; k < rows.size(); ++k)
        out << (k ? ",\n" : "\n") << indent << "  " << rowJson(rows[k], fatigue, lastIsTotal && k + 1 == rows.size());
    out << (rows.empty() ? "]" : "\n" + indent + "]");
}

} // namespace

void writeSummaryJson(std::ostream& out, const std::vector<SummaryRow>& rows, const FatigueRequest& fatigue,
                      const LifetimeResult* lifetime)
{
    writeRowsJson(out, allRows(rows, lifetime), fatigue, "", lifetime != nullptr);
    out << '\n';
}

void writeLifetimeReport(std::ostream& out, const LifetimeResult& lifetime, const FatigueRequest& fatigue)
{
    const fatigue::FatigueSettings& s = fatigue.settings;
    const fatigue::LifetimeTotals& t = lifetime.totals;
    out << "Recordings\n";
    out << "File\tHours per year\tDuration (s)\tCycles" << (s.curve ? "\tDamage" : "") << '\n';
    for (const LifetimeRecording& r : lifetime.recordings) {
        out << r.row.name << '\t' << fatigueNumberText(r.share.hoursPerYear) << '\t'
            << fatigueNumberText(r.share.duration) << '\t' << fatigueNumberText(r.row.cycles);
        if (s.curve)
            out << '\t' << fatigueNumberText(r.share.damage, 6);
        out << '\n';
    }
    out << "\nLifetime\n";
    bool binned = false;
    for (const LifetimeRecording& r : lifetime.recordings)
        binned = binned || r.row.binned;
    StreamReport inputs(out);
    writeFatigueInputs(inputs, fatigue, binned);
    out << "Design life: \t" << fatigueNumberText(t.designLife) << " years, " << fatigueNumberText(t.seconds, 6)
        << " seconds of the recordings\n";
    if (s.curve) {
        out << "Damage (Miner): \t" << fatigueNumberText(t.damage, 6)
            << " (design life x sum of hours per year x 3600 / duration x D)\n";
        out << "Design damage: \t" << fatigueNumberText(t.check.designDamage, 6)
            << " (D x DFF, DFF = " << fatigueNumberText(s.design.dff) << ")\n";
        out << "Utilisation: \t" << fatigueNumberText(t.check.utilisation, 6) << " (limit 1)\n";
        out << "Check: \t" << (t.check.passes ? "passes" : "fails") << '\n';
    }
    if (!t.del.empty() || t.curveDelAsked) {
        out << "Damage-equivalent loads of the lifetime (N_eq = " << fatigueNumberText(t.equivalentCycles, 6) << "):\n";
        for (const fatigue::DelValue& d : t.del)
            out << "m = " << fatigueNumberText(d.m) << ": \t" << fatigueNumberText(d.value, 6) << '\n';
        if (t.curveDelAsked)
            out << "On the S-N curve: \t"
                << (t.curveDel ? fatigueNumberText(*t.curveDel, 6)
                               : std::string("none (N_eq cycles of any load do more damage or none)"))
                << '\n';
    }
}

void writeLifetimeJson(std::ostream& out, const LifetimeResult& lifetime, const FatigueRequest& fatigue)
{
    const fatigue::FatigueSettings& s = fatigue.settings;
    const fatigue::LifetimeTotals& t = lifetime.totals;
    out << "{\n  \"recordings\": ";
    writeRowsJson(out, recordingRows(lifetime), fatigue, "  ", false);
    out << ",\n  \"lifetime\": {\n    \"designLife\": " << jsonNumber(t.designLife)
        << ",\n    \"seconds\": " << jsonNumber(t.seconds)
        << ",\n    \"equivalentCycles\": " << jsonNumber(t.equivalentCycles);
    if (s.curve)
        out << ",\n    \"curve\": " << jsonString(fatigue.curveText) << ",\n    \"damage\": " << jsonNumber(t.damage)
            << ",\n    \"dff\": " << jsonNumber(s.design.dff)
            << ",\n    \"designDamage\": " << jsonNumber(t.check.designDamage)
            << ",\n    \"utilisation\": " << jsonNumber(t.check.utilisation)
            << ",\n    \"check\": " << (t.check.passes ? "true" : "false");
    out << ",\n    \"del\": [";
    for (std::size_t i = 0; i < t.del.size(); ++i)
        out << (i ? ", " : "") << "{\"m\": " << jsonNumber(t.del[i].m) << ", \"value\": " << jsonNumber(t.del[i].value)
            << "}";
    out << "]";
    if (t.curveDelAsked)
        out << ",\n    \"curveDel\": " << (t.curveDel ? jsonNumber(*t.curveDel) : "null");
    out << "\n  }\n}\n";
}

} // namespace tessivo
