#pragma once
// Small helpers of the forms: the storage name of a grid's layout and the hourglass guard.

#include <QString>

namespace grid {
class GridView;
}

namespace utl {

// The nearest owning form's name (empty when none), "_" and the grid's own name.
QString getGridPath(const grid::GridView& grid);

// Shows the hourglass for one scope and puts the cursor of before back; guards nest.
class AutoScreenCursor {
public:
    AutoScreenCursor();
    ~AutoScreenCursor();
    AutoScreenCursor(const AutoScreenCursor&) = delete;
    AutoScreenCursor& operator=(const AutoScreenCursor&) = delete;
};

}  // namespace utl
