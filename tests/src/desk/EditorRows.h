#pragma once
// What the contract editor tests share: the numbering template, a storage place, an editor on the
// program's lists, a new contract filled as a cashier fills it, and a picture of every table a save of
// a contract writes.

#include <memory>

#include "PenaltyDirectories.h"
#include "kv_FbDbIni.h"
#include "tests/src/desk/PaymentRows.h"
#include "u_ContractEditor.h"
#include "u_contractSubjects.h"

namespace desktest {

inline int newPlace(const QString& name) {
    const int id = udb::genId(QStringLiteral("GEN_PLACES_ID"));
    udb::execSql(
        QStringLiteral("insert into PLACES (PLACE_ID, PLACE_NAME) values (%1, %2)").arg(id).arg(lit(name)));
    return id;
}

inline void addItem(TolvLogic::ContractEditor& e, const QString& name, int price, int credit) {
    data::Dataset& ds = *e.contract()->getSubjects()->getDataSet();
    ds.append();
    ds.fieldByName(QStringLiteral("NAME")).setValue(name);
    ds.fieldByName(QStringLiteral("ITEMS_COUNT")).setValue(1);
    ds.fieldByName(QStringLiteral("PRICE")).setValue(price);
    ds.fieldByName(QStringLiteral("DEPOSIT_SUM")).setValue(credit);
    ds.post();
}

// Every row a save of a contract may write, as text.
inline QString contractTables() {
    const auto rows = tableRows;
    return rows(QStringLiteral(
               "select CONTRACT_ID, CONTRACT_NUM, CONTRACT_DATE from PENALTY_CONTRACTS order by 1")) +
           u'|' + rows(QStringLiteral("select CONTRACT_ID, DEPOSIT_SUM from PENALTY_DEPOSITS order by 1")) +
           u'|' + rows(QStringLiteral("select ID, ID_CONTRACT, NAME from SUBJECTS order by 1")) + u'|' +
           rows(QStringLiteral("select ID, ID_OBJ, PRICE from ADD_SERVICES order by 1")) + u'|' +
           rows(QStringLiteral("select ID, W_SUM, W_DATE from WARRANTES order by 1")) + u'|' +
           rows(QStringLiteral("select OP_ID, OP_REST_BASE from PENALTY_OPERATIONS order by 1"));
}

class EditorSuite : public PaymentSuite {
protected:
    void SetUp() override {
        PaymentSuite::SetUp();
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("OrderNumberTemplate"),
                        QStringLiteral("[POINT_NO].[YY].[AUTOINC]"));
        branch = TolvLogic::FilialsDir::scGetCurentFilialId();
        place = newPlace(QStringLiteral("Сейф №1"));
        client = newClient(QStringLiteral("Коваль Олег"));
    }
    std::unique_ptr<TolvLogic::ContractEditor> editor() {
        return std::make_unique<TolvLogic::ContractEditor>(&testDb().db(), config->getContracts());
    }
    // A new contract ready to save: two items of 600.00 and 400.00 lent 500.00 and 300.00, 30 days at
    // 0.5 % a day, penalty 1 %.
    std::unique_ptr<TolvLogic::ContractEditor> filled(DateTime workDate = kStart,
                                                      KassRegister::FiscalRegister* fr = nullptr) {
        auto e = editor();
        e->setNew(workDate, fr);
        e->setClient(client, QStringLiteral("Коваль Олег"));
        e->setPlace(place);
        e->setTermText(QStringLiteral("30"));
        addItem(*e, QStringLiteral("Ноутбук"), 60000, 50000);
        addItem(*e, QStringLiteral("Телефон"), 40000, 30000);
        e->setDayPerc(0.5);
        e->setPenaltyPerc(1);
        e->setDollarPrice(1);
        return e;
    }

    int branch = 0;
    int place = 0;
    int client = 0;
};

}  // namespace desktest
