#include "about/link_label.h"

#include <QMouseEvent>

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void LinkLabel::styleAsLink(QFont font)
{
    setTextFormat(Qt::PlainText);
    font.setBold(true);
    font.setUnderline(true);
    setFont(font);
    QPalette teal = palette();
    teal.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x80));
    setPalette(teal);
}
