// The fatigue window's code check and its lifetime: the box of factors under
// the names tessivo-count gives them, the check at a glance, and the tab
// that counts a design life over many recordings with the same choices.

#include "fatigue/fatigue_window.h"

#include "fatigue/lifetime_panel.h"

#include "document/count_document.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/fatigue/sn_presets.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace tessivo::fatigue;

namespace {

// The curve's own value as the field's placeholder: the value used while
// the field is empty.
QString ownValue(const std::optional<long double>& value, QChar separator)
{
    if (!value)
        return QStringLiteral("the curve gives none: give it");
    return QStringLiteral("curve: ") + QString::fromStdString(fatigueNumberText(*value)).replace(u'.', separator);
}

const QString kCompressiveShareTip =
    QStringLiteral("The share of a range's part below zero that counts, the codes' rule for mean stress in non-welded "
                   "or stress-relieved details (EN 1993-1-9, 7.2.1: 0.6); only without a mean-stress correction");

} // namespace

QWidget* FatigueWindow::createDesign()
{
    auto* box = new QGroupBox(QStringLiteral("Code check"), this);
    auto* form = new QFormLayout(box);
    const auto field = [box, form](QLineEdit*& target, const char* name, const QString& label, const char* option,
                                   const QString& tip) {
        target = new QLineEdit(box);
        target->setObjectName(QLatin1String(name));
        target->setToolTip(QStringLiteral("%1 (%2)").arg(tip, QLatin1String(option)));
        // Room for a factor such as 0.00131 beside the longest label.
        target->setMinimumWidth(target->fontMetrics().horizontalAdvance(QStringLiteral("0.0000000000")));
        form->addRow(label, target);
    };
    field(
        edLoadFactor, "edLoadFactor", QStringLiteral("Stress factor:"), "--stress-factor",
        QStringLiteral("Stress per unit of load: the stress is the load times this factor, for instance MPa per kN m"));
    field(edScf, "edScf", QStringLiteral("SCF:"), "--scf",
          QStringLiteral("Stress concentration factor on the stresses"));
    field(edGammaFf, "edGammaFf", QStringLiteral("\u03b3Ff:"), "--gamma-ff",
          QStringLiteral("Partial factor on the loads (EN 1993-1-9, Table 3.1)"));
    field(edGammaMf, "edGammaMf", QStringLiteral("\u03b3Mf:"), "--gamma-mf",
          QStringLiteral("Partial factor on the resistance (EN 1993-1-9, Table 3.1)"));
    field(edDff, "edDff", QStringLiteral("DFF:"), "--dff",
          QStringLiteral("Design fatigue factor (DNV-RP-C203): the check passes while D x DFF is at most 1"));
    field(edThickness, "edThickness", QStringLiteral("Thickness t:"), "--thickness",
          QStringLiteral("Thickness correction (t / t_ref)^k with the curve's own t_ref and k unless given below; "
                         "empty: none"));
    edThickness->setPlaceholderText(QStringLiteral("mm; empty: none"));
    field(edThicknessRef, "edThicknessRef", QStringLiteral("Reference thickness t_ref:"), "--thickness-ref",
          QStringLiteral("The thickness below which no correction applies; empty: the curve's own"));
    field(edThicknessExponent, "edThicknessExponent", QStringLiteral("Thickness exponent k:"), "--thickness-exponent",
          QStringLiteral("The exponent of (t / t_ref)^k; empty: the curve's own"));
    field(edSizeFactor, "edSizeFactor", QStringLiteral("Size factor k_s:"), "--size-factor",
          QStringLiteral("EN 1993-1-9 size factor in (0, 1]: the stresses on the curve are divided by it; empty: "
                         "none"));
    edSizeFactor->setPlaceholderText(QStringLiteral("empty: none"));
    field(edCompressiveShare, "edCompressiveShare", QStringLiteral("Compressive share:"), "--compressive-share",
          kCompressiveShareTip);
    lbCheck = new QLabel(box);
    lbCheck->setObjectName(QStringLiteral("lbCheck"));
    lbCheck->setWordWrap(true);
    lbCheck->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbCheck->setFixedHeight(5 * fontMetrics().lineSpacing() + 2);
    lbCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(lbCheck);
    return box;
}

void FatigueWindow::showDesignHints(const FatigueChoices& c)
{
    const SnPreset* preset = c.preset.isEmpty() ? nullptr : findSnPreset(c.preset.toStdString());
    const QChar separator = m_seams.decimalSeparator;
    edThicknessRef->setPlaceholderText(ownValue(preset ? preset->definition.thicknessRef : std::nullopt, separator));
    edThicknessExponent->setPlaceholderText(
        ownValue(preset ? preset->definition.thicknessExponent : std::nullopt, separator));
    const bool noCorrection =
        meanStressFromName(c.meanStress.toStdString()).value_or(MeanStressMethod::None) == MeanStressMethod::None;
    edCompressiveShare->setEnabled(noCorrection);
    if (!noCorrection)
        edCompressiveShare->setPlaceholderText(QStringLiteral("not with a mean-stress correction"));
    else if (preset && !preset->meanStressRule.empty())
        edCompressiveShare->setPlaceholderText(QStringLiteral("empty: whole ranges; see the tooltip"));
    else
        edCompressiveShare->setPlaceholderText(QStringLiteral("empty: whole ranges"));
    // The curve's own rule, where it has one, below the option's.
    QString tip = kCompressiveShareTip + QStringLiteral(" (--compressive-share)");
    if (preset && !preset->meanStressRule.empty())
        tip += QStringLiteral("\n") + QString::fromStdString(preset->meanStressRule);
    edCompressiveShare->setToolTip(tip);
}

void FatigueWindow::showCheck()
{
    const bool check = m_result && m_result->totals.check;
    lbCheck->setStyleSheet(!check                           ? QString()
                           : m_result->totals.check->passes ? QStringLiteral("color: #106020; font-weight: bold")
                                                            : QStringLiteral("color: #b00000; font-weight: bold"));
    if (!check) {
        lbCheck->setText(m_result ? QStringLiteral("Check: needs an S-N curve") : QStringLiteral("Check: no result"));
        return;
    }
    const DesignCheck& d = *m_result->totals.check;
    lbCheck->setText(QStringLiteral("Check %1\nUtilisation %2 (limit 1)\nDesign damage D x DFF = %3")
                         .arg(d.passes ? QStringLiteral("passes") : QStringLiteral("fails"), numberText(d.utilisation),
                              numberText(d.designDamage)));
}

// The factors of the code check as "label<TAB>value" lines, with the
// thickness reference and exponent that were used.
QStringList FatigueWindow::designLines() const
{
    if (!m_settings)
        return {};
    const DesignSettings& d = m_settings->design;
    QStringList lines{
        QStringLiteral("Stress factor:\t") + numberText(d.stressFactor), QStringLiteral("SCF:\t") + numberText(d.scf),
        QStringLiteral("\u03b3Ff:\t") + numberText(d.gammaFf), QStringLiteral("\u03b3Mf:\t") + numberText(d.gammaMf),
        QStringLiteral("DFF:\t") + numberText(d.dff)};
    if (d.thickness) {
        lines << QStringLiteral("Thickness t:\t") + numberText(*d.thickness);
        try {
            const DesignFactors f = resolveDesignFactors(d, m_settings->curve ? &*m_settings->curve : nullptr);
            lines << QStringLiteral("Reference thickness t_ref:\t") + numberText(f.thicknessRef)
                  << QStringLiteral("Thickness exponent k:\t") + numberText(f.thicknessExponent);
        } catch (const FatigueError&) {
            // Named in the window's status; no result is shown then.
        }
    }
    if (d.sizeFactor)
        lines << QStringLiteral("Size factor k_s:\t") + numberText(*d.sizeFactor);
    if (d.compressiveShare)
        lines << QStringLiteral("Compressive share:\t") + numberText(*d.compressiveShare);
    return lines;
}

QWidget* FatigueWindow::createLifetime()
{
    LifetimePanelSeams seams;
    seams.runModal = m_seams.runModal;
    seams.reportError = m_seams.reportError;
    seams.decimalSeparator = m_seams.decimalSeparator;
    seams.setup = [this] { return lifetimeSetup(); };
    pgLifetime = new LifetimePanel(this, seams);
    return pgLifetime;
}

LifetimeCountInput FatigueWindow::lifetimeSetup()
{
    const FatigueChoices c = choices();
    LifetimeChoicesRead read = lifetimeSettingsOf(c, m_seams.decimalSeparator);
    LifetimeCountInput input;
    if (m_seams.countRequest)
        input.request = m_seams.countRequest();
    else if (m_document)
        input.request = m_document->countRequest();
    input.fatigue = std::move(read.fatigue);
    input.lifetime = std::move(read.lifetime);
    input.columns = std::move(read.columns);
    m_lifetimeChoices = c;
    return input;
}

void FatigueWindow::checkLifetime(const FatigueChoices& c)
{
    if (m_lifetimeChoices && !sameLifetimeChoices(c, *m_lifetimeChoices)) {
        m_lifetimeChoices.reset();
        pgLifetime->forget(QStringLiteral("The choices have changed since the lifetime was counted: count it again."));
    }
}
