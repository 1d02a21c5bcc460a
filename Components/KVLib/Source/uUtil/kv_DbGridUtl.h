#pragma once
// Operations every window with a grid uses: re-sorting the query behind a grid by its sort markers,
// the keys of the selected rows, finding a column by field name, and keeping grid layouts in the
// per-user interface file between runs.

#include <QString>
#include <set>

#include "platform/grid/GridView.h"

class QObject;

namespace utl {

class DbGridUtl {
public:
    // Rewrites the order of the grid's query from its sort markers and reopens it on the same row.
    static void sortQueryByMarkers(grid::GridView& grid, const QString& keyField);
    // Keys of the selected rows (the current row's when none is selected).
    static std::set<int> getSelectedIds(grid::GridView& grid, const QString& keyField);
    // "(k1,k2,...)" in selection order; the set receives the keys too.
    static QString getSelectedIdsText(grid::GridView& grid, std::set<int>& ids, const QString& keyField);
    // The first column of that field, without regard to letter case; null when none.
    static grid::Column* findColumnEh(grid::GridView& grid, const QString& fieldName);
    static grid::Column* findColumn(grid::GridView& grid, const QString& fieldName);

    static void saveGridLayout(grid::GridView& grid, const QString& suffix, const QString& iniFile);
    // Never fails: a layout that cannot be restored marks the grid, and its next save erases it.
    static void restoreGridLayout(grid::GridView& grid, const QString& suffix, const QString& iniFile);
    static void markLayoutFailed(grid::GridView& grid);
    // Every sort-marker grid of the form and of its frames, at any depth, in creation order.
    static void saveFormGridsLayout(QObject* form, const QString& suffix, const QString& iniFile);
    static void restoreFormGridsLayout(QObject* form, const QString& suffix, const QString& iniFile);
};

}  // namespace utl
