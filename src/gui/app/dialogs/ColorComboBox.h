#pragma once

#include "app/ColorTable.h"

#include <QColor>
#include <QComboBox>

class QWidget;

// A colour as the settings file holds it (0x00BBGGRR).
StoredColor toStoredColor(const QColor& color);
// A colour picker, Qt's own (always fully expanded), preset to a colour; nothing when cancelled.
std::optional<StoredColor> pickColor(QWidget* parent, StoredColor preset);
// A dialog stays on top while a stay-on-top window (the log window) is up, or it would be hidden.
void keepAboveStayOnTopWindows(QWidget* dialog);

// A colour box on screen: each entry a swatch and its name, drawn from a ColorBox. Choosing
// "Custom..." opens the colour picker on that entry's colour; a confirmed colour becomes the entry's,
// a cancelled picker leaves the box as it was.
class ColorComboBox final : public QComboBox {
    Q_OBJECT
public:
    ColorComboBox(const QString& objectName, ColorBox& box, QWidget* parent);
    // Shows the box's entries and its chosen entry.
    void showBox();

Q_SIGNALS:
    // The user chose an entry; the box's selection handler has run.
    void chosen();

private:
    void userChose(int index);

    ColorBox& m_box;
};
