#include "SetupPages.h"

#include "Widgets.h"
#include "app/AppState.h"
#include "app/LinkLabel.h"
#include "app/QtDialogPort.h"
#include "app/Wizard.h"
#include "app/dialogs/TFormPreview.h"
#include "search/ImageLists.h"
#include "search/ListLook.h"

#include "catalog/FileTypes.h"
#include "common/DialogPort.h"
#include "common/FileDialog.h"
#include "common/FileOps.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

LinkLabel* makeLink(const QString& name, const QString& caption, const QString& address, PageContext& context,
                    QWidget* parent) {
    auto* link = new LinkLabel(name, caption, address, parent);
    QObject::connect(link, &LinkLabel::activated, parent,
                     [&context](const QString& target) { context.wizard.openAddress(target); });
    return link;
}

QVBoxLayout* pageLayout(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(6);
    return layout;
}

}  // namespace

WelcomePage::WelcomePage(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("WelcomePage"), context, parent) {
    auto* layout = pageLayout(this);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("LogoImage"));
    logo->setPixmap(QPixmap(QStringLiteral(":/MyJPEG")));
    logo->setAlignment(Qt::AlignCenter);
    layout->addWidget(logo);
    layout->addWidget(
        makeLabel(QStringLiteral("LabelWelcomeMessage"),
                  QStringLiteral("    Welcome to Kestrum. This program can help you remove or rename "
                                 "unwanted MAME ROMs, their config files (.cfg; .ini; nvram) and "
                                 "snapshots.\r\nKestrum keeps your collection tidy, one work list at a "
                                 "time.\r\n    Click START to begin the wizard that will help you clean "
                                 "up your MAME files."),
                  this, true));
    layout->addStretch();
    auto* docs =
        makeButton(QStringLiteral("ButtonViewDocs"), QStringLiteral("View Kestrum documentation"), this);
    connect(docs, &QPushButton::clicked, this, [this] { m_context.wizard.viewDocumentation(); });
    auto* row = new QHBoxLayout;
    row->addWidget(docs);
    row->addStretch();
    row->addWidget(makeLink(QStringLiteral("LinkMAMEHomePage"),
                            QStringLiteral("MAME: the emulator's home page"),
                            QStringLiteral("https://www.mamedev.org/"), context, this));
    row->addWidget(makeLink(QStringLiteral("LinkProgettoSnaps"),
                            QStringLiteral("Category files and image packs"),
                            QStringLiteral("https://www.progettosnaps.net/"), context, this));
    layout->addLayout(row);
}

SetupEmulatorPage::SetupEmulatorPage(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("SetupEmulatorPage"), context, parent) {
    auto* layout = pageLayout(this);
    layout->addWidget(makeLabel(
        QStringLiteral("LabelSelectEmulatorCategoryTitle"),
        QStringLiteral(
            "    Select a MAME executable and a categories file to continue. Only filenames with full path "
            "are valid. Kestrum will read folders settings from \"mame.ini\", \"hbmame.ini\" or "
            "\"ume.ini\" file, depending on the emulator being used (ROMs; ini; cfg; nvram; snap).\r\n"
            "Folders settings of image categories will be read from \"ui.ini\" file, if available (MAME "
            "v0.172 or newer).\r\n    You can select a .ini file to filter non-arcade machines from the "
            "list. This file is optinal and you need MAME v0.169 minimum."),
        this, true));
    layout->addSpacing(6);

    struct Row {
        const char* label;
        const char* edit;
        const char* button;
        const char* dialogTitle;
        FileKind kind;
        QString SetupChoices::*field;
    };
    const Row rows[] = {
        {"MAME Executable File [MAME, HBMAME, UME]", "MAMEExecutableFile", "ButtonSelectMAMEExecutableFile",
         "Select an Emulator Executable", FileKind::Executable, &SetupChoices::mameExecutableFile},
        {"Category File [catver.ini / category.ini]", "CategoryFile", "ButtonSelectCategoryFile",
         "Select a Categories File (catver.ini or category.ini)", FileKind::Ini, &SetupChoices::categoryFile},
        {"Non-Arcade Machines File [mess.ini]", "NonArcadeMachineFile", "ButtonSelectNonArcadeMachineFile",
         "Select a Non-Arcade List File (mess.ini)", FileKind::Ini, &SetupChoices::nonArcadeMachineFile},
    };
    QLineEdit* edits[3] = {};
    int index = 0;
    for (const Row& row : rows) {
        layout->addWidget(
            makeLabel(QStringLiteral("Label") + QLatin1String(row.edit), QLatin1String(row.label), this));
        auto* line = new QHBoxLayout;
        QLineEdit* edit = makeEdit(QLatin1String(row.edit), this);
        QPushButton* select = makeButton(QLatin1String(row.button), QStringLiteral("Select"), this,
                                         QStringLiteral("Click here to select a file"));
        const auto field = row.field;
        connect(edit, &QLineEdit::textEdited, this,
                [this, field](const QString& text) { m_context.state.setup.*field = text; });
        const QString title = QLatin1String(row.dialogTitle);
        const FileKind kind = row.kind;
        connect(select, &QPushButton::clicked, this, [this, field, title, kind, edit] {
            SetupChoices& setup = m_context.state.setup;
            PickFile(m_context.port, kind, title, folderOfPath(setup.*field), FileDialogMode::Open,
                     setup.ProgramFolder, &(setup.*field));
            setEditText(edit, setup.*field);
        });
        line->addWidget(edit);
        line->addWidget(select);
        layout->addLayout(line);
        edits[index++] = edit;
    }
    m_emulator = edits[0];
    m_categories = edits[1];
    m_nonArcade = edits[2];

    m_rebuild = makeCheckBox(QStringLiteral("RebuildGamesList"), QStringLiteral("Rebuild games list"), this);
    m_rebuild->setToolTip(QStringLiteral("Delete current games list and createa new one"));
    connect(m_rebuild, &QCheckBox::toggled, this, [this](bool checked) {
        m_context.state.setup.rebuildGamesListChecked = checked;
        setBold(m_rebuild, checked);
    });
    layout->addWidget(m_rebuild);
    layout->addStretch();
    auto* links = new QHBoxLayout;
    links->addWidget(makeLink(QStringLiteral("LinkDownloadMAME"), QStringLiteral("Download MAME"),
                              QStringLiteral("https://www.mamedev.org/release.html"), context, this));
    links->addWidget(makeLink(QStringLiteral("LinkDownloadCategories"),
                              QStringLiteral("Download catver.ini / category.ini"),
                              QStringLiteral("https://www.progettosnaps.net/catver/"), context, this));
    links->addWidget(makeLink(QStringLiteral("LinkDownloadNonArcade"), QStringLiteral("Download mess.ini"),
                              QStringLiteral("https://www.progettosnaps.net/"), context, this));
    links->addStretch();
    layout->addLayout(links);
}

void SetupEmulatorPage::applyState() {
    const AppState& state = m_context.state;
    setEditText(m_emulator, state.setup.mameExecutableFile);
    setEditText(m_categories, state.setup.categoryFile);
    setEditText(m_nonArcade, state.setup.nonArcadeMachineFile);
    m_rebuild->setVisible(state.setup.rebuildGamesListVisible);
    setChecked(m_rebuild, state.setup.rebuildGamesListChecked);
    setBold(m_rebuild, state.setup.rebuildGamesListChecked);
}

FileTypesPage::FileTypesPage(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("FileTypesPage"), context, parent) {
    auto* layout = pageLayout(this);
    layout->addWidget(makeLabel(
        QStringLiteral("LabelSelectFileTypeTitle"),
        QStringLiteral(
            "    Kestrum can process multiple files at once. You can delete/rename/move/restore all files "
            "for a game in one pass: ROMs, configuration files and images (.cfg; .ini and nvram can only "
            "be deleted). CHD files are not included."),
        this, true));
    layout->addWidget(makeLabel(QStringLiteral("LabelSelectFileTypes"),
                                QStringLiteral("Select the file types you want to work with"), this));
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    for (int type = 0; type < kFileTypeCount; ++type) {
        const FileTypeInfo& info = FileTypeTable[type];
        QCheckBox* box = makeCheckBox(QLatin1String(info.checkBoxName), QLatin1String(info.caption), this);
        connect(box, &QCheckBox::toggled, this,
                [this, type](bool checked) { m_context.state.setup.fileTypeChecked[type] = checked; });
        m_boxes[type] = box;
        // The four game file types head the first column; the images follow and fill the second.
        const int slot = type < kFirstImageType ? type : type + 1;
        grid->addWidget(box, slot % 11, slot / 11);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    auto* selectAll =
        makeButton(QStringLiteral("ButtonSelectAllImageCategories"), QStringLiteral("Select All"), this);
    auto* clearAll =
        makeButton(QStringLiteral("ButtonClearAllImageCategories"), QStringLiteral("Clear All"), this);
    auto setImages = [this](bool checked) {
        for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
            m_context.state.setup.fileTypeChecked[type] = checked;
        }
        applyState();
    };
    connect(selectAll, &QPushButton::clicked, this, [setImages] { setImages(true); });
    connect(clearAll, &QPushButton::clicked, this, [setImages] { setImages(false); });
    buttons->addStretch();
    buttons->addWidget(selectAll);
    buttons->addWidget(clearAll);
    layout->addLayout(buttons);
    layout->addStretch();
}

void FileTypesPage::applyState() {
    for (int type = 0; type < kFileTypeCount; ++type) {
        setChecked(m_boxes[type], m_context.state.setup.fileTypeChecked[type]);
    }
}

OperationPage::OperationPage(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("OperationPage"), context, parent) {
    auto* layout = pageLayout(this);
    layout->setSpacing(3);
    layout->addWidget(makeLabel(
        QStringLiteral("LabelSelectActionTitle"),
        QStringLiteral(
            "    Here you can choose what you want Kestrum to do. There are five options:\r\n\r\n1. Delete "
            "Files: "
            "Select this option if you want to delete files from your collection (no recycled bin support). "
            "You will "
            "be unable to recover files after this procedure.\r\n\r\n2. Rename Files: Select this option if "
            "you want "
            "to rename files for safe keeping or to undo this action later. Existing files will be "
            "overwritten "
            "without warning.\r\n\r\n3. Restore Files: Select this option if you want to restore previously "
            "renamed "
            "files. Existing files will be overwritten without warning.\r\n\r\n4. Delete Renamed Files: "
            "Select this "
            "option if you want to permanently delete renamed files (no recycle bin support). You cannot "
            "undo this "
            "procedure.\r\n\r\n5. Move Files: Select this option if you want to move your games files/ROMs "
            "to "
            "another folder. Config files and images files will not be processed. Existing files will be "
            "overwritten without warning."),
        this, true));
    layout->addSpacing(6);
    layout->addWidget(
        makeLabel(QStringLiteral("LabelSelectAction"), QStringLiteral("Select the desired action"), this));
    struct Choice {
        const char* label;
        const char* button;
        const char* caption;
    };
    const Choice choices[kOperationCount] = {
        {"Delete Files:", "ActionDeleteFiles", "Delete Files [cannot be undone]"},
        {"Rename Files:", "ActionRenameFiles", "Rename Files [can be recovered later]"},
        {"Restore Files:", "ActionRestoreFiles", "Restore Files [restore previously renamed files]"},
        {"Delete Renamed Files:", "ActionDeleteRenamedFiles",
         "Delete Renamed Files [delete previously renamed files]"},
        {"Move Files:", "ActionMoveFiles", "Move Files [only game ROMs files, cannot be undone]"},
    };
    m_operations = new QButtonGroup(this);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    for (int i = 0; i < kOperationCount; ++i) {
        grid->addWidget(
            makeLabel(QStringLiteral("LabelAction%1").arg(i), QLatin1String(choices[i].label), this), i, 0);
        auto* radio = new QRadioButton(QLatin1String(choices[i].caption), this);
        radio->setObjectName(QLatin1String(choices[i].button));
        m_operations->addButton(radio, i);
        grid->addWidget(radio, i, 1);
    }
    grid->setColumnStretch(1, 1);
    connect(m_operations, &QButtonGroup::idClicked, this,
            [this](int id) { m_context.wizard.selectOperation(static_cast<OperationMode>(id)); });
    layout->addLayout(grid);

    auto* move = new QHBoxLayout;
    m_destination = makeEdit(QStringLiteral("MoveFilesToFolder"), this);
    connect(m_destination, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_context.state.setup.moveFilesToFolder = text; });
    auto* pick = makeButton(QStringLiteral("ButtonSelectFolderMoveFilesToFolder"), QStringLiteral("Select"),
                            this, QStringLiteral("Click here to select a destination folder"));
    connect(pick, &QPushButton::clicked, this, [this] {
        const QString chosen =
            m_context.port.folderName(QStringLiteral("Select a folder: Move Games/ROMs Files"),
                                      m_context.state.setup.moveFilesToFolder);
        if (!chosen.isEmpty()) {
            m_context.state.setup.moveFilesToFolder = chosen;
            applyState();
        }
    });
    move->addWidget(m_destination);
    move->addWidget(pick);
    layout->addLayout(move);
    m_quickScan = makeCheckBox(QStringLiteral("ScanGameFilesQuickScan"),
                               QStringLiteral("Scan Game Files (Quick Scan)"), this);
    m_quickScan->setToolTip(QStringLiteral("Search game name files for proper available/missing filtering"));
    connect(m_quickScan, &QCheckBox::toggled, this,
            [this](bool checked) { m_context.state.setup.scanGameFilesQuickScan = checked; });
    m_trash = makeCheckBox(QStringLiteral("MoveDeletedFilesToTrash"),
                           QStringLiteral("Move deleted files to the trash"), this);
    m_trash->setToolTip(
        QStringLiteral("Delete Files and Delete Renamed Files put files in the desktop's "
                       "trash, from where they can be restored"));
    connect(m_trash, &QCheckBox::toggled, this,
            [this](bool checked) { m_context.state.setup.moveDeletedFilesToTrash = checked; });
    layout->addWidget(m_quickScan);
    layout->addWidget(m_trash);
    layout->addStretch();
}

void OperationPage::applyState() {
    const AppState& state = m_context.state;
    if (QAbstractButton* chosen = m_operations->button(int(state.setup.operation))) {
        setChecked(chosen, true);
    }
    setEditText(m_destination, state.setup.moveFilesToFolder);
    setChecked(m_quickScan, state.setup.scanGameFilesQuickScan);
    setChecked(m_trash, state.setup.moveDeletedFilesToTrash);
}

FinishPage::FinishPage(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("FinishPage"), context, parent) {
    auto* layout = pageLayout(this);
    m_title = makeLabel(QStringLiteral("LabelFinishWizardTitle"), QString(), this, true);
    // A wrapped label above a stretching list gets too little height from the layout: keep three lines.
    m_title->setMinimumHeight(m_title->fontMetrics().lineSpacing() * 3 + 4);
    layout->addWidget(m_title);
    m_trash = makeLabel(QStringLiteral("LabelDeletesGoToTrash"),
                        QStringLiteral("Deleted files and archive entries go to the desktop's trash."), this);
    layout->addWidget(m_trash);
    m_neededCaption = makeLabel(QStringLiteral("LabelNeededSets"), QString(), this, true);
    layout->addWidget(m_neededCaption);
    m_neededSets = new QListWidget(this);
    m_neededSets->setObjectName(QStringLiteral("NeededSetsList"));
    layout->addWidget(m_neededSets);
    m_searchPatterns =
        makeLabel(QStringLiteral("LabelSearchPatterns"), QStringLiteral("Search Folders"), this);
    setBold(m_searchPatterns, true);
    layout->addWidget(m_searchPatterns);
    m_folders = new QTreeWidget(this);
    m_folders->setObjectName(QStringLiteral("FoldersSettings"));
    m_folders->setHeaderLabels({QStringLiteral("Folder Type"), QStringLiteral("Folder Text")});
    m_folders->setRootIsDecorated(false);
    m_folders->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_folders->header()->setSectionsMovable(false);
    m_folders->header()->resizeSection(0, 180);
    m_folders->header()->resizeSection(1, 517);
    applySelectionColours(m_folders)->setRowHeight(22);
    layout->addWidget(m_folders, 1);
    auto* foot = new QHBoxLayout;
    foot->addWidget(makeLabel(QStringLiteral("LabelFinishWizardFootNote"),
                              QStringLiteral("Click on \"Finish\" button to start processing files"), this));
    foot->addStretch();
    QPushButton* preview = makeButton(QStringLiteral("ButtonPreview"), QStringLiteral("Preview"), this,
                                      QStringLiteral("Show every file this job would change"));
    connect(preview, &QPushButton::clicked, this, [this] {
        if (!m_context.wizard.stepRunning()) {
            showJobPreview(m_context.state, m_context.port, window());
        }
    });
    foot->addWidget(preview);
    layout->addLayout(foot);
}

void FinishPage::applyState() {
    m_title->setText(QtDialogPort::displayText(m_context.state.texts.finishWizardTitle));
    m_trash->setVisible(m_context.state.texts.deletesGoToTrash);
    applyNeededSets();
    m_searchPatterns->setText(m_context.state.texts.searchPatternsCaption);
    const QList<SearchFolderRow>& rows = m_context.state.texts.searchFolders;
    if (rows == m_shownFolders) {
        return;
    }
    m_shownFolders = rows;
    m_folders->clear();
    QFont typeFont = m_folders->font();
    typeFont.setBold(true);
    typeFont.setItalic(true);
    const QIcon archive(m_context.icons.gamesIcon("file_zip"));
    for (const SearchFolderRow& row : rows) {
        auto* item = new QTreeWidgetItem(m_folders, {row.type, row.folder});
        item->setFont(0, typeFont);
        item->setForeground(0, QColor(0, 0, 128));
        if (row.archive) {
            item->setIcon(1, archive);  // the category's archive is there too
        }
    }
}

void FinishPage::applyNeededSets() {
    const WindowTexts& texts = m_context.state.texts;
    const NeededSets& needed = texts.neededSets;
    QString caption;
    if (texts.dependencyCheckUnavailable) {
        caption = QStringLiteral("Dependency check unavailable: rebuild the games list to enable it.");
    } else if (!needed.sets.isEmpty()) {
        caption = QStringLiteral(
                      "Sets other games need: %1 games that are not in the Work List need sets this "
                      "job will change.")
                      .arg(needed.games);
    }
    m_neededCaption->setText(caption);
    m_neededCaption->setStyleSheet(needed.sets.isEmpty() ? QString() : QStringLiteral("color: #a00000;"));
    m_neededCaption->setVisible(!caption.isEmpty());
    QStringList lines;
    for (const NeededSet& set : needed.sets) {
        lines.append(neededSetText(set));
    }
    if (lines != m_shownSets) {
        m_shownSets = lines;
        m_neededSets->clear();
        m_neededSets->addItems(lines);
        // As tall as its lines, up to five: the folders list keeps the rest of the page.
        const int rows = int(std::min<qsizetype>(lines.size(), 5));
        m_neededSets->setFixedHeight(rows * std::max(m_neededSets->sizeHintForRow(0), 1) +
                                     2 * m_neededSets->frameWidth());
    }
    m_neededSets->setVisible(!lines.isEmpty());
}

QWidget* SetupEmulatorPage::firstBox() const {
    return m_emulator;
}

QWidget* FileTypesPage::firstBox() const {
    return m_boxes[0];
}

QWidget* OperationPage::firstBox() const {
    return m_operations->checkedButton();
}
