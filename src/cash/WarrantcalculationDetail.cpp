// The detailed method: one order per movement (loan, credit increase, repayment, sale, services of a
// movement), each in the numbered register of its day, branch, type and the contract's pledge type.
// Only the movement the code names is regenerated, with the services passed with it.

#include <optional>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "PenaltyWarrants.h"
#include "TClients.h"
#include "Warrantcalculation.h"
#include "WarrantcalculationSteps.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Valuta.h"
#include "platform/data/Dataset.h"
#include "platform/data/MemTable.h"
#include "platform/fb/Transaction.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;
using Op = TPenaltyOperationInfo;

namespace {

constexpr int kReceipt = 1;
constexpr int kExpense = 2;

qint64 opValue(const TPenaltyOperationInfo& operation, int column) {
    const Variant value = operation.getValue(column);
    return value.isEmpty() ? 0 : value.toInt64();
}

// A money share in units: 150.00 is written 150, 12.50 is written 12.5.
QString units(qint64 hundredths) {
    return QString::number(static_cast<double>(hundredths) / 100.0, 'g', 15);
}

// What every order of one regeneration shares.
struct Movement {
    DateTime date;
    TPenaltyContractInfo& contract;
    TPenaltyOperationInfo* operation;
    int branch;
    int pledgeType;
    fb::Transaction* transaction;
    cashcalc::Templates& templates;

    // The register of the day, type and pledge type; made when there is none. Another workstation's
    // register of the same key not committed yet is waited for, never doubled.
    int getRegister(int type) const {
        int id = -1;
        cashcalc::retryWhileBusy(
            [&] {
                RegisterInfo reg;
                reg.setDatabase(transaction->defaultDatabase());
                id = reg.loadOrInit(branch, type, date, pledgeType, transaction)
                         ? reg.GetField(RegisterInfo::rID).toInt()
                         : reg.insertNumbered(transaction);
                return true;
            },
            date);
        return id;
    }

    // Read once per regeneration, on its transaction.
    const QString& clientName() const {
        if (!clientName_) clientName_ = contract.getClientName(transaction);
        return *clientName_;
    }
    const QString& passport() const {
        if (!passport_) {
            passport_ = TClients::PassportInfoById(
                contract.getContractValue(TPenaltyContractInfo::cCLIENT_ID).toInt(), transaction);
        }
        return *passport_;
    }
    mutable std::optional<QString> clientName_;
    mutable std::optional<QString> passport_;

    // The order of the template for this contract (and operation); the values every kind writes.
    void prepare(WarrantInfo& order, const cashcalc::Template& t, int reg, bool withOperation,
                 std::optional<int> serviceEvent = std::nullopt) const {
        const TPenaltyOperationInfo* op = withOperation ? operation : nullptr;
        order.loadOrInit(date, t.id, contract, op, transaction, serviceEvent);
        order.SetField(WarrantInfo::wW_TYPE, t.type);
        order.SetField(WarrantInfo::wACCOUNT_NUMBER, t.account);
        order.SetField(WarrantInfo::wID_FILIAL, branch);
        order.SetField(WarrantInfo::wID_CONTRACT,
                       contract.getContractValue(TPenaltyContractInfo::cCONTRACT_ID));
        order.SetField(WarrantInfo::wID_REGISTER, reg);
        if (op) order.SetField(WarrantInfo::wID_OPERATION, op->getValue(Op::oOP_ID));
    }
};

// The services of one cash kind: the rows priced 0 or more are received, those below 0 paid out.
class ServicesOfKind {
public:
    ServicesOfKind(data::Dataset& rows, bool receipts) {
        list_.addField(QStringLiteral("NAME"), data::DataType::String, 255);
        list_.addField(QStringLiteral("PRICE"), data::DataType::LargeInt);
        list_.open();
        if (!rows.active()) return;
        const int recNo = rows.recNo();
        data::Field& name = rows.fieldByName(QStringLiteral("NAME"));
        data::Field& price = rows.fieldByName(QStringLiteral("PRICE"));
        for (rows.first(); !rows.eof(); rows.next()) {
            const qint64 value = price.isNull() ? 0 : price.value().toInt64();
            if ((value >= 0) != receipts) continue;
            list_.append();
            list_.fieldByName(QStringLiteral("NAME")).setValue(name.value());
            list_.fieldByName(QStringLiteral("PRICE")).setValue(value);
            list_.post();
        }
        if (recNo > 0) rows.setRecNo(recNo);
    }
    data::Dataset& list() { return list_; }

private:
    data::MemTable list_;
};

void issueStep(const Movement& m, int reg) {
    const cashcalc::Template& t = m.templates.get(QStringLiteral("EXPENSE_DEPOSIT"));
    WarrantInfo order;
    m.prepare(order, t, reg, m.operation != nullptr);
    // A credit increase's OP_SUM is negative.
    const qint64 amount = m.operation ? -opValue(*m.operation, Op::oOP_SUM)
                                      : m.contract.getDepositInt(TPenaltyContractInfo::dDEPOSIT_SUM);
    order.SetField(WarrantInfo::wW_SUM, amount);
    order.SetField(WarrantInfo::wOPERATION_SUBJECT, m.clientName());
    order.SetField(WarrantInfo::wFOUNDATION,
                   t.foundation + QStringLiteral(". ") + m.contract.genWarrantFoundation());
    order.SetField(WarrantInfo::wADDITION, QStringLiteral(" "));
    order.SetField(WarrantInfo::wIDENTIFICATION_DATA, m.passport());
    cashcalc::storeOrder(order, m.branch, m.transaction);
}

void repaymentStep(const Movement& m, int reg) {
    const TPenaltyOperationInfo& op = *m.operation;
    const cashcalc::Template& main = m.templates.get(QStringLiteral("RECEIPT_DEPOSIT"));
    WarrantInfo order;
    m.prepare(order, main, reg, true);
    const qint64 total = opValue(op, Op::oOP_SUM) + opValue(op, Op::oOP_STORAGE_SUM) +
                         opValue(op, Op::oOP_PERC_SUM) + opValue(op, Op::oOP_PENALTY_SUM);
    // For a date the repayment no longer has, its order of that date goes.
    if (op.getValue(Op::oOP_DATE).toDateTime() != m.date || total == 0) {
        order.SetField(WarrantInfo::wW_SUM, 0);
        cashcalc::storeOrder(order, m.branch, m.transaction);
        return;
    }
    struct Share {
        int column;
        const char* code;
        int warrantColumn;
    };
    static constexpr Share shares[] = {{Op::oOP_SUM, "RECEIPT_DEPOSIT", WarrantInfo::wCREDIT_SUM},
                                       {Op::oOP_STORAGE_SUM, "RECEIPT_STORAGE", WarrantInfo::wSTORAGE_SUM},
                                       {Op::oOP_PERC_SUM, "RECEIPT_PERCENT", WarrantInfo::wPERC_SUM},
                                       {Op::oOP_PENALTY_SUM, "RECEIPT_PENALTY", WarrantInfo::wPENALTY}};
    QString foundation;
    QString account;
    int count = 0;
    for (const Share& share : shares) {
        const qint64 value = opValue(op, share.column);
        order.SetField(share.warrantColumn, value == 0 ? Variant::null() : Variant(value));
        if (value <= 0) continue;
        const cashcalc::Template& t = m.templates.get(QString::fromLatin1(share.code));
        if (!foundation.isEmpty()) foundation += QStringLiteral("; ");
        foundation += t.foundation + u' ' + units(value) + utl::Valuta::getValutaName();
        account = t.account;
        ++count;
    }
    order.SetField(WarrantInfo::wACCOUNT_NUMBER, count == 1 ? account : QString());
    order.SetField(WarrantInfo::wFOUNDATION,
                   foundation + QStringLiteral(". ") + m.contract.genWarrantFoundation());
    order.SetField(WarrantInfo::wW_SUM, total);
    order.SetField(WarrantInfo::wOPERATION_SUBJECT, m.clientName());
    order.SetField(WarrantInfo::wADDITION, m.passport());
    order.SetField(WarrantInfo::wIDENTIFICATION_DATA, QString());
    cashcalc::storeOrder(order, m.branch, m.transaction);
}

void saleStep(const Movement& m, int reg, const QString& text) {
    const qint64 amount = WarrantCalculationManager::selectSum(
        QStringLiteral(
            " select sum(S.SALE_SUM) AS C_SUM from SALES S, PENALTY_CONTRACTS PC where "
            "PC.CONTRACT_CLOSE=:DATE_FOR and S.IS_CREATE_WARRANT = 1 and S.CONTRACT_ID = PC.CONTRACT_ID "
            "and PC.CONTRACT_ID = ") +
            QString::number(m.contract.getContractValue(TPenaltyContractInfo::cCONTRACT_ID).toInt()),
        m.date, m.transaction);
    const cashcalc::Template& t = m.templates.get(QStringLiteral("RECEIPT_SALE"));
    WarrantInfo order;
    m.prepare(order, t, reg, false);
    // Set after the lookup: a changed sale sum reaches the stored order too.
    order.SetField(WarrantInfo::wREAL_SUM, amount);
    order.SetField(WarrantInfo::wW_SUM, amount);
    order.SetField(WarrantInfo::wOPERATION_SUBJECT, text.isEmpty() ? m.clientName() : text);
    order.SetField(WarrantInfo::wFOUNDATION,
                   t.foundation + QStringLiteral(". ") + m.contract.genWarrantFoundation());
    order.SetField(WarrantInfo::wADDITION, QStringLiteral(" "));
    order.SetField(WarrantInfo::wIDENTIFICATION_DATA, QString());
    cashcalc::storeOrder(order, m.branch, m.transaction);
}

// The order of one kind of services of one event. Its register is made only when there is an order to
// keep: a list without services of that kind (as the callers pass for a date the object left) uses up
// no register number.
void serviceOrder(const Movement& m, int type, data::Dataset& list, int event) {
    const qint64 amount = std::llabs(static_cast<qint64>(udb::sumField(list, QStringLiteral("PRICE"))));
    const cashcalc::Template& t = m.templates.get(type == kReceipt ? QStringLiteral("RECEIPT_SERVICE")
                                                                   : QStringLiteral("EXPENSE_SERVICE"));
    WarrantInfo order;
    m.prepare(order, t, -1, m.operation != nullptr, event);
    if (order.GetField(WarrantInfo::wID).toInt() == -1 && amount == 0) return;
    order.SetField(WarrantInfo::wID_REGISTER, m.getRegister(type));
    order.SetField(WarrantInfo::wID_SERVICE_EVENT, event);
    order.SetField(WarrantInfo::wW_SUM, amount);
    order.SetField(WarrantInfo::wOPERATION_SUBJECT, m.clientName());
    const QString names = udb::joinFieldValues(list, QStringLiteral("NAME"), QStringLiteral(","));
    order.SetField(WarrantInfo::wFOUNDATION,
                   t.foundation + QStringLiteral(": ") +
                       (names + QStringLiteral(". ") + m.contract.genWarrantFoundation()).toLower());
    order.SetField(WarrantInfo::wADDITION, m.passport());
    order.SetField(WarrantInfo::wIDENTIFICATION_DATA, QString());
    cashcalc::storeOrder(order, m.branch, m.transaction);
}

void serviceOrders(const Movement& m, data::Dataset& rows, int event) {
    ServicesOfKind expenses(rows, false);
    ServicesOfKind receipts(rows, true);
    serviceOrder(m, kExpense, expenses.list(), event);
    serviceOrder(m, kReceipt, receipts.list(), event);
}

// The list's services, then those of the object's other events as stored for the day: a change of
// the object must not leave the orders of its other services behind (a deleted repayment's own
// services when the list passed is its closing one).
void calcServices(const Movement& m, ServicesList& services) {
    const int event = services.getEvent();
    serviceOrders(m, services.rows(), event);
    const bool ofOperation = m.operation != nullptr;
    const int object = ofOperation ? m.operation->getValue(Op::oOP_ID).toInt()
                                   : m.contract.getContractValue(TPenaltyContractInfo::cCONTRACT_ID).toInt();
    const std::vector<int> events = ofOperation ? std::vector<int>{astOP_PAY, astOP_INC, astCLOSE}
                                                : std::vector<int>{astCONTRACT, astSALEDOWN};
    for (const int other : events) {
        if (other == event) continue;
        ufb::AutoQuery stored(
            QStringLiteral("select A.NAME, A.PRICE from ADD_SERVICES A join DIR_ADD_SERVICES DAS on "
                           "DAS.ID = A.ID_SERVICE where A.ID_OBJ = %1 and A.DATA = :DATE_FOR and "
                           "DAS.ID_EVENT = %2 order by A.ID")
                .arg(object)
                .arg(other),
            m.transaction);
        stored->setParam(QStringLiteral("DATE_FOR"), m.date);
        stored->open();
        serviceOrders(m, *stored.get(), other);
    }
}

}  // namespace

WarrantCalculationDetail::~WarrantCalculationDetail() = default;

void WarrantCalculationDetail::recalc(DateTime date, TPenaltyContractInfo& contract, const QString& code,
                                      TPenaltyOperationInfo* operation, ServicesList* services,
                                      const QString& text) {
    const Variant filial = contract.getContractValue(TPenaltyContractInfo::cFILIAL_ID);
    ufb::ChangeTransaction work(getTransaction(), database());
    cashcalc::Templates templates(work.get());
    const Movement m{
        date,       contract, operation, filial.isEmpty() ? 0 : filial.toInt(), contract.getIdDepositeType(),
        work.get(), templates};
    if (code == QLatin1String("EXPENSE_DEPOSIT")) {
        issueStep(m, m.getRegister(kExpense));
        if (services) calcServices(m, *services);
    } else if (code == QLatin1String("RECEIPT_DEPOSIT")) {
        const int reg = m.getRegister(kReceipt);
        // Without an operation there is no repayment to write; its services still are.
        if (operation) repaymentStep(m, reg);
        if (services) calcServices(m, *services);
    } else if (code == QLatin1String("RECEIPT_SALE")) {
        saleStep(m, m.getRegister(kReceipt), text);
    } else if (code == QLatin1String("RECEIPT_SERVICE") || code == QLatin1String("EXPENSE_SERVICE")) {
        if (services) calcServices(m, *services);
    }
    for (const int type : {kReceipt, kExpense}) {
        RegisterInfo reg;
        if (reg.loadOrInit(m.branch, type, date, m.pledgeType, m.transaction))
            reg.deleteIfEmpty(m.transaction);
    }
    work.commit();
}

}  // namespace TolvLogic
