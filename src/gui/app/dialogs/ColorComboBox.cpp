#include "ColorComboBox.h"

#include "search/ListLook.h"

#include <QApplication>
#include <QColorDialog>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

namespace {

constexpr QSize kSwatch(22, 14);

QIcon swatch(StoredColor color) {
    QPixmap picture(kSwatch);
    picture.fill(toQColor(color));
    QPainter frame(&picture);
    frame.setPen(Qt::black);
    frame.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return QIcon(picture);
}

}  // namespace

StoredColor toStoredColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return StoredColor(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

void keepAboveStayOnTopWindows(QWidget* dialog) {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != dialog && window->isVisible() &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            return;
        }
    }
}

std::optional<StoredColor> pickColor(QWidget* parent, StoredColor preset) {
    QColorDialog picker(toQColor(preset), parent);
    picker.setObjectName(QStringLiteral("ColorDialog"));
    // Qt's own picker shows the custom colours and the full spectrum at once.
    picker.setOption(QColorDialog::DontUseNativeDialog);
    keepAboveStayOnTopWindows(&picker);
    if (picker.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return toStoredColor(picker.selectedColor());
}

ColorComboBox::ColorComboBox(const QString& objectName, ColorBox& box, QWidget* parent)
    : QComboBox(parent), m_box(box) {
    setObjectName(objectName);
    setIconSize(kSwatch);
    setMaxVisibleItems(20);
    for (int i = 0; i < box.count(); ++i) {
        addItem(swatch(box.color(i)), box.name(i));
    }
    connect(this, &QComboBox::activated, this, &ColorComboBox::userChose);
    showBox();
}

void ColorComboBox::showBox() {
    const QSignalBlocker quiet(this);
    setItemIcon(ColorBox::kCustomEntry, swatch(m_box.customColor()));
    setCurrentIndex(m_box.selectedIndex());
}

void ColorComboBox::userChose(int index) {
    if (index == ColorBox::kCustomEntry) {
        const std::optional<StoredColor> picked = pickColor(window(), m_box.customColor());
        if (!picked) {
            showBox();
            return;
        }
        m_box.chooseCustom(*picked);
    } else {
        m_box.choose(index);
    }
    showBox();
    Q_EMIT chosen();
}
