// The precious-metal items in a real grid, as the cashier works them: the assay cell's button opens
// the price list in the directory form, a pick fills the row, a key typed in the cell unties it.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "Book.h"
#include "ContractRows.h"
#include "PenaltyDirectories.h"
#include "kv_BookPick.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "u_contractSubjects.h"

using namespace contracttest;
using namespace TolvLogic;

namespace {

// With TOLV_GRAB naming a folder, the windows are saved there as pictures to be looked at.
void grab(QWidget& window, const char* file) {
    if (qEnvironmentVariableIsSet("TOLV_GRAB")) {
        window.grab().save(qEnvironmentVariable("TOLV_GRAB") + u'/' + QString::fromLatin1(file));
    }
}

class ItemsGridTest : public ContractSuite {
protected:
    void SetUp() override {
        ufb::TBookForm::installPicker();
        const int gold = newMetal(QStringLiteral("Золото"));
        newTariff(gold, QStringLiteral("585"), 180000, 150000);
        newTariff(gold, QStringLiteral("750"), 230000, 190000);
        setGlobalGoldTarifs(&tariffs);
        window.setObjectName(QStringLiteral("TFContractEdit"));
        grid = new ui::DbGrid(grid::GridKind::Eh, &window);
        grid->setObjectName(QStringLiteral("gr_Subjects"));
        grid->setDataSource(&source);
        new QVBoxLayout(&window);
        window.layout()->addWidget(grid);
        window.resize(900, 200);
        items = ContractSubjects::scCreateForType(-1, TDepositTypes::scGetIdByCode(QStringLiteral("GOLD")));
        items->open();
        items->bindGridEh(grid);
        window.show();
    }
    void TearDown() override {
        ufb::setBookPicker({});
        setGlobalGoldTarifs(nullptr);
        ContractSuite::TearDown();
    }
    data::Field& f(const char* name) { return items->getDataSet()->fieldByName(QString::fromLatin1(name)); }
    int column(const QString& field) const {
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (grid->model()->headerData(c, Qt::Horizontal).toString() == field) return c;
        }
        return -1;
    }

    tolvtest::ScopedUserIni userIni;
    GoldTarifs tariffs;
    // The list and the grid's source outlive the window that shows them.
    grid::DataSource source;
    std::unique_ptr<ContractSubjects> items;
    QWidget window;
    ui::DbGrid* grid = nullptr;
};

TEST_F(ItemsGridTest, TheAssayButtonPicksATariffAndAKeyUntiesIt) {
    data::Dataset& ds = *items->getDataSet();
    ds.append();
    f("NAME").setValue(QStringLiteral("Кольцо"));
    f("ITEMS_COUNT").setValue(1);
    f("WEIGHT").setValue(2.5);
    f("WEIGHT_GEM").setValue(0.5);
    ds.post();

    const int assay = column(QStringLiteral("Проба"));
    ASSERT_GE(assay, 0);
    grid->setCurrentIndex(grid->model()->index(0, assay));
    EXPECT_EQ(grid->selectedField(), QStringLiteral("PROB_NAME"));
    grid->edit(grid->currentIndex());
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QAction* button = editor->findChild<QAction*>(QStringLiteral("editButton"));
    ASSERT_NE(button, nullptr);

    tolvtest::onModal<ufb::TBookForm>([](ufb::TBookForm& book) {
        EXPECT_EQ(book.windowTitle(), QStringLiteral("Справочник цен на драг. металлы"));
        data::Dataset* prices = book.DBGrid1->dataSet();
        ASSERT_TRUE(prices->locate(QStringLiteral("PROB_NAME"), QStringLiteral("750")));
        grab(book, "book.png");
        book.btn_OK->click();
    });
    button->trigger();
    ds.post();
    EXPECT_EQ(f("PROB_NAME").asString(), QStringLiteral("750"));
    EXPECT_FALSE(f("ID_PROB").isNull());
    EXPECT_EQ(f("PRICE").asInteger(), 460000);
    EXPECT_EQ(f("DEPOSIT_SUM").asInteger(), 380000);
    EXPECT_EQ(
        grid->model()->index(0, column(QStringLiteral("Кредит"))).data(Qt::FontRole).value<QFont>().bold(),
        true);

    // Typing in the assay cell: the row is no longer tied to the price list, and the cell turns grey.
    grid->setCurrentIndex(grid->model()->index(0, assay));
    QTest::keyClick(grid, Qt::Key_9);
    ds.post();
    EXPECT_TRUE(f("ID_PROB").isNull());
    EXPECT_EQ(grid->model()->index(0, assay).data(Qt::ForegroundRole).value<QColor>(),
              QColor(0x80, 0x80, 0x80));
    grab(window, "items.png");
}

}  // namespace
