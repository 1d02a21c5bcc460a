// The filler by term in the contract editor's real widgets: the pledged-items grid, whose valuations it
// answers with a proposed credit and whose credits above the proposal it shows in blue, and the term
// combo box behind the filler's term field.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QVBoxLayout>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "kv_FbDbIni.h"
#include "platform/ui/DbGrid.h"
#include "u_ContractPrmsFiller.h"
#include "u_contractSubjects.h"

using namespace contracttest;
using namespace TolvLogic;

namespace {

using C = TPenaltyContractInfo;

// The editor's term combo box as the filler's term field.
class ComboTermField : public TermField {
public:
    explicit ComboTermField(QComboBox& box) : box_(box) {}
    void setItems(const QStringList& items) override {
        box_.clear();
        box_.addItems(items);
    }
    int itemCount() const override { return box_.count(); }
    QString itemText(int index) const override { return box_.itemText(index); }
    void setPickOnly(bool pickOnly) override { box_.setEditable(!pickOnly); }
    void setText(const QString& text) override { box_.setCurrentText(text); }
    void select(int index) override { box_.setCurrentIndex(index); }
    void fireChange() override {
        if (onChange) onChange();
    }
    std::function<void()> onChange;

private:
    QComboBox& box_;
};

class PrmsFillerGridTest : public ContractSuite {
protected:
    void SetUp() override {
        udb::execSql(QStringLiteral("insert into AUTO_PERC_DAYS (ID, DAYS, CREDIT_PERC, PERC, PENALTY_PERC) "
                                    "values (gen_id(GEN_AUTO_PERC_DAYS_ID, 1), 30, 70, 1, 1)"),
                     change());
        window.setObjectName(QStringLiteral("TFContractEdit"));
        grid = new ui::DbGrid(grid::GridKind::Eh, &window);
        grid->setObjectName(QStringLiteral("gr_Subjects"));
        grid->setDataSource(&source);
        new QVBoxLayout(&window);
        window.layout()->addWidget(grid);
        window.resize(900, 200);
        contract.setDepositInt(C::dPENALTY_DAYS, 30);
    }
    void TearDown() override {
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("AutoPerc_AutoCalcCredit4GoldMetod"), 0);
        ContractSuite::TearDown();
    }
    // The editor's order: the items list bound to its grid, then the filler told about the contract.
    ContractSubjects& bind(const char* typeCode) {
        contract.createSubjects(TDepositTypes::scGetIdByCode(QString::fromLatin1(typeCode)));
        contract.getDepositRecord().SetField(QStringLiteral("DEPOSIT_TYPE"),
                                             TDepositTypes::scGetIdByCode(QString::fromLatin1(typeCode)));
        ContractSubjects& items = *contract.getSubjects();
        items.open();
        items.bindGridEh(grid);
        window.show();
        filler = std::make_unique<ContractPrmsFillerDays>();
        filler->init(&contract, nullptr);
        return items;
    }
    data::Field& f(ContractSubjects& items, const char* name) {
        return items.getDataSet()->fieldByName(QString::fromLatin1(name));
    }
    QColor creditColour() {
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (grid->model()->headerData(c, Qt::Horizontal).toString() == QStringLiteral("Кредит")) {
                return grid->model()->index(0, c).data(Qt::ForegroundRole).value<QColor>();
            }
        }
        return {};
    }

    C contract{nullptr};
    grid::DataSource source;
    QWidget window;
    ui::DbGrid* grid = nullptr;
    std::unique_ptr<ContractPrmsFiller> filler;
};

TEST_F(PrmsFillerGridTest, AValuationProposesTheCreditAndAHigherCreditIsBlue) {
    ContractSubjects& items = bind("TECH");
    int changed = 0;
    items.onChanged = [&] { ++changed; };
    data::Dataset& ds = *items.getDataSet();
    ds.append();
    f(items, "NAME").setValue(QStringLiteral("Ноутбук"));
    f(items, "ITEMS_COUNT").setValue(1);
    f(items, "PRICE").setValue(123456);
    // The list's own handler still ran, and the proposal was set once, quietly.
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(f(items, "DEPOSIT_SUM").asInteger(), 86419);
    ds.post();
    EXPECT_NE(creditColour(), QColor(0, 0, 255));

    ds.edit();
    f(items, "DEPOSIT_SUM").setValue(90000);
    ds.post();
    EXPECT_EQ(creditColour(), QColor(0, 0, 255));
    // Above the valuation the list's own red is drawn over it.
    ds.edit();
    f(items, "DEPOSIT_SUM").setValue(200000);
    ds.post();
    EXPECT_EQ(creditColour(), QColor(0xFF, 0, 0));

    // Without the filler the grid has its former handler back: no blue any more.
    ds.edit();
    f(items, "DEPOSIT_SUM").setValue(90000);
    ds.post();
    filler.reset();
    EXPECT_NE(creditColour(), QColor(0, 0, 255));
    ds.edit();
    f(items, "DEPOSIT_SUM").setValue(200000);
    ds.post();
    EXPECT_EQ(creditColour(), QColor(0xFF, 0, 0));
}

TEST_F(PrmsFillerGridTest, APreciousMetalWeightTakesTheTariffsCredit) {
    struct Case {
        int method;
        int credit;
    };
    // 2 g at 1,800.00 a gram is valued 3,600.00: per gram the credit is 3,000.00, by the tariff 70 %.
    for (const Case& c : std::vector<Case>{{0, 300000}, {1, 252000}}) {
        ContractPrmsFiller::scSetGoldCreditMethod(c.method);
        ContractSubjects& items = bind("GOLD");
        data::Dataset& ds = *items.getDataSet();
        ds.append();
        f(items, "NAME").setValue(QStringLiteral("Кольцо"));
        f(items, "PRICE_PER_GRAM").setValue(180000);
        f(items, "DEPOSIT_PER_GRAM").setValue(150000);
        f(items, "WEIGHT").setValue(2.0);
        EXPECT_EQ(f(items, "PRICE").asInteger(), 360000) << c.method;
        EXPECT_EQ(f(items, "DEPOSIT_SUM").asInteger(), c.credit) << c.method;
        ds.cancel();
        filler.reset();
    }
}

TEST_F(PrmsFillerGridTest, TheTermComboBoxOffersTheTariffsTerms) {
    udb::execSql(
        QStringLiteral("insert into AUTO_PERC_DAYS (ID, DAYS, CREDIT_PERC, PERC, PENALTY_PERC) "
                       "values (gen_id(GEN_AUTO_PERC_DAYS_ID, 1), 60, 50, 1, 1)"));
    bind("TECH");
    QComboBox box(&window);
    box.setEditable(true);
    ComboTermField field(box);
    QStringList seen;
    field.onChange = [&] { seen << box.currentText(); };
    filler->setupTermControl(field, 60);
    udb::execSql(QStringLiteral("delete from AUTO_PERC_DAYS"));
    EXPECT_FALSE(box.isEditable());
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(box.itemText(0), QStringLiteral("60"));
    EXPECT_EQ(seen, QStringList({"60"}));
}

}  // namespace
