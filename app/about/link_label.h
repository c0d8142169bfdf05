#pragma once
// A label that reports a click, for captions styled as links.

#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // Plain text in the given font, bold, underlined and teal, as the
    // program's links look.
    void styleAsLink(QFont font);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
