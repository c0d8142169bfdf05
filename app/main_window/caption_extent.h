#pragma once
// How wide a check box or radio button must be to show its whole caption:
// the indicator, the spacing and the text, without the style's extra margin.

class QAbstractButton;

int captionExtent(const QAbstractButton* button);
