#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "U_AutomateHelper.h"
#include "platform/grid/GridView.h"

namespace {

// A grid with events, as the widget grid is.
class EventGrid : public QObject, public grid::GridView {
public:
    EventGrid() : grid::GridView(grid::GridKind::Eh) { setObjectName(QStringLiteral("DBGrid1")); }
    QString gridName() const override { return objectName(); }
    QString formName() const override { return QStringLiteral("BookForm"); }
    int events = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) ++events;
        return QObject::event(e);
    }
};

class PlainGrid : public grid::GridView {
public:
    PlainGrid() : grid::GridView(grid::GridKind::Eh) {}
    QString gridName() const override { return QStringLiteral("g"); }
    QString formName() const override { return QString(); }
};

TEST(GridMessageHandlerTest, StandsInFrontOfTheGridAndPassesEverythingOn) {
    EventGrid grid;
    {
        GridMessageHandler handler(&grid);
        EXPECT_EQ(handler.grid(), &grid);
        EXPECT_TRUE(handler.selectedField().isEmpty());
        EXPECT_TRUE(handler.hooked());
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(&grid, &e);
        EXPECT_EQ(grid.events, 1);
    }
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&grid, &e);
    EXPECT_EQ(grid.events, 2);
}

TEST(GridMessageHandlerTest, GridsWithoutEventsAndGridsGoneFirst) {
    PlainGrid plain;
    GridMessageHandler none(&plain);
    EXPECT_FALSE(none.hooked());

    auto grid = std::make_unique<EventGrid>();
    GridMessageHandler handler(grid.get());
    grid.reset();
    EXPECT_FALSE(handler.hooked());  // and its destruction has nothing to give back
}

}  // namespace
