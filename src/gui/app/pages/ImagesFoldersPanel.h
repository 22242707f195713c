#pragma once

#include "PageContext.h"

#include <array>

class QLineEdit;
class QPushButton;
class QStackedWidget;

// The overlay of page 2: seventeen image folder boxes on two tabs.
class ImagesFoldersPanel final : public StatePage {
public:
    ImagesFoldersPanel(PageContext& context, QWidget* parent);
    void applyState() override;
    QWidget* firstBox() const override;
    void chooseTab(int tab);

private:
    QWidget* makeTab(const QString& name, std::initializer_list<int> rows);

    std::array<QLineEdit*, 17> m_boxes{};
    std::array<QPushButton*, 2> m_tabButtons{};
    QStackedWidget* m_tabs = nullptr;
};
