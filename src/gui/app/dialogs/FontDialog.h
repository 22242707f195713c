#pragma once

#include "app/AppearanceEditor.h"

#include <QDialog>
#include <optional>

class QFontDialog;
class ColorComboBox;

// The font dialog: face, style, size, underline and strike-out come from Qt's own font chooser,
// set into this dialog as a widget; Qt's has no colour, so a colour list sits below it, whose first
// entry "Custom..." carries the font's colour and opens the colour picker.
class FontDialog final : public QDialog {
    Q_OBJECT
public:
    FontDialog(const FontSpec& font, QWidget* parent);
    // The font as the dialog shows it: colour, face, size and style.
    FontSpec font() const;

private:
    FontSpec m_start;
    QString m_startFamily;  // the face the chooser showed for the stored name
    ColorBox m_colors;
    QFontDialog* m_chooser;
    ColorComboBox* m_colorList;
};

// Edits a font; nothing when the dialog is cancelled.
std::optional<FontSpec> editFont(QWidget* parent, const FontSpec& font);
