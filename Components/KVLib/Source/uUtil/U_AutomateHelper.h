#pragma once
// The automation hook of one sort-marker grid, for tools that drive the program from outside its own
// user interface. Here it is the scoped object the windows hold: made on a grid (not owned), it puts
// its handler in front of the grid's own event handling and takes it away again when it is destroyed,
// so the grid answers as a plain grid once more. Every event still reaches the grid unchanged; the
// answers to the automation requests (reading and writing the current row's fields, moving between
// records, the editing operations) belong to the grid text answering of the application shell.
//
// Owners keep it in an owning pointer and destroy it before the grid; a grid destroyed first is
// noticed, and the handler then has nothing to give back.

#include <QString>
#include <memory>

namespace grid {
class GridView;
}

class GridMessageHandler {
public:
    explicit GridMessageHandler(grid::GridView* grid);
    ~GridMessageHandler();
    GridMessageHandler(const GridMessageHandler&) = delete;
    GridMessageHandler& operator=(const GridMessageHandler&) = delete;

    grid::GridView* grid() const { return grid_; }
    // The field chosen by the select-field request; empty at construction.
    const QString& selectedField() const { return selectedField_; }
    // Whether the handler stands in front of the grid's event handling (a grid without events, or one
    // already destroyed, has none).
    bool hooked() const;

private:
    class Hook;
    grid::GridView* grid_;
    QString selectedField_;
    std::unique_ptr<Hook> hook_;
};
