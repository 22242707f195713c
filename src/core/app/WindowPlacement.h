#pragma once

// Where the main window and its page area sit; pure arithmetic so it is tested without a screen.
constexpr int kPageAreaWidth = 750;
constexpr int kPageAreaHeight = 467;

struct Placement {
    int left = 0;
    int top = 0;
    bool operator==(const Placement&) const = default;
};

// The page area centred in the client area between the top and bottom bars.
inline Placement centredPageArea(int clientWidth, int clientHeight, int topBarHeight, int bottomBarHeight) {
    const int horizontal = (clientWidth - kPageAreaWidth - 2) / 2;
    const int spare = clientHeight - topBarHeight - bottomBarHeight - kPageAreaHeight;
    return {horizontal > 0 ? horizontal : 1, topBarHeight + (spare > 0 ? spare / 2 : spare)};
}

// A window centred on the screen, each quotient rounded toward zero.
inline Placement centredWindow(int screenWidth, int screenHeight, int width, int height) {
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}
