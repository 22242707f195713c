#include "FontDialog.h"

#include "ColorComboBox.h"
#include "search/ListLook.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Qt's font dialog used as a part of ours: closing it (Enter in its lists accepts it) closes the outer
// dialog, and the keys it does not use go to the outer one, rather than hiding the part on Esc.
class FontChooser final : public QFontDialog {
public:
    explicit FontChooser(QWidget* parent) : QFontDialog(parent) {
        setObjectName(QStringLiteral("FontChooser"));
        setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        setWindowFlags(Qt::Widget);
        setSizeGripEnabled(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
    void done(int result) override {
        if (auto* outer = qobject_cast<QDialog*>(parentWidget())) {
            outer->done(result);
        }
    }
};

}  // namespace

FontDialog::FontDialog(const FontSpec& font, QWidget* parent)
    : QDialog(parent), m_start(font), m_colors(fontDialogColors(font.color)) {
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(QStringLiteral("Font"));

    m_chooser = new FontChooser(this);
    // The chooser lists installed faces only: given one it does not list, it would also drop the
    // style. It starts on the face that draws the stored one.
    QFont shown = toQFont(font);
    shown.setFamily(QFontInfo(shown).family());
    m_chooser->setCurrentFont(shown);
    m_startFamily = m_chooser->currentFont().family();

    auto* colorLabel = new QLabel(QStringLiteral("&Color:"), this);
    m_colorList = new ColorComboBox(QStringLiteral("FontColor"), m_colors, this);
    colorLabel->setBuddy(m_colorList);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("FontDialogOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("FontDialogCancel"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colorList, 1);
    colorRow->addStretch(2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
    keepAboveStayOnTopWindows(this);
}

FontSpec FontDialog::font() const {
    const QFont chosen = m_chooser->currentFont();
    FontSpec spec;
    // A stored face that is not installed shows as a substitute; it stays stored as long as the user
    // keeps the face the dialog showed for it.
    spec.name = chosen.family() == m_startFamily ? m_start.name : chosen.family();
    spec.size = chosen.pointSize() > 0 ? chosen.pointSize() : m_start.size;
    spec.style = (chosen.bold() ? FontBold : 0) | (chosen.italic() ? FontItalic : 0) |
                 (chosen.underline() ? FontUnderline : 0) | (chosen.strikeOut() ? FontStrikeOut : 0);
    spec.color = m_colors.selected();
    return spec;
}

std::optional<FontSpec> editFont(QWidget* parent, const FontSpec& font) {
    FontDialog dialog(font, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.font();
}
