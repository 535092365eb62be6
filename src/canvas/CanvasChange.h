#pragma once
// What a change to the canvas model touched, so the view repaints only that.

struct CanvasChange {
    enum Kind : unsigned {
        Labels = 1,
        Shapes = 2,
        Selection = 4,
        Pages = 8,
        Settings = 16,
        All = 31
    };
    unsigned kinds = All;
    int page = -1;  // 0-based page touched; -1 = every page
};
