#pragma once

#include <QLabel>

// A label that opens an address: underlined and blue while pointed at, navy otherwise.
class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& objectName, const QString& caption, const QString& address, QWidget* parent);
    QString address() const { return m_address; }

Q_SIGNALS:
    void activated(const QString& address);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setHovered(bool hovered);
    QString m_address;
};
