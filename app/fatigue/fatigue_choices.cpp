#include "fatigue/fatigue_choices.h"

#include "settings_store.h"

#include "engine/fatigue/fatigue_error.h"
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

long double number(const QString& text, const QString& what)
{
    QString plain = text.trimmed();
    plain.replace(u',', u'.');
    long double v = 0.0L;
    if (!tessivo::parseDecimal(plain.toStdString(), v) || !std::isfinite(v))
        throw FatigueError((what + QStringLiteral(" must be a number, not '") + text + u'\'').toStdString());
    return v;
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
    {"Duration", &FatigueChoices::duration},
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
    key.writeString(QStringLiteral("Measure"), choices.amplitude ? QStringLiteral("amplitude") : QStringLiteral("range"));
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

FatigueSettings fatigueSettingsOf(const FatigueChoices& choices)
{
    FatigueSettings s;
    if (choices.preset.isEmpty()) {
        s.curve = parseSnCurveText(choices.ownCurve.trimmed().toStdString());
    } else if (const SnPreset* preset = findSnPreset(choices.preset.toStdString())) {
        s.curve = preset->definition;
    } else {
        throw FatigueError("S-N curve: unknown preset '" + choices.preset.toStdString() + "'");
    }
    s.measure = choices.amplitude ? LoadMeasure::Amplitude : LoadMeasure::Range;
    const auto method = meanStressFromName(choices.meanStress.toStdString());
    s.meanStress = method.value_or(MeanStressMethod::None);
    const QString valueName = materialValueName(s.meanStress);
    if (!valueName.isEmpty() && !choices.material.trimmed().isEmpty()) {
        const long double v = number(choices.material, valueName);
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
    for (const QString& part : choices.delExponents.split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts))
        s.delExponents.push_back(number(part, QStringLiteral("A damage-equivalent load's exponent")));
    s.equivalentCycles = number(choices.equivalentCycles, QStringLiteral("N_eq"));
    if (!choices.duration.trimmed().isEmpty())
        s.duration = number(choices.duration, QStringLiteral("The duration"));
    FatigueAnalysis check(s); // every value in its domain
    return s;
}
