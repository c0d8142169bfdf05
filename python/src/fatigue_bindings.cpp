#include "fatigue_bindings.h"

#include "number_value.h"

#include "engine/fatigue/damage_equivalent_load.h"
#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/rainflow_matrix.h"
#include "engine/fatigue/sn_curve_text.h"
#include "engine/fatigue/sn_presets.h"
#include "engine/run/choices.h"
#include "engine/run/outputs/output_request.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessivo::python {
namespace {

using namespace tessivo::fatigue;

std::optional<long double> optionalNumber(py::handle value, const std::string& what)
{
    if (value.is_none())
        return std::nullopt;
    return numberValue(value, what);
}

// An S-N curve as Python holds it: the definition and the checked curve.
struct PySnCurve {
    SnCurveDefinition definition;
    SnCurve curve;
    std::string text; // the text form when made from one, for the representation

    explicit PySnCurve(const SnCurveDefinition& d, std::string t = {}) : definition(d), curve(d), text(std::move(t)) {}
};

KneeRule kneeRule(const std::string& name)
{
    if (name == "same")
        return KneeRule::SameSlope;
    if (name == "cutoff")
        return KneeRule::NoDamage;
    if (name == "haibach")
        return KneeRule::Haibach;
    throw py::value_error("knee must be same, cutoff or haibach, not '" + name + "'");
}

// The keyword form of the text's keys; m2 without a knee rule is the second slope, as in the text.
SnCurveDefinition definitionOf(py::handle m, py::handle logA, py::handle S, py::handle N, py::handle knee,
                               py::handle m2, py::handle Nknee, py::handle Ncut)
{
    SnCurveDefinition d;
    if (m.is_none())
        throw py::type_error("an S-N curve needs m (or the text form, such as 'm=3,logA=12.164')");
    d.m = numberValue(m, "m");
    d.logA = optionalNumber(logA, "logA");
    d.pointS = optionalNumber(S, "S");
    d.pointN = optionalNumber(N, "N");
    d.kneeN = optionalNumber(Nknee, "Nknee");
    d.cutoffN = optionalNumber(Ncut, "Ncut");
    if (!knee.is_none())
        d.knee = kneeRule(knee.cast<std::string>());
    if (!m2.is_none()) {
        if (!knee.is_none())
            throw py::value_error("give knee or m2, not both");
        d.knee = KneeRule::SecondSlope;
        d.m2 = numberValue(m2, "m2");
    }
    return d;
}

template <class T>
py::array_t<T> vectorArray(std::vector<T>&& v)
{
    auto* owned = new std::vector<T>(std::move(v));
    py::capsule free(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
    return py::array_t<T>(static_cast<py::ssize_t>(owned->size()), owned->data(), free);
}

std::optional<MeanStressMethod> meanStressMethod(py::handle name)
{
    if (name.is_none())
        return MeanStressMethod::None;
    const std::string text = name.cast<std::string>();
    const auto method = choiceNamed(meanStressChoices(), text);
    if (!method)
        throw py::value_error("mean_stress must be None, " + choiceList(meanStressChoices()) + ", not '" + text + "'");
    return method;
}

// The factors of a code check, by their keyword names; None keeps the default.
DesignSettings designOf(const py::dict& given)
{
    DesignSettings d;
    const auto factor = [&given](const char* name, long double& into) {
        if (const auto v = optionalNumber(given[name], name))
            into = *v;
    };
    factor("stress_factor", d.stressFactor);
    factor("scf", d.scf);
    factor("gamma_ff", d.gammaFf);
    factor("gamma_mf", d.gammaMf);
    factor("dff", d.dff);
    d.thickness = optionalNumber(given["thickness"], "thickness");
    d.thicknessRef = optionalNumber(given["thickness_ref"], "thickness_ref");
    d.thicknessExponent = optionalNumber(given["thickness_exponent"], "thickness_exponent");
    d.sizeFactor = optionalNumber(given["size_factor"], "size_factor");
    d.compressiveShare = optionalNumber(given["compressive_share"], "compressive_share");
    return d;
}

// The settings from the Python arguments, refused as tessivo-count refuses
// them, in the module's words.
FatigueSettings settingsFrom(const PySnCurve* curve, const std::string& measure, py::handle meanStress,
                             const py::dict& material, const py::sequence& delExponents, py::handle equivalentCycles,
                             py::handle duration, const py::dict& design, bool delOnCurve, bool normalized)
{
    FatigueSettings s;
    if (curve != nullptr)
        s.curve = curve->definition;
    const auto chosenMeasure = choiceNamed(measureChoices(), measure);
    if (!chosenMeasure)
        throw py::value_error("sn_measure must be " + choiceList(measureChoices()) + ", not '" + measure + "'");
    s.measure = *chosenMeasure;
    s.meanStress = *meanStressMethod(meanStress);
    s.material.ultimate = optionalNumber(material["ultimate"], "ultimate");
    s.material.fatigueStrengthCoefficient =
        optionalNumber(material["fatigue_strength_coefficient"], "fatigue_strength_coefficient");
    s.material.walkerGamma = optionalNumber(material["walker_gamma"], "walker_gamma");
    s.material.fkmM = optionalNumber(material["fkm_m"], "fkm_m");
    for (py::handle e : delExponents)
        s.delExponents.push_back(numberValue(e, "del exponent m"));
    s.equivalentCycles = numberValue(equivalentCycles, "del_cycles");
    s.duration = optionalNumber(duration, "duration");
    s.design = designOf(design);
    s.delOnCurve = delOnCurve;
    // The request-level refusals, as tessivo-count makes them, in the module's words.
    FatigueRequest request;
    request.settings = s;
    if (const auto problem = outputConflict(OutputRequest{OutputFormat::Report, request}, normalized)) {
        static const std::map<std::string, std::string> keywords = {
            {"ultimate", "ultimate"},
            {"fatigueStrengthCoefficient", "fatigue_strength_coefficient"},
            {"walkerGamma", "walker_gamma"},
            {"fkmM", "fkm_m"},
        };
        if (problem->conflict == OutputConflict::FatigueOnNormalisedLoads)
            throw py::value_error("the cycles were counted with normalize=True: damage and damage-equivalent loads "
                                  "need the loads as counted, not divided by the highest peak");
        if (problem->conflict == OutputConflict::MaterialWithoutMethod) {
            const std::string keyword = keywords.at(problem->setting);
            if (s.meanStress == MeanStressMethod::None)
                throw py::value_error(keyword
                                      + " is a material value of a mean-stress correction: give mean_stress "
                                        "with it");
            const std::string own = materialValueOf(s.meanStress);
            throw py::value_error(keyword + " is not read by mean_stress='" + meanStressName(s.meanStress)
                                  + "', which takes "
                                  + (own.empty() ? std::string("no material value") : keywords.at(own)));
        }
    }
    return s;
}

// The whole evaluation over the cycles' columns, rows included.
py::dict evaluate(const py::array_t<long double, py::array::c_style | py::array::forcecast>& range,
                  const py::array_t<long double, py::array::c_style | py::array::forcecast>& upper,
                  const py::array_t<long double, py::array::c_style | py::array::forcecast>& lower,
                  const py::array_t<double, py::array::c_style | py::array::forcecast>& count, const PySnCurve* curve,
                  const std::string& measure, py::handle meanStress, const py::dict& material,
                  const py::sequence& delExponents, py::handle equivalentCycles, py::handle duration,
                  const py::dict& design, bool delOnCurve, bool normalized)
{
    const py::ssize_t n = range.size();
    if (upper.size() != n || lower.size() != n || count.size() != n || range.ndim() != 1)
        throw py::value_error("the cycles' range, upper, lower and count must be one-dimensional and of one length");
    const FatigueSettings s = settingsFrom(curve, measure, meanStress, material, delExponents, equivalentCycles,
                                           duration, design, delOnCurve, normalized);

    std::vector<long double> load(static_cast<std::size_t>(n)), allowed(load.size()), damage(load.size());
    FatigueTotals totals;
    {
        FatigueAnalysis analysis(s);
        const auto r = range.unchecked<1>();
        const auto u = upper.unchecked<1>();
        const auto l = lower.unchecked<1>();
        const auto c = count.unchecked<1>();
        py::gil_scoped_release released;
        for (py::ssize_t i = 0; i < n; ++i) {
            const FatigueRow row = analysis.add(FatigueCycle{r(i), u(i), l(i), c(i)});
            load[static_cast<std::size_t>(i)] = row.load;
            allowed[static_cast<std::size_t>(i)] = row.allowed;
            damage[static_cast<std::size_t>(i)] = row.damage;
        }
        totals = analysis.totals();
    }
    py::dict d;
    d["damage"] = longDoubleScalar(totals.damage);
    d["life"] = longDoubleScalar(totals.life);
    d["life_hours"] = totals.lifeHours ? longDoubleScalar(*totals.lifeHours) : py::none();
    d["equivalent_cycles"] = longDoubleScalar(s.equivalentCycles);
    py::list del;
    for (const DelValue& v : totals.del)
        del.append(py::make_tuple(longDoubleScalar(v.m), longDoubleScalar(v.value)));
    d["del"] = del;
    if (totals.check) {
        d["design_damage"] = longDoubleScalar(totals.check->designDamage);
        d["utilisation"] = longDoubleScalar(totals.check->utilisation);
        d["check"] = totals.check->passes;
    }
    if (totals.curveDelAsked)
        d["curve_del"] = totals.curveDel ? longDoubleScalar(*totals.curveDel) : py::none();
    d["load"] = vectorArray(std::move(load));
    d["allowed"] = vectorArray(std::move(allowed));
    d["damage_per_row"] = vectorArray(std::move(damage));
    return d;
}

// The rainflow matrix of the cycles: (row edges, column edges, counts as rows x columns).
py::tuple matrixOf(const py::array_t<long double, py::array::c_style | py::array::forcecast>& range,
                   const py::array_t<long double, py::array::c_style | py::array::forcecast>& upper,
                   const py::array_t<long double, py::array::c_style | py::array::forcecast>& lower,
                   const py::array_t<double, py::array::c_style | py::array::forcecast>& count, const std::string& kind,
                   int bins)
{
    const py::ssize_t n = range.size();
    if (upper.size() != n || lower.size() != n || count.size() != n || range.ndim() != 1)
        throw py::value_error("the cycles' range, upper, lower and count must be one-dimensional and of one length");
    const auto matrixKind = choiceNamed(matrixKindChoices(), kind);
    if (!matrixKind)
        throw py::value_error("kind must be " + choiceList(matrixKindChoices()) + ", not '" + kind + "'");
    if (bins < 1 || bins > 1000)
        throw py::value_error("bins must be a whole number from 1 to 1000, not " + std::to_string(bins));
    std::vector<FatigueCycle> cycles(static_cast<std::size_t>(n));
    for (py::ssize_t i = 0; i < n; ++i)
        cycles[static_cast<std::size_t>(i)] = FatigueCycle{range.at(i), upper.at(i), lower.at(i), count.at(i)};
    RainflowMatrix matrix;
    {
        py::gil_scoped_release released;
        matrix = rainflowMatrix(cycles, *matrixKind, bins);
    }
    py::array_t<long double> counts(
        {static_cast<py::ssize_t>(matrix.rows()), static_cast<py::ssize_t>(matrix.columns())});
    std::copy(matrix.counts.begin(), matrix.counts.end(), counts.mutable_data());
    return py::make_tuple(vectorArray(std::move(matrix.rowEdges)), vectorArray(std::move(matrix.columnEdges)), counts);
}

} // namespace

FatigueRequest fatigueRequestFrom(const py::dict& f)
{
    FatigueRequest request;
    const PySnCurve* curve = f["curve"].is_none() ? nullptr : f["curve"].cast<const PySnCurve*>();
    request.settings =
        settingsFrom(curve, f["sn_measure"].cast<std::string>(), f["mean_stress"], f["material"].cast<py::dict>(),
                     f["del"].cast<py::sequence>(), f["equivalent_cycles"], f["duration"], f["design"].cast<py::dict>(),
                     f["del_on_curve"].cast<bool>(), false);
    if (curve != nullptr)
        request.curveText = curve->text;
    return request;
}

void bindFatigue(py::module_& m)
{
    py::class_<PySnCurve>(m, "SnCurve")
        .def(py::init([](const std::string& text) { return PySnCurve(parseSnCurveText(text), text); }), py::arg("text"))
        .def(py::init([](py::handle m, py::handle logA, py::handle S, py::handle N, py::handle knee, py::handle m2,
                         py::handle Nknee,
                         py::handle Ncut) { return PySnCurve(definitionOf(m, logA, S, N, knee, m2, Nknee, Ncut)); }),
             py::arg("m"), py::arg("logA"), py::arg("S"), py::arg("N"), py::arg("knee"), py::arg("m2"),
             py::arg("Nknee"), py::arg("Ncut"))
        .def_readonly("text", &PySnCurve::text)
        .def_property_readonly("m", [](const PySnCurve& c) { return longDoubleScalar(c.curve.slope()); })
        .def_property_readonly("slope_below_knee",
                               [](const PySnCurve& c) { return longDoubleScalar(c.curve.slopeBelowKnee()); })
        .def_property_readonly("knee_load", [](const PySnCurve& c) { return longDoubleScalar(c.curve.kneeLoad()); })
        .def_property_readonly("knee_cycles", [](const PySnCurve& c) { return longDoubleScalar(c.curve.kneeCycles()); })
        .def_property_readonly("cutoff_load", [](const PySnCurve& c) { return longDoubleScalar(c.curve.cutoffLoad()); })
        .def(
            "allowed_cycles",
            [](const PySnCurve& c, py::handle s) {
                return longDoubleScalar(c.curve.allowedCycles(numberValue(s, "S")));
            },
            py::arg("S"))
        .def(
            "load_at",
            [](const PySnCurve& c, py::handle n) {
                const long double cycles = numberValue(n, "N");
                if (!(cycles > 0.0L))
                    throw py::value_error("N must be positive");
                return longDoubleScalar(c.curve.loadAt(cycles));
            },
            py::arg("N"));
    m.def("sn_presets", [] {
        py::dict d;
        for (const SnPreset& p : snPresets())
            d[py::str(p.name)] = p.description;
        return d;
    });
    m.def("equivalent_cycles", [](py::handle frequency, py::handle duration) {
        return longDoubleScalar(
            equivalentCycles(numberValue(frequency, "del_frequency"), numberValue(duration, "duration")));
    });
    m.def("rainflow_matrix", &matrixOf, py::arg("range"), py::arg("upper"), py::arg("lower"), py::arg("count"),
          py::arg("kind"), py::arg("bins"));
    m.def("fatigue", &evaluate, py::arg("range"), py::arg("upper"), py::arg("lower"), py::arg("count"),
          py::arg("curve").none(true), py::arg("measure"), py::arg("mean_stress"), py::arg("material"),
          py::arg("del_exponents"), py::arg("equivalent_cycles"), py::arg("duration"), py::arg("design"),
          py::arg("del_on_curve"), py::arg("normalized"));
}

} // namespace tessivo::python
