#pragma once
// Directory rows and stored services for the services tests, and a grid without widgets for the
// lists to bind to.

#include "kv_FbQueryGod.h"
#include "platform/grid/GridView.h"
#include "tests/src/contracts/ContractRows.h"
#include "u_AddServices.h"

namespace desktest {

using namespace contracttest;

// A directory service; the article is left NULL when 0 is given.
inline int newService(const QString& name, int event, const QString& formula, bool active, int article = 0,
                      const QString& code = QString(), fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_DIR_ADD_SERVICES_ID"));
    udb::execSql(
        QStringLiteral("insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT, FORMULA, IS_ACTIVE, ARTICLE_NUM, "
                       "CODE) values (%1, %2, %3, %4, %5, %6, %7)")
            .arg(id)
            .arg(lit(name))
            .arg(event)
            .arg(lit(formula))
            .arg(active ? 1 : 0)
            .arg(article ? QString::number(article) : QStringLiteral("NULL"))
            .arg(code.isEmpty() ? QStringLiteral("NULL") : lit(code)),
        transaction);
    return id;
}

// The stored services of an object as "name:price" in ID order, on the transaction or one of its own;
// of one event when one is given (contracts and operations share the numbers of ID_OBJ).
inline QString storedServices(int objectId, fb::Transaction* transaction = nullptr, int event = -1) {
    const QString ofEvent =
        event < 0
            ? QString()
            : QStringLiteral(" and A.ID_SERVICE in (select ID from DIR_ADD_SERVICES where ID_EVENT = %1)")
                  .arg(event);
    ufb::AutoQuery q(
        QStringLiteral("select A.NAME, A.PRICE from ADD_SERVICES A where A.ID_OBJ = %1%2 order by A.ID")
            .arg(objectId)
            .arg(ofEvent),
        transaction);
    q->open();
    QStringList rows;
    for (; !q->eof(); q->next()) {
        rows << q->fieldByName(QStringLiteral("NAME")).asString() + u':' +
                    q->fieldByName(QStringLiteral("PRICE")).asString();
    }
    return rows.join(u' ');
}
inline QString storedServices(int objectId, int event) {
    return storedServices(objectId, nullptr, event);
}

// The list's rows as "name:price" in the list's order.
inline QString shownServices(TolvLogic::AddServices& list) {
    data::Dataset& ds = *list.getDataSet();
    QStringList rows;
    const int recNo = ds.recNo();
    for (ds.first(); !ds.eof(); ds.next()) {
        rows << ds.fieldByName(QStringLiteral("NAME")).asString() + u':' +
                    QString::number(ds.fieldByName(QStringLiteral("PRICE")).asInteger());
    }
    if (recNo > 0) ds.setRecNo(recNo);
    return rows.join(u' ');
}

// Every service and directory row goes: each test starts with an empty directory.
inline void clearServices() {
    udb::execSql(QStringLiteral("delete from ADD_SERVICES"));
    udb::execSql(QStringLiteral("delete from DIR_ADD_SERVICES"));
}

class ListGrid : public grid::GridView {
public:
    ListGrid() : GridView(grid::GridKind::Eh) { setDataSource(&source); }
    QString gridName() const override { return QStringLiteral("gr_Prices"); }
    QString formName() const override { return QString(); }
    grid::DataSource source;
};

}  // namespace desktest
