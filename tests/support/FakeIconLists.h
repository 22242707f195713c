#pragma once

#include "search/ListIcons.h"

// Counts the loads of the image lists it stands in for.
class FakeIconLists final : public IconLists {
public:
    int loads = 0;
    void LoadListIcons() override { ++loads; }
};
