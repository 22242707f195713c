#include "LinkLabel.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& objectName, const QString& caption, const QString& address,
                     QWidget* parent)
    : QLabel(caption, parent), m_address(address) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setHovered(false);
}

void LinkLabel::setHovered(bool hovered) {
    QFont f = font();
    f.setUnderline(hovered);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, hovered ? QColor(0, 0, 255) : QColor(0, 0, 128));
    setPalette(p);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    setHovered(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_address.isEmpty()) {
        Q_EMIT activated(m_address);
    }
    QLabel::mouseReleaseEvent(event);
}
