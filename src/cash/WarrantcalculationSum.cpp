// The summary method: every regeneration recomputes every money category of the day and branch from
// the stored rows, so any regeneration of a day leaves the same orders.

#include <QStringList>
#include <set>

#include "PenaltyContracts.h"
#include "PenaltyWarrants.h"
#include "Warrantcalculation.h"
#include "WarrantcalculationSteps.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"
#include "u_filials.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

QString num(int value) {
    return QString::number(value);
}

// The C_NUM of every row, joined.
QString contractNumbers(const QString& sql, DateTime date, fb::Transaction* transaction,
                        const QString& separator) {
    ufb::AutoQuery q(sql, transaction);
    q->setParam(QStringLiteral("DATE_FOR"), date);
    q->open();
    return udb::joinFieldValues(*q.get(), QStringLiteral("C_NUM"), separator);
}

// A new day marker on the transaction; its id.
int insertMarker(DateTime date, int branch, fb::Transaction* transaction) {
    const int id = udb::genId(QStringLiteral("GEN_REGISTERS_ID"), transaction);
    fb::Statement st(transaction);
    st.setSql(QStringLiteral(" INSERT INTO REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) VALUES (") +
              num(id) + QStringLiteral(", ") + num(branch) + QStringLiteral(", 0, -1, :DATE_FOR)"));
    st.setParam(QStringLiteral("DATE_FOR"), date);
    st.execute();
    return id;
}

// The day marker's id: found, or made in a transaction of its own that commits at once, so the day
// keeps its method whatever becomes of the caller's work. A marker another workstation is making at
// the same moment is met by the unique index; the caller waits and looks again.
int dayMarker(DateTime date, int branch, fb::Database* database) {
    std::unique_ptr<fb::Transaction> own = udb::createTransaction(database);
    own->start();
    try {
        int id = -1;
        {
            ufb::AutoQuery q(
                QStringLiteral("SELECT id from registers where r_date = :DATE_FOR and R_TYPE  = ") +
                    QStringLiteral("0") + QStringLiteral(" and ID_FILIAL = ") + num(branch),
                own.get());
            q->setParam(QStringLiteral("DATE_FOR"), date);
            q->open();
            if (!q->eof()) id = q->fieldByName(QStringLiteral("ID")).asInteger();
        }
        if (id == -1) {
            id = insertMarker(date, branch, own.get());
        }
        own->commit();
        return id;
    } catch (...) {
        if (own->inTransaction()) own->rollback();
        throw;
    }
}

// The day marker as the caller's transaction sees it (committed, or its own); -1 when there is none.
// Found there, it costs no transaction of its own.
int visibleMarker(DateTime date, int branch, fb::Transaction* transaction) {
    ufb::AutoQuery q(QStringLiteral("SELECT id from registers where r_date = :DATE_FOR and R_TYPE  = 0 and "
                                    "ID_FILIAL = ") +
                         num(branch),
                     transaction);
    q->setParam(QStringLiteral("DATE_FOR"), date);
    q->open();
    return q->eof() ? -1 : q->fieldByName(QStringLiteral("ID")).asInteger();
}

// Holds the day marker's row in the caller's transaction until it ends: another workstation's summary
// regeneration of the day waits here, and then sees this one's orders. False when the marker is gone
// (emptied day committed meanwhile).
bool lockMarker(int marker, fb::Transaction* transaction) {
    fb::Statement st(transaction);
    st.setSql(QStringLiteral("update REGISTERS set R_NUMBER = R_NUMBER where ID = ") + num(marker));
    st.execute();
    return st.rowsAffected() > 0;
}

// Where a category's amount and contract numbers come from: the day's operations whose share has the
// sign, sold contracts closed that day, or the contracts made that day (their deposits) together with
// the operations paying out.
enum class Source { Operations, Sales, OperationsAndNewContracts };

struct Category {
    const char* code;
    Source source;
    const char* share;          // the operations' column; null for sales
    bool payout;                // the share counts when below 0, else when above
    bool closedList;            // the ADDITION names the contracts closed that day, else it is the subject
};

const std::vector<Category>& categories() {
    static const std::vector<Category> all{
        {"RECEIPT_DEPOSIT", Source::Operations, "OP_SUM", false, false},
        {"RECEIPT_PERCENT", Source::Operations, "OP_PERC_SUM", false, true},
        {"RECEIPT_STORAGE", Source::Operations, "OP_STORAGE_SUM", false, true},
        {"RECEIPT_PENALTY", Source::Operations, "OP_PENALTY_SUM", false, true},
        {"RECEIPT_SALE", Source::Sales, nullptr, false, false},
        {"EXPENSE_DEPOSIT", Source::OperationsAndNewContracts, "OP_SUM", true, false},
    };
    return all;
}

// The amounts and contract numbers of every category, from one read of the day's rows ordered by
// number: each row is counted in the sums and lists it belongs to. Each list is distinct and in the
// database's order of the numbers.
class DayRows {
public:
    DayRows(const std::vector<Category>& all, DateTime date, int branch, fb::Transaction* transaction)
        : amounts_(all.size()), numbers_(all.size()), closed_(all.size()) {
        const QString b = num(branch);
        // SRC 0: an operation of the day; 1: a sale that makes an order, AMOUNT its sum; 2: a contract
        // made that day, once per deposit with AMOUNT its sum (once with none when it has none). The
        // contracts of the day are found by their date alone ("+ 0" keeps the server from also
        // walking every contract of the branch in its index).
        ufb::AutoQuery q(
            QStringLiteral(
                "select 0 as SRC, PC.CONTRACT_NUM as C_NUM, PO.OP_SUM, PO.OP_PERC_SUM, PO.OP_STORAGE_SUM, "
                "PO.OP_PENALTY_SUM, iif(PC.CONTRACT_CLOSE = :DATE_FOR and PC.CONTRACT_STATE = 1, 1, 0) as "
                "CLOSED, cast(null as integer) as AMOUNT from PENALTY_CONTRACTS PC, PENALTY_OPERATIONS PO "
                "where PO.OP_DATE = :DATE_FOR and PO.DEPOSIT_ID = PC.CONTRACT_ID and PC.FILIAL_ID = ") +
                b +
                QStringLiteral(
                    " union all select 1, PC.CONTRACT_NUM, null, null, null, null, 0, S.SALE_SUM from SALES "
                    "S, PENALTY_CONTRACTS PC where PC.CONTRACT_CLOSE = :DATE_FOR and S.IS_CREATE_WARRANT = 1 "
                    "and S.CONTRACT_ID = PC.CONTRACT_ID and PC.FILIAL_ID = ") +
                b +
                QStringLiteral(
                    " union all select 2, PC.CONTRACT_NUM, null, null, null, null, 0, PD.DEPOSIT_SUM from "
                    "PENALTY_CONTRACTS PC left join PENALTY_DEPOSITS PD on PD.CONTRACT_ID = PC.CONTRACT_ID "
                    "where PC.CONTRACT_DATE = :DATE_FOR and PC.FILIAL_ID + 0 = ") +
                b + QStringLiteral(" order by 2"),
            transaction);
        q->setParam(QStringLiteral("DATE_FOR"), date);
        q->open();
        std::vector<data::Field*> shares;
        for (const Category& c : all) {
            shares.push_back(c.share ? &q->fieldByName(QLatin1String(c.share)) : nullptr);
        }
        data::Field& source = q->fieldByName(QStringLiteral("SRC"));
        data::Field& number = q->fieldByName(QStringLiteral("C_NUM"));
        data::Field& closedToday = q->fieldByName(QStringLiteral("CLOSED"));
        data::Field& rowAmount = q->fieldByName(QStringLiteral("AMOUNT"));
        std::vector<Last> lastNumber(all.size());
        std::vector<Last> lastClosed(all.size());
        for (; !q->eof(); q->next()) {
            const int src = source.asInteger();
            const Last current{true, number.isNull(), number.asString()};
            const qint64 amount = rowAmount.isNull() ? 0 : rowAmount.value().toInt64();
            for (size_t i = 0; i < all.size(); ++i) {
                const Category& c = all[i];
                bool counts = false;
                bool closes = false;
                if (src == 0 && c.share) {
                    const data::Field& share = *shares[i];
                    const qint64 value = share.isNull() ? 0 : share.value().toInt64();
                    counts = c.payout ? value < 0 : value > 0;
                    closes = c.closedList && value > 0 && closedToday.asInteger() == 1;
                    // What an operation pays out counts as a positive amount.
                    if (counts) amounts_[i] += c.payout ? -value : value;
                } else if (src == 1) {
                    counts = c.source == Source::Sales;
                    if (counts) amounts_[i] += amount;
                } else if (src == 2) {
                    counts = c.source == Source::OperationsAndNewContracts;
                    if (counts) amounts_[i] += amount;
                }
                if (counts) append(numbers_[i], lastNumber[i], current);
                if (closes) append(closed_[i], lastClosed[i], current);
            }
        }
    }
    qint64 amount(size_t category) const { return amounts_[category]; }
    const QString& numbers(size_t category) const { return numbers_[category]; }
    const QString& closed(size_t category) const { return closed_[category]; }

private:
    struct Last {
        bool any = false;
        bool null = false;
        QString text;
    };

    // The database compares texts as if padded with spaces: "A" and "A " are one number.
    static bool same(const Last& a, const Last& b) {
        if (a.null || b.null) return a.null == b.null;
        qsizetype n = a.text.size();
        qsizetype m = b.text.size();
        while (n > 0 && a.text[n - 1] == u' ') --n;
        while (m > 0 && b.text[m - 1] == u' ') --m;
        return QStringView(a.text).left(n) == QStringView(b.text).left(m);
    }

    // Rows come ordered by number, so a repeated number follows its first.
    static void append(QString& list, Last& last, const Last& current) {
        if (last.any && same(last, current)) return;
        if (last.any) list += QStringLiteral("; ");
        list += current.text;
        last = current;
    }

    std::vector<qint64> amounts_;
    std::vector<QString> numbers_;
    std::vector<QString> closed_;
};

// The services rows of the day, event and sign that belong to the branch. Whether ID_OBJ is a contract
// or an operation is told by the row's own event (0 and 3 contracts, 1, 2 and 4 operations): the two
// kinds of ids coincide. Subqueries instead of lists of ids, so that a busy day meets no limit.
QString serviceRows(int branch, int event, bool receipts) {
    const QString owner =
        (event == astCONTRACT || event == astSALEDOWN)
            ? QStringLiteral(
                  "exists (select 1 from PENALTY_CONTRACTS PC where PC.CONTRACT_ID = A.ID_OBJ and "
                  "PC.FILIAL_ID = %1)")
            : QStringLiteral(
                  "exists (select 1 from PENALTY_OPERATIONS PO join PENALTY_CONTRACTS PC on "
                  "PC.CONTRACT_ID = PO.DEPOSIT_ID where PO.OP_ID = A.ID_OBJ and PC.FILIAL_ID = %1)");
    return QStringLiteral(
               " from ADD_SERVICES A join DIR_ADD_SERVICES DAS on DAS.ID = A.ID_SERVICE where "
               "A.DATA = :DATE_FOR and A.PRICE %1 0 and DAS.ID_EVENT = %2 and ")
               .arg(receipts ? QStringLiteral(">") : QStringLiteral("<"))
               .arg(event) +
           owner.arg(branch);
}

// The services events whose orders the day must be regenerated for: the list's, those with services
// that day and those that have an order that day. The rows are found by their date alone, not
// through every row ever stored for each service ("+ 0").
std::set<int> serviceEvents(DateTime date, int branch, ServicesList* services, fb::Transaction* transaction) {
    std::set<int> events;
    if (services) events.insert(services->getEvent());
    ufb::AutoQuery q(
        QStringLiteral("select DAS.ID_EVENT as E from ADD_SERVICES A join DIR_ADD_SERVICES DAS on "
                       "DAS.ID = A.ID_SERVICE + 0 where A.DATA = :DATE_FOR union select "
                       "W.ID_SERVICE_EVENT from WARRANTES W where W.W_DATE = :DATE_FOR and "
                       "W.ID_FILIAL = ") +
            num(branch) +
            QStringLiteral(" and W.ID_SERVICE_EVENT is not null and W.ID_DIR_WARRANTES is not null"),
        transaction);
    q->setParam(QStringLiteral("DATE_FOR"), date);
    q->open();
    for (; !q->eof(); q->next()) events.insert(q->fieldByName(QStringLiteral("E")).asInteger());
    return events;
}

void storeDayOrder(WarrantInfo& order, const cashcalc::Template& t, DateTime date, int branch, int marker,
                   qint64 amount, const QString& subject, const QString& foundation, const QString& addition,
                   cashcalc::DayOrders& dayOrders, std::optional<int> serviceEvent = std::nullopt) {
    dayOrders.loadOrInit(order, t.id, serviceEvent);
    order.SetField(WarrantInfo::wW_TYPE, t.type);
    order.SetField(WarrantInfo::wACCOUNT_NUMBER, t.account);
    order.SetField(WarrantInfo::wW_SUM, amount);
    order.SetField(WarrantInfo::wOPERATION_SUBJECT, subject);
    order.SetField(WarrantInfo::wFOUNDATION, foundation);
    order.SetField(WarrantInfo::wADDITION, addition);
    order.SetField(WarrantInfo::wIDENTIFICATION_DATA, QString());
    order.SetField(WarrantInfo::wID_FILIAL, branch);
    order.SetField(WarrantInfo::wID_REGISTER, marker);
}

}  // namespace

WarrantCalculationSum::~WarrantCalculationSum() = default;

void WarrantCalculationSum::recalc(DateTime date, TPenaltyContractInfo& contract, const QString&,
                                   TPenaltyOperationInfo*, ServicesList* services, const QString&) {
    const Variant filial = contract.getContractValue(TPenaltyContractInfo::cFILIAL_ID);
    const int branch = filial.isEmpty() ? 0 : filial.toInt();
    ufb::ChangeTransaction work(getTransaction(), database());
    if (FilialsDir::scIsFilialImported(branch, work.get())) return;
    regenerate(date, branch, services, work.get());
    work.commit();
}

void WarrantCalculationSum::regenerate(DateTime date, int branch, ServicesList* services,
                                       fb::Transaction* transaction) {
    cashcalc::Templates templates(transaction);
    int marker = -1;
    cashcalc::retryWhileBusy(
        [&] {
            marker = visibleMarker(date, branch, transaction);
            if (marker != -1 && lockMarker(marker, transaction)) return true;
            marker = dayMarker(date, branch, transaction->defaultDatabase());
            if (lockMarker(marker, transaction)) return true;
            // Committed yet gone here: this transaction emptied the day before (a deletion regenerates
            // a day once per services list). Its new marker lives and dies with this transaction.
            marker = insertMarker(date, branch, transaction);
            return true;
        },
        date);

    const std::vector<Category>& all = categories();
    const DayRows day(all, date, branch, transaction);
    cashcalc::DayOrders dayOrders(date, branch, transaction);
    for (size_t i = 0; i < all.size(); ++i) {
        const Category& c = all[i];
        const qint64 amount = day.amount(i);
        const QString& numbers = day.numbers(i);
        const cashcalc::Template& t = templates.get(QString::fromLatin1(c.code));
        const QString subject = t.subject + u' ' + numbers;
        QString addition = subject;
        if (c.closedList) {
            const QString& closed = day.closed(i);
            addition = closed.isEmpty() ? QString() : t.subject + u' ' + closed;
        }
        WarrantInfo order;
        storeDayOrder(order, t, date, branch, marker, amount, subject, t.foundation, addition, dayOrders);
        cashcalc::storeOrder(order, branch, transaction);
    }

    for (const int event : serviceEvents(date, branch, services, transaction)) {
        if (event < astCONTRACT || event > astCLOSE) continue;
        for (const bool receipts : {true, false}) {
            const QString rows = serviceRows(branch, event, receipts);
            qint64 amount =
                selectSum(QStringLiteral("select sum(A.PRICE) as C_SUM") + rows, date, transaction);
            if (!receipts) amount = -amount;
            QString numbers;
            QString names;
            if (amount != 0) {
                // The rows' owners joined straight to their contracts of the branch: the same numbers
                // as nested "in" lists, without a pass over every contract.
                const bool contractEvent = event == astCONTRACT || event == astSALEDOWN;
                numbers = contractNumbers(
                    QStringLiteral(" select distinct PC.CONTRACT_NUM AS C_NUM from ADD_SERVICES A join "
                                   "DIR_ADD_SERVICES DAS on DAS.ID = A.ID_SERVICE ") +
                        (contractEvent ? QStringLiteral("join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = A.ID_OBJ")
                                       : QStringLiteral("join PENALTY_OPERATIONS PO on PO.OP_ID = A.ID_OBJ join "
                                                        "PENALTY_CONTRACTS PC on PC.CONTRACT_ID = PO.DEPOSIT_ID")) +
                        QStringLiteral(" where A.DATA = :DATE_FOR and A.PRICE %1 0 and DAS.ID_EVENT = %2 and "
                                       "PC.FILIAL_ID = %3 order by 1")
                            .arg(receipts ? QStringLiteral(">") : QStringLiteral("<"))
                            .arg(event)
                            .arg(branch),
                    date, transaction, QStringLiteral(","));
                ufb::AutoQuery q(QStringLiteral("select distinct A.NAME as NAME") + rows, transaction);
                q->setParam(QStringLiteral("DATE_FOR"), date);
                q->open();
                names = udb::joinFieldValues(*q.get(), QStringLiteral("NAME"), QStringLiteral("; "));
            }
            const cashcalc::Template& t = templates.get(receipts ? QStringLiteral("RECEIPT_SERVICE")
                                                                 : QStringLiteral("EXPENSE_SERVICE"));
            const QString subject = t.subject + u' ' + numbers;
            WarrantInfo order;
            storeDayOrder(order, t, date, branch, marker, amount, subject,
                          t.foundation + QStringLiteral(": ") + names.toLower(), subject, dayOrders, event);
            order.SetField(WarrantInfo::wID_SERVICE_EVENT, event);
            cashcalc::storeOrder(order, branch, transaction);
        }
    }

    // A day left without any order follows the setting again.
    {
        ufb::AutoQuery q(
            QStringLiteral("SELECT first 1 id from warrantes where W_DATE = :DATE_FOR and ID_FILIAL = ") +
                num(branch),
            transaction);
        q->setParam(QStringLiteral("DATE_FOR"), date);
        q->open();
        if (!q->eof()) return;
    }
    fb::Statement st(transaction);
    st.setSql(QStringLiteral("delete from registers where R_DATE = :DATE_FOR and ID_FILIAL =") + num(branch));
    st.setParam(QStringLiteral("DATE_FOR"), date);
    st.execute();
}

}  // namespace TolvLogic
