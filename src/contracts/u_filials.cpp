#include "u_filials.h"

#include <QThread>
#include <optional>

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/fb/Error.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"

namespace TolvLogic {

using core::Variant;

const char* const dirFilialFields[11] = {"ID",
                                         "NUMBER",
                                         "NAME",
                                         "IS_IMPORT",
                                         "IS_CURENT",
                                         "ORDER_NUM_AUTOINC",
                                         "WNT_RECEIPT_NUM_AUTOINC",
                                         "WNT_EXPENSE_NUM_AUTOINC",
                                         "REG_RECEIPT_NUM_AUTOINC",
                                         "REG_EXPENSE_NUM_AUTOINC",
                                         "GUID"};

namespace {

using kvtr::tr;

QString missingBranch(int id) {
    return QStringLiteral("FilialInfo::FilialInfo() - ") +
           tr("u_filials.FilialInfo.FilialInfo.Exception", u"информация о филиале не считана") +
           QStringLiteral(" id = ") + QString::number(id);
}

QString column(int index) {
    return QString::fromLatin1(dirFilialFields[index]);
}

// The first row's value of a one-column lookup; nothing when there is no row.
std::optional<Variant> lookUp(const QString& sql, fb::Transaction* transaction) {
    ufb::AutoQuery q(sql, transaction);
    q->open();
    if (q->isEmpty()) return std::nullopt;
    return q->field(0)->value();
}

}  // namespace

FilialInfo::FilialInfo(int id, fb::Transaction* transaction)
    : TDBRecord(QStringLiteral("DIR_FILIAL"), QStringLiteral("ID"), id, transaction) {
    if (Select() == 0) throw core::Exception(missingBranch(id));
}

Variant FilialInfo::getField(int index) const {
    return GetField(column(index), true);
}

void FilialInfo::setField(int index, const Variant& value) {
    const QString name = column(index);
    SetField(name, value, name.toUpper() == QStringLiteral("ID"));
}

QString FilialInfo::getNumberName() const {
    return getField(fNUMBER).toText() + QStringLiteral(" - ") + getField(fNAME).toText();
}

int FilialInfo::scTakeNumber(int filialId, int counterIndex, bool restart, fb::Database* database) {
    if (counterIndex <= fIS_CURENT || counterIndex > fREG_EXPENSE_NUM_AUTOINC) {
        throw core::Exception(QStringLiteral("FilialInfo::scTakeNumber() - not a counter: ") +
                              QString::number(counterIndex));
    }
    const QString counter = column(counterIndex);
    fb::Database* db = database ? database : TolvMain::getZarvelDb();
    // The row lock of the update orders the workstations: one that meets another's uncommitted
    // advance waits a moment and tries again, on the counter as it is then.
    constexpr int kAttempts = 400;
    for (int attempt = 1;; ++attempt) {
        std::unique_ptr<fb::Transaction> transaction = udb::createTransaction(db);
        try {
            fb::Statement st(transaction.get());
            st.setSql(QStringLiteral("update DIR_FILIAL set %1 = iif(:RESTART = 1, 2, %1 + 1) "
                                     "where ID = :ID returning old.%1")
                          .arg(counter));
            st.setParam(QStringLiteral("RESTART"), restart ? 1 : 0);
            st.setParam(QStringLiteral("ID"), filialId);
            st.execute();
            const bool found = st.rowsAffected() > 0 && st.fetch();
            const Variant taken = found ? st.value(0) : Variant();
            transaction->commit();
            if (!found) throw core::Exception(missingBranch(filialId));
            return restart ? 1 : taken.toInt();
        } catch (const fb::Error& e) {
            if (transaction->inTransaction()) transaction->rollback();
            const bool busy = e.hasGdsCode(fb::gds::LockConflict) || e.hasGdsCode(fb::gds::Deadlock) ||
                              e.hasGdsCode(fb::gds::UpdateConflict);
            if (!busy || attempt == kAttempts) throw;
            QThread::msleep(5);
        } catch (...) {
            if (transaction->inTransaction()) transaction->rollback();
            throw;
        }
    }
}

core::DateTime FilialInfo::scGetLastContractDate(const FilialInfo& filial) {
    const std::optional<Variant> date =
        lookUp(QStringLiteral("select CONTRACT_DATE from PENALTY_CONTRACTS where CONTRACT_ID = "
                              "(select max(CONTRACT_ID) from PENALTY_CONTRACTS where FILIAL_ID = ") +
                   udb::var2DbVar(filial.getField(fID)) + u')',
               filial.getTransaction());
    return !date || date->isEmpty() ? core::DateTime() : date->toDateTime();
}

namespace {

void buildList(FilialsDir& dir) {
    dir.setSql(QStringLiteral("select f.*, number||' - '||name as filial from DIR_FILIAL f "));
    dir.setOrderBy(QStringLiteral("number"));
    dir.addIntegerField(QStringLiteral("ID"))->setVisible(false);
    dir.addIntegerField(QStringLiteral("NUMBER"));
    dir.addStringField(QStringLiteral("NAME"), 80);
    dir.addStringField(QStringLiteral("FILIAL"), 255);
    for (const char* name :
         {"IS_IMPORT", "IS_CURENT", "ORDER_NUM_AUTOINC", "WNT_RECEIPT_NUM_AUTOINC", "WNT_EXPENSE_NUM_AUTOINC",
          "REG_RECEIPT_NUM_AUTOINC", "REG_EXPENSE_NUM_AUTOINC", "ACT_AUTOINC"})
        dir.addIntegerField(QString::fromLatin1(name));
    dir.addStringField(QStringLiteral("GUID"), 38);
}

int currentId(data::Dataset* ds) {
    if (!ds || !ds->active() || ds->isEmpty()) return 0;
    return ds->fieldByName(QStringLiteral("ID")).asInteger();
}

}  // namespace

FilialsDir::FilialsDir(fb::Database* database)
    : UpdQueryWrapper(database ? database : TolvMain::getZarvelDb()) {
    buildList(*this);
}

FilialsDir::FilialsDir(fb::Transaction* transaction) : UpdQueryWrapper(transaction) {
    buildList(*this);
}

void FilialsDir::setImportFilter(int filter) {
    importFilter_ = filter;
    data::Dataset* ds = getDataSet();
    if (ds && ds->active()) {
        close();
        open();
    }
}

bool FilialsDir::open() {
    clearFilter();
    if (importFilter_ == 1) addFilter(QStringLiteral(" IS_IMPORT = 0 "));
    if (importFilter_ == 2) addFilter(QStringLiteral(" IS_IMPORT = 1 "));
    UpdQueryWrapper::open();
    data::Dataset* ds = getDataSet();
    ds->fetchAll();
    if (importFilter_ == 1) ds->locate(QStringLiteral("ID"), scGetCurentFilialId(false));
    return ds->active();
}

std::vector<FilialsDir::MenuEntry> FilialsDir::fillMenu() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) open();
    const int id = currentId(ds);
    std::vector<MenuEntry> entries;
    const int filial = ds->fieldByName(QStringLiteral("FILIAL")).index();
    const int key = ds->fieldByName(QStringLiteral("ID")).index();
    const int current = ds->fieldByName(QStringLiteral("IS_CURENT")).index();
    // Read through the row buffer, so the list's current row stays.
    for (int row = 0; row < ds->recordCount(); ++row) {
        entries.push_back({ds->valueAt(row, filial).toText(), ds->valueAt(row, key).toInt(),
                           ds->valueAt(row, current).toInt() == 1});
    }
    if (id) ds->locate(QStringLiteral("ID"), id);
    return entries;
}

std::vector<FilialsDir::MenuEntry> FilialsDir::menuItemClick(int filialId) {
    const int id = currentId(getDataSet());
    {
        ufb::AutoQuery q(QStringLiteral(" Update DIR_FILIAL set IS_CURENT = 0 "), nullptr);
        q->execSql();
        q->setSql(QStringLiteral(" Update DIR_FILIAL set IS_CURENT = 1  where ID = ") +
                  QString::number(filialId));
        q->execSql();
    }  // commits
    close();
    open();
    if (id) getDataSet()->locate(QStringLiteral("ID"), id);
    return fillMenu();
}

int FilialsDir::scGetCurentFilialId(bool mustExist) {
    ufb::AutoQuery q(QStringLiteral("select id from DIR_FILIAL where is_curent=1"), nullptr);
    q->open();
    q->fetchAll();
    if (q->recordCount() == 1) return q->fieldByName(QStringLiteral("id")).asInteger();
    if (mustExist) {
        throw core::Exception(
            tr("u_filials.FilialsDir.scGetCurentFilialId.Exception", u"Текущий филиал не задан"));
    }
    return 0;
}

QString FilialsDir::scGetFilialName(int filialId, fb::Transaction* transaction) {
    const std::optional<Variant> name = lookUp(
        QStringLiteral(" select NAME from DIR_FILIAL where ID=") + QString::number(filialId), transaction);
    return name ? name->toText() : QStringLiteral(" ");
}

int FilialsDir::scGetFilialNumber(int filialId, fb::Transaction* transaction) {
    const std::optional<Variant> number = lookUp(
        QStringLiteral(" select NUMBER from DIR_FILIAL where ID=") + QString::number(filialId), transaction);
    return number ? number->toInt() : -1;
}

bool FilialsDir::scIsFilialImported(int filialId, fb::Transaction* transaction) {
    const std::optional<Variant> flag =
        lookUp(QStringLiteral("select is_import from DIR_FILIAL where id=") + QString::number(filialId),
               transaction);
    return !flag || flag->toInt() != 0;
}

}  // namespace TolvLogic
