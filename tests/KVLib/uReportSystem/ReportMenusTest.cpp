// The menus of an event's templates and the popup of a list of events, on real Qt menus.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "ReportSystemFixture.h"
#include "kv_ReportMenus.h"
#include "tests/support/ErrorText.h"

namespace {

using ReportSys::ReportTemplate;
using rstest::TestEvent;

class Menus : public rstest::ReportSystemTest {
protected:
    // An event whose templates are active as the flags say, in this order.
    TestEvent* eventWith(const QString& code, const QString& name,
                         const std::vector<std::pair<QString, bool>>& files) {
        for (const auto& [file, active] : files) putTemplate(code, file, QStringLiteral("[[COMMON@NUM]]"));
        TestEvent* event = add(code, name, {"COMMON"});
        for (int i = 0; i < event->getTemplatesCount(); ++i) {
            ReportTemplate* t = event->getTemplate(i);
            for (const auto& [file, active] : files)
                if (t->getFileName() == file) t->setActive(active);
        }
        return event;
    }
    // Fills the event of the template as a window would.
    ReportSys::InitParamsCallback filler() {
        return [this](ReportTemplate* t) {
            filledBy_.push_back(t);
            t->getEvent()->getParams().clear();
            t->getEvent()->getParamGroup("COMMON")->addParam("NUM", QStringLiteral("К-1"));
        };
    }
    static QStringList texts(const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions()) out << a->text();
        return out;
    }
    std::vector<ReportTemplate*> filledBy_;
};

TEST_F(Menus, ModeZeroPutsASubmenuOfTheActiveTemplatesOnTop) {
    TestEvent* open = eventWith("CNTR_OPEN", "Открытие договора",
                                {{"Договор.rtf", true}, {"Акт.rtf", false}, {"Расписка.rtf", true}});
    QMenu reports(QStringLiteral("Отчёты"));
    reports.addAction(QStringLiteral("Настройка документов"));
    open->addToMenu(&reports, filler(), 0);
    ASSERT_EQ(reports.actions().size(), 2);
    QMenu* sub = reports.actions()[0]->menu<QMenu*>();
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->title(), QStringLiteral("Открытие договора"));
    EXPECT_EQ(sub->objectName(), "CNTR_OPEN");
    QStringList active;
    for (int i = 0; i < open->getTemplatesCount(); ++i)
        if (open->getTemplate(i)->isActive()) active << open->getTemplate(i)->getName();
    EXPECT_EQ(texts(sub), active);
    EXPECT_EQ(active.size(), 2);

    // Rebuilt: the old submenu is replaced, not doubled.
    QPointer<QMenu> old = sub;
    open->addToMenu(&reports, filler(), 0);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(reports.actions().size(), 2);

    // A click fills the event through the window's callback and opens the document.
    reports.actions()[0]->menu<QMenu*>()->actions()[0]->trigger();
    ASSERT_EQ(filledBy_.size(), 1u);
    EXPECT_EQ(filledBy_[0]->getName(), active[0]);
    EXPECT_EQ(opened_.size(), 1);

    // Every template switched off: the event loses its submenu.
    for (int i = 0; i < open->getTemplatesCount(); ++i) open->getTemplate(i)->setActive(false);
    open->addToMenu(&reports, filler(), 0);
    EXPECT_EQ(texts(&reports), QStringList{QStringLiteral("Настройка документов")});
}

TEST_F(Menus, ModesOneAndTwoFillTheParentItself) {
    TestEvent* open = eventWith("CNTR_OPEN", "Открытие договора", {{"Договор.rtf", true}});
    QMenu menu;
    menu.addAction(QStringLiteral("старый пункт"));
    open->addToMenu(&menu, filler(), 2);
    EXPECT_EQ(texts(&menu), (QStringList{QStringLiteral("старый пункт"), QStringLiteral("Договор")}));
    open->addToMenu(&menu, filler(), 1);
    EXPECT_EQ(texts(&menu), QStringList{QStringLiteral("Договор")});
}

TEST_F(Menus, OneActiveTemplatePrintsAtOnceMoreOpenThePopup) {
    eventWith("CNTR_OPEN", "Открытие договора", {{"Договор.rtf", true}, {"Акт.rtf", false}});
    eventWith("PKO", "Приходный ордер", {{"ПКО.rtf", false}});
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Печать"), &window);
    button->setGeometry(40, 30, 120, 28);
    window.resize(300, 200);
    window.show();
    QMenu popup;

    sys().showReportsMenu({"CNTR_OPEN", "PKO"}, filler(), &popup, button);
    ASSERT_EQ(filledBy_.size(), 1u);
    EXPECT_EQ(filledBy_[0]->getName(), QStringLiteral("Договор"));
    EXPECT_EQ(opened_.size(), 1);
    EXPECT_FALSE(popup.isVisible());

    // Nothing active at all: nothing happens.
    sys().showReportsMenu({"PKO"}, filler(), &popup, button);
    EXPECT_EQ(filledBy_.size(), 1u);
    EXPECT_FALSE(popup.isVisible());

    // Two active templates over two events: the popup, one group of items per event.
    sys().getEventByCode("PKO")->getTemplate(0)->setActive(true);
    popup.addAction(QStringLiteral("прежний пункт"));
    sys().showReportsMenu({"CNTR_OPEN", "PKO"}, filler(), &popup, button);
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(texts(&popup), (QStringList{QStringLiteral("Договор"), QStringLiteral("ПКО")}));
    const QPoint corner = button->mapToGlobal(QPoint(0, 0)) + QPoint(-1, button->height());
    EXPECT_EQ(popup.pos(), corner);
    popup.actions()[1]->trigger();
    ASSERT_EQ(filledBy_.size(), 2u);
    EXPECT_EQ(filledBy_[1]->getName(), QStringLiteral("ПКО"));
    popup.hide();

    EXPECT_EQ(tolvtest::errorText([&] { sys().showReportsMenu({"NOPE"}, filler(), &popup, button); }),
              QStringLiteral("Событие с кодом \"NOPE\" не содержится в системе."));
}

TEST_F(Menus, AMenuWhoseWindowSetNoCallbackReportsTheTemplate) {
    TestEvent* open = eventWith("CNTR_OPEN", "Открытие договора", {{"Договор.rtf", true}});
    QMenu menu;
    open->addToMenu(&menu, ReportSys::InitParamsCallback(), 2);
    menu.actions()[0]->trigger();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Error);
    EXPECT_EQ(
        boxes_.shown[0].text,
        QStringLiteral("Не задана внешняя функция инициализации параметров события для шаблона документа "
                       "Договор"));
    EXPECT_TRUE(opened_.isEmpty());
}

}  // namespace
