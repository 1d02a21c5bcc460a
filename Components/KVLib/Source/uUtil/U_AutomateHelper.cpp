#include "U_AutomateHelper.h"

#include <QObject>
#include <QPointer>

#include "platform/grid/GridView.h"

// Stands in front of the grid's own event handling for as long as it lives; destroying it takes it
// off the grid.
class GridMessageHandler::Hook : public QObject {
public:
    explicit Hook(QObject* target) : target_(target) { target->installEventFilter(this); }
    ~Hook() override {
        if (target_) target_->removeEventFilter(this);
    }
    bool hooked() const { return !target_.isNull(); }

protected:
    // Every event goes on to the grid.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    QPointer<QObject> target_;
};

GridMessageHandler::GridMessageHandler(grid::GridView* grid) : grid_(grid) {
    // The widget grids are objects with events; a grid without them has nothing to hook.
    if (auto* object = dynamic_cast<QObject*>(grid)) hook_ = std::make_unique<Hook>(object);
}

GridMessageHandler::~GridMessageHandler() = default;

bool GridMessageHandler::hooked() const {
    return hook_ && hook_->hooked();
}
