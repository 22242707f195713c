#pragma once

#include "PageContext.h"
#include "processing/SearchFolders.h"

#include <array>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;

// Page 0: logo, welcome text, documentation button and links.
class WelcomePage final : public StatePage {
public:
    WelcomePage(PageContext& context, QWidget* parent);
    void applyState() override {}
};

// Page 1: the emulator, category and non-arcade files.
class SetupEmulatorPage final : public StatePage {
public:
    SetupEmulatorPage(PageContext& context, QWidget* parent);
    void applyState() override;
    QWidget* firstBox() const override;

private:
    QLineEdit* m_emulator;
    QLineEdit* m_categories;
    QLineEdit* m_nonArcade;
    QCheckBox* m_rebuild;
};

// Page 3: the twenty-one file type check boxes.
class FileTypesPage final : public StatePage {
public:
    FileTypesPage(PageContext& context, QWidget* parent);
    void applyState() override;
    QWidget* firstBox() const override;

private:
    std::array<QCheckBox*, 21> m_boxes{};
};

// Page 4: the operation, the Move Files destination and the quick scan.
class OperationPage final : public StatePage {
public:
    OperationPage(PageContext& context, QWidget* parent);
    void applyState() override;
    QWidget* firstBox() const override;

private:
    QButtonGroup* m_operations;
    QLineEdit* m_destination;
    QCheckBox* m_quickScan;
    QCheckBox* m_trash;
};

// Page 6: what FINISH will do, the sets other games need, and the folders it will search.
class FinishPage final : public StatePage {
public:
    FinishPage(PageContext& context, QWidget* parent);
    void applyState() override;

private:
    void applyNeededSets();

    QLabel* m_title;
    QLabel* m_trash;
    QLabel* m_neededCaption;
    QListWidget* m_neededSets;
    QStringList m_shownSets;
    QLabel* m_searchPatterns;
    QTreeWidget* m_folders;
    QList<SearchFolderRow> m_shownFolders;
};
