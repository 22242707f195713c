#include "ImagesFoldersPanel.h"

#include "Widgets.h"
#include "app/AppState.h"
#include "app/LinkLabel.h"
#include "app/Wizard.h"
#include "catalog/FileTypes.h"
#include "common/DialogPort.h"

#include <QGridLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int kTabTop = 4;
constexpr int kTabHeight = 24;
constexpr int kTabWidth = 110;
}  // namespace

ImagesFoldersPanel::ImagesFoldersPanel(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("PanelImagesFolders"), context, parent) {
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(makeLabel(
        QStringLiteral("LabelSelectImagesFoldersTitle"),
        QStringLiteral(
            "    Select folders for image categories. If using MAME or MAMEUI (v0.172 or newer), folders "
            "are read from \"ui.ini\", skipping this screen. Relative paths (to MAME) can be used, but no "
            "network paths.\r\n    Editing folders here will NOT modify MAME ini files (safe mode), they "
            "will be saved in Kestrum.ini file."),
        this, true));

    // The tab buttons sit at fixed places: the chosen one stands 2 pixels taller.
    auto* strip = new QWidget(this);
    strip->setFixedHeight(kTabTop + kTabHeight);
    for (int tab = 0; tab < 2; ++tab) {
        m_tabButtons[tab] = makeButton(QStringLiteral("ButtonImages%1").arg(tab + 1),
                                       QStringLiteral("Images %1").arg(tab + 1), strip);
        m_tabButtons[tab]->setGeometry(tab * (kTabWidth + 2), kTabTop, kTabWidth, kTabHeight);
        connect(m_tabButtons[tab], &QPushButton::clicked, this, [this, tab] { chooseTab(tab); });
    }
    layout->addWidget(strip);
    m_tabs = new QStackedWidget(this);
    m_tabs->addWidget(makeTab(QStringLiteral("PanelImages1"), {0, 2, 3, 5, 4, 1, 6, 8}));
    m_tabs->addWidget(makeTab(QStringLiteral("PanelImages2"), {7, 9, 10, 11, 13, 12, 15, 14, 16}));
    layout->addWidget(m_tabs);
    layout->addStretch();
    auto* packs =
        new LinkLabel(QStringLiteral("LinkDownloadImagePacks"), QStringLiteral("Download image packs"),
                      QStringLiteral("https://www.progettosnaps.net/snapshots/"), this);
    connect(packs, &LinkLabel::activated, this,
            [this](const QString& address) { m_context.wizard.openAddress(address); });
    layout->addWidget(packs);
    setBold(m_tabButtons[0], true);
    m_tabButtons[0]->setGeometry(0, kTabTop - 2, kTabWidth, kTabHeight + 2);
}

namespace {
QString folderCaption(int row) {
    return row == ImageGameArtwork - kFirstImageType ? QStringLiteral("In-Game Artwork")
                                                     : QLatin1String(ImageCategoryTable[row].displayName);
}
}  // namespace

QWidget* ImagesFoldersPanel::makeTab(const QString& name, std::initializer_list<int> rows) {
    auto* tab = new QWidget;
    tab->setObjectName(name);
    auto* grid = new QGridLayout(tab);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->setVerticalSpacing(4);
    int line = 0;
    // The captions' column is as wide on both tabs, so that the boxes do not move when they switch.
    int widest = 0;
    for (int row = 0; row < kImageCategoryCount; ++row) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(folderCaption(row)));
    }
    grid->setColumnMinimumWidth(0, widest + 4);
    for (const int row : rows) {
        const ImageCategory& category = ImageCategoryTable[row];
        const QString caption = folderCaption(row);
        const QString boxName = QLatin1String(category.folderBoxName);
        grid->addWidget(makeLabel(QStringLiteral("Label") + boxName, caption, tab), line, 0);
        QLineEdit* box = makeEdit(boxName, tab);
        connect(box, &QLineEdit::textEdited, this,
                [this, row](const QString& text) { m_context.state.setup.imageFolderBoxes[row] = text; });
        grid->addWidget(box, line, 1);
        QPushButton* pick = makeButton(QStringLiteral("ButtonSelect") + boxName, QStringLiteral("Select"),
                                       tab, QStringLiteral("Click here to select a folder"));
        connect(pick, &QPushButton::clicked, this,
                [this, row, caption = QLatin1String(category.displayName)] {
                    const QString chosen =
                        m_context.port.folderName(QStringLiteral("Select a folder: ") + caption,
                                                  m_context.state.setup.imageFolderBoxes[row]);
                    if (!chosen.isEmpty()) {
                        m_context.state.setup.imageFolderBoxes[row] = chosen;
                        applyState();
                    }
                });
        grid->addWidget(pick, line, 2);
        m_boxes[row] = box;
        ++line;
    }
    grid->setColumnStretch(1, 1);
    return tab;
}

void ImagesFoldersPanel::chooseTab(int tab) {
    AppState& state = m_context.state;
    if (tab == state.wizard.imagesTab) {
        return;
    }
    const int previous = state.wizard.imagesTab;
    state.wizard.imagesTab = tab;
    m_tabs->setCurrentIndex(tab);
    QPushButton* chosen = m_tabButtons[tab];
    QPushButton* other = m_tabButtons[previous];
    chosen->setGeometry(chosen->x(), chosen->y() - 2, chosen->width(), chosen->height() + 2);
    other->setGeometry(other->x(), other->y() + 2, other->width(), other->height() - 2);
    setBold(chosen, true);
    setBold(other, false);
}

void ImagesFoldersPanel::applyState() {
    for (int row = 0; row < kImageCategoryCount; ++row) {
        setEditText(m_boxes[row], m_context.state.setup.imageFolderBoxes[row]);
    }
}

QWidget* ImagesFoldersPanel::firstBox() const {
    for (QLineEdit* box : m_boxes) {
        if (m_tabs->currentWidget()->isAncestorOf(box)) {
            return box;
        }
    }
    return nullptr;
}
