#include <gtest/gtest.h>

#include <QDialog>
#include <QMainWindow>
#include <memory>

#include "kv_ModalMinimize.h"

namespace {

constexpr Qt::WindowFlags kWithMinimize =
    Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
constexpr Qt::WindowFlags kWithoutMinimize = Qt::Dialog | Qt::WindowCloseButtonHint;

std::unique_ptr<QDialog> dialog(QWidget* owner, Qt::WindowFlags flags, bool modal, bool shown) {
    auto d = std::make_unique<QDialog>(owner, flags);
    if (modal) d->setWindowModality(Qt::ApplicationModal);
    if (shown) d->show();
    return d;
}

TEST(ModalMinimizeTest, MinimizingTheDialogMinimizesTheApplication) {
    QMainWindow main;
    main.show();
    const std::size_t before = utl::modalFormMinimizeHookCount();
    auto d = dialog(&main, kWithMinimize, true, true);
    utl::hookModalFormMinimize(d.get());
    utl::hookModalFormMinimize(d.get());
    EXPECT_TRUE(utl::isModalFormMinimizeHooked(d.get()));
    EXPECT_EQ(utl::modalFormMinimizeHookCount(), before + 1);

    d->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(d->isMinimized());
    EXPECT_TRUE(main.isMinimized());

    const QWidget* gone = d.get();
    d.reset();
    EXPECT_FALSE(utl::isModalFormMinimizeHooked(gone));
    EXPECT_EQ(utl::modalFormMinimizeHookCount(), before);
}

TEST(ModalMinimizeTest, OnlyShownModalDialogsWithTheButtonAreHooked) {
    struct Case {
        const char* name;
        Qt::WindowFlags flags;
        bool modal, shown;
    };
    const Case cases[] = {
        {"no minimize button", kWithoutMinimize, true, true},
        {"not modal", kWithMinimize, false, true},
        {"not shown yet (constructor)", kWithMinimize, true, false},
    };
    const std::size_t before = utl::modalFormMinimizeHookCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto d = dialog(nullptr, c.flags, c.modal, c.shown);
        utl::hookModalFormMinimize(d.get());
        EXPECT_FALSE(utl::isModalFormMinimizeHooked(d.get()));
        EXPECT_EQ(utl::modalFormMinimizeHookCount(), before);
    }
    utl::hookModalFormMinimize(nullptr);
}

}  // namespace
