#include "fatigue/fatigue_choices.h"

#include "support/settings_store.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_analysis.h"
#include "engine/fatigue/sn_curve_text.h"
#include "engine/fatigue/sn_presets.h"

#include "engine/run/number_text.h"
#include "registry_key.h"

#include <QRegularExpression>
#include <cmath>

using namespace tessivo::fatigue;

namespace {

QString fatigueKeyPath()
{
    return kApplicationKey + QStringLiteral("\\Fatigue");
}

// With a decimal point, commas before groups of three digits group
// thousands; any other comma is a decimal comma.
QString plainNumber(QString text, QChar decimalSeparator)
{
    text = text.trimmed();
    if (decimalSeparator == u'.') {
        static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d*)?([eE][+-]?\\d+)?$"));
        if (grouped.match(text).hasMatch())
            return text.remove(u',');
    }
    return text.replace(u',', u'.');
}

long double number(const QString& text, const QString& what, QChar decimalSeparator)
{
    long double v = 0.0L;
    if (!tessivo::parseDecimal(plainNumber(text, decimalSeparator).toStdString(), v) || !std::isfinite(v))
        throw FatigueError((what + QStringLiteral(" must be a number, not '") + text.trimmed() + u'\'').toStdString());
    return v;
}

// The own curve in the engine's syntax: items separated by ",", decimal
// points. With a decimal comma, only a comma before "name=" ends an item.
std::string curveText(const QString& text, QChar decimalSeparator)
{
    QString out = text.trimmed();
    static const QRegularExpression separator(QStringLiteral("\\s*[,;]\\s*"));
    out.replace(separator, QStringLiteral(","));
    if (decimalSeparator == u',') {
        static const QRegularExpression decimalComma(QStringLiteral("(\\d),(?!\\s*[A-Za-z_][A-Za-z0-9_']*\\s*=)"));
        out.replace(decimalComma, QStringLiteral("\\1."));
    }
    return out.toStdString();
}

std::vector<long double> exponents(const QString& text, QChar decimalSeparator)
{
    const QRegularExpression separators(decimalSeparator == u',' ? QStringLiteral("[\\s;]+")
                                                                 : QStringLiteral("[\\s;,]+"));
    std::vector<long double> out;
    for (const QString& part : text.split(separators, Qt::SkipEmptyParts))
        out.push_back(number(part, QStringLiteral("A damage-equivalent load's exponent"), decimalSeparator));
    return out;
}

struct Field {
    const char* name;
    QString FatigueChoices::*text;
};

const Field kFields[] = {
    {"Curve", &FatigueChoices::preset},
    {"OwnCurve", &FatigueChoices::ownCurve},
    {"MeanStress", &FatigueChoices::meanStress},
    {"Material", &FatigueChoices::material},
    {"DelExponents", &FatigueChoices::delExponents},
    {"EquivalentCycles", &FatigueChoices::equivalentCycles},
    {"DelFrequency", &FatigueChoices::delFrequency},
    {"Duration", &FatigueChoices::duration},
    {"LoadFactor", &FatigueChoices::loadFactor},
    {"Scf", &FatigueChoices::scf},
    {"GammaFf", &FatigueChoices::gammaFf},
    {"GammaMf", &FatigueChoices::gammaMf},
    {"Dff", &FatigueChoices::dff},
    {"Thickness", &FatigueChoices::thickness},
};

} // namespace

FatigueChoices loadFatigueChoices(const QString& storePath)
{
    FatigueChoices choices;
    const morvane::RegistryKey key(fatigueKeyPath(), storePath);
    const auto text = [&key](const QString& name) -> std::optional<QString> {
        const auto value = key.read(name);
        if (!value || value->type != static_cast<std::uint32_t>(morvane::RegType::String))
            return std::nullopt;
        return morvane::regStringText(value->data);
    };
    for (const Field& field : kFields) {
        if (const auto value = text(QLatin1String(field.name)))
            choices.*field.text = *value;
    }
    if (const auto measure = text(QStringLiteral("Measure")))
        choices.amplitude = *measure == QStringLiteral("amplitude");
    return choices;
}

void storeFatigueChoices(const FatigueChoices& choices, const QString& storePath)
{
    morvane::RegistryKey key(fatigueKeyPath(), storePath);
    for (const Field& field : kFields)
        key.writeString(QLatin1String(field.name), choices.*field.text);
    key.writeString(QStringLiteral("Measure"),
                    choices.amplitude ? QStringLiteral("amplitude") : QStringLiteral("range"));
}

QString materialValueName(MeanStressMethod method)
{
    switch (method) {
    case MeanStressMethod::Goodman:
    case MeanStressMethod::Gerber:
        return QStringLiteral("Su");
    case MeanStressMethod::Morrow:
        return QStringLiteral("sf'");
    case MeanStressMethod::Walker:
        return QStringLiteral("gamma");
    case MeanStressMethod::Fkm:
        return QStringLiteral("M");
    case MeanStressMethod::None:
    case MeanStressMethod::Swt:
        break;
    }
    return QString();
}

namespace {

void setMaterialValue(FatigueSettings& s, long double v)
{
    switch (s.meanStress) {
    case MeanStressMethod::Goodman:
    case MeanStressMethod::Gerber:
        s.material.ultimate = v;
        break;
    case MeanStressMethod::Morrow:
        s.material.fatigueStrengthCoefficient = v;
        break;
    case MeanStressMethod::Walker:
        s.material.walkerGamma = v;
        break;
    case MeanStressMethod::Fkm:
        s.material.fkmM = v;
        break;
    default:
        break;
    }
}

// The curve with its mean-stress correction; throws FatigueError.
void readCurve(const FatigueChoices& choices, QChar sep, FatigueSettings& s)
{
    if (choices.preset.isEmpty()) {
        s.curve = parseSnCurveText(curveText(choices.ownCurve, sep));
    } else if (const SnPreset* preset = findSnPreset(choices.preset.toStdString())) {
        s.curve = preset->definition;
    } else {
        throw FatigueError("S-N curve: unknown preset '" + choices.preset.toStdString() + "'");
    }
    s.meanStress = meanStressFromName(choices.meanStress.toStdString()).value_or(MeanStressMethod::None);
    const QString valueName = materialValueName(s.meanStress);
    if (!valueName.isEmpty() && !choices.material.trimmed().isEmpty())
        setMaterialValue(s, number(choices.material, valueName, sep));
    FatigueAnalysis check(s); // every value in its domain
}

// Runs one part of the reading; on a FatigueError puts `fallback` back and
// notes the problem.
template <typename Read, typename Undo>
void readPart(FatigueSettingsRead& out, Read read, Undo undo)
{
    try {
        read();
    } catch (const FatigueError& e) {
        undo();
        out.problems << QString::fromUtf8(e.what());
    }
}

// A factor of the code check; empty text is 1 (no factor).
long double factor(const QString& text, const QString& what, QChar sep)
{
    return text.trimmed().isEmpty() ? 1.0L : number(text, what, sep);
}

// The factors of the code check, checked against the curve (a thickness
// needs the curve's reference and exponent); throws FatigueError.
void readDesign(const FatigueChoices& choices, QChar sep, FatigueSettings& s)
{
    DesignSettings& d = s.design;
    d.stressFactor = factor(choices.loadFactor, QStringLiteral("The stress factor"), sep);
    d.scf = factor(choices.scf, QStringLiteral("The stress concentration factor"), sep);
    d.gammaFf = factor(choices.gammaFf, QStringLiteral("The partial factor gamma_Ff"), sep);
    d.gammaMf = factor(choices.gammaMf, QStringLiteral("The partial factor gamma_Mf"), sep);
    d.dff = factor(choices.dff, QStringLiteral("The design fatigue factor (DFF)"), sep);
    if (!choices.thickness.trimmed().isEmpty())
        d.thickness = number(choices.thickness, QStringLiteral("The thickness t"), sep);
    resolveDesignFactors(d, s.curve ? &*s.curve : nullptr);
}

// N_eq from the exponents' part: typed, or the frequency times the duration.
long double equivalentCyclesOf(const FatigueChoices& choices, QChar sep, const std::optional<long double>& duration)
{
    if (choices.delFrequency.trimmed().isEmpty())
        return number(choices.equivalentCycles, QStringLiteral("N_eq"), sep);
    const long double frequency = number(choices.delFrequency, QStringLiteral("The DEL frequency"), sep);
    if (!duration)
        throw FatigueError("The DEL frequency needs the sequence duration");
    return equivalentCycles(frequency, *duration);
}

} // namespace

FatigueSettingsRead readFatigueSettings(const FatigueChoices& choices, QChar sep)
{
    FatigueSettingsRead out;
    FatigueSettings& s = out.settings;
    s.measure = choices.amplitude ? LoadMeasure::Amplitude : LoadMeasure::Range;
    readPart(
        out, [&] { readCurve(choices, sep, s); },
        [&] {
            s.curve.reset();
            s.meanStress = MeanStressMethod::None;
            s.material = {};
        });
    readPart(
        out,
        [&] {
            if (!choices.duration.trimmed().isEmpty())
                s.duration = number(choices.duration, QStringLiteral("The duration"), sep);
            FatigueAnalysis check(s);
        },
        [&] { s.duration.reset(); });
    readPart(
        out,
        [&] {
            s.delExponents = exponents(choices.delExponents, sep);
            s.equivalentCycles = equivalentCyclesOf(choices, sep, s.duration);
            FatigueAnalysis check(s);
        },
        [&] {
            s.delExponents.clear();
            s.equivalentCycles = kDefaultEquivalentCycles;
        });
    readPart(
        out, [&] { readDesign(choices, sep, s); },
        [&] {
            s.design = DesignSettings{};
            out.designRead = false;
        });
    return out;
}

FatigueSettings fatigueSettingsOf(const FatigueChoices& choices, QChar decimalSeparator)
{
    FatigueSettingsRead read = readFatigueSettings(choices, decimalSeparator);
    if (!read.problems.isEmpty())
        throw FatigueError(read.problems.front().toStdString());
    return read.settings;
}
