#include "main_window/caption_extent.h"

#include <QAbstractButton>
#include <QRadioButton>
#include <QStyle>

int captionExtent(const QAbstractButton* button)
{
    const QStyle* style = button->style();
    const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
    const int indicator =
        style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, button);
    const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing,
                                           nullptr, button);
    return indicator + spacing + button->fontMetrics().horizontalAdvance(button->text()) + 1;
}
