#pragma once
// A payment or a loan increase on one contract, as the operation dialog works it without its window:
// the contract's debt on the operation date, the paid sum split over penalty, interest, storage fee
// and principal in integer hundredths, the kind of the operation and how it follows the sum, the
// services of the operation's event, which documents apply, the rights to change a stored operation,
// the checks before saving, and the save itself: the operation with its services, closing and cash
// orders and the fiscal receipt in the dialog's one transaction, committed whole or undone whole.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "kv_Translator.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "u_AddServices.h"
#include "u_PercCalc.h"

namespace fb {
class Database;
class Transaction;
}  // namespace fb
namespace KassRegister {
class FiscalRegister;
}

namespace TolvLogic {

class TPenaltyContractInfo;
class TPenaltyContracts;
class TPenaltyOperationInfo;
class TPenaltyOperations;

// The item index of the kind list.
enum OperationKind { okREPAY = 0, okREPLEDGE = 1, okCLOSE = 2, okINCREASE = 3 };

// A check before saving refused a field; the window focuses it and shows the text.
class OperationFieldError : public core::Exception {
public:
    enum Field { fNumber, fDate, fClient, fSum };
    OperationFieldError(Field field, QString text) : core::Exception(std::move(text)), field_(field) {}
    Field field() const { return field_; }

private:
    Field field_;
};

// The commit failed after the register had closed the receipt: nothing is stored.
class ReceiptWithoutPayment : public core::Exception {
public:
    using core::Exception::Exception;
};

// The five debt labels: what each debt becomes, and the part the operation takes of it.
struct DebtLabels {
    QString base;
    QString storage;
    QString perc;
    QString penalty;
    QString total;
};

class OperationPayment {
public:
    enum class SaveResult { Saved, NotWritten };

    // The shared lists the save goes through (the program's TVersionConfig holds them).
    OperationPayment(fb::Database* database, TPenaltyOperations* operations, TPenaltyContracts* contracts);
    // Rolls back the transaction when it is still active; the services go first, in it.
    ~OperationPayment();
    OperationPayment(const OperationPayment&) = delete;
    OperationPayment& operator=(const OperationPayment&) = delete;

    // Opening: the contract, the operation (-1 a new one) and the date (0: today). A new operation
    // takes the remembered kind when the database says so (an increase opens as a repayment).
    void open(int contractId, int opId, core::DateTime date, KassRegister::FiscalRegister* fiscalRegister);

    // The user's changes (each as the dialog's change handler does it).
    void setDate(core::DateTime date);
    void setIncludeCurDay(bool on);
    // A kind outside 0..3 raises IDS_6.
    void setKind(int kind);
    // Units as the sum field holds them; a negative sum is taken as its absolute value, and a sum
    // that does not fit becomes 0 and raises.
    void setSum(double units);
    void setNote(const QString& note) { note_ = note; }
    // The confirmation of changing an operation that others follow; true when given.
    bool confirmForcedEdit();

    // The save behind OK. NotWritten leaves the dialog open with its input; exceptions leave nothing
    // written either. A second call after Saved saves nothing more.
    SaveResult save();

    // State.
    bool isNew() const { return opId_ == -1; }
    bool isPayment() const;
    int kind() const { return kind_; }
    int opId() const { return opId_; }
    int savedOpId() const { return savedOpId_; }
    bool isSaved() const { return saved_; }
    core::DateTime opDate() const { return opDate_; }
    int nonCalcDays() const { return includeCurDay_ ? 0 : 1; }
    bool includeCurDay() const { return includeCurDay_; }
    // The sum field: hundredths, and whether the user may type it (not for a closing).
    qint64 sum() const { return sum_; }
    bool sumEnabled() const { return kind_ != okCLOSE; }
    const DebtSums& debt() const { return debt_; }
    const DebtSums& opSums() const { return opSums_; }
    const QString& note() const { return note_; }
    bool forcedEdit() const { return forcedEdit_; }
    TPenaltyContractInfo* contract() const { return contract_.get(); }
    TPenaltyOperationInfo* operation() const { return operation_.get(); }
    fb::Transaction* transaction() const { return trn_.get(); }
    NewOperationService* services() const { return services_.get(); }
    ServicesCashType* servicesCash() const { return servicesCash_.get(); }
    bool operationFound() const { return operationFound_; }

    bool paysChargesOnly() const;
    bool isClosedOnOperationDate() const;
    // The kind whose documents and services apply: a closing when the operation pays the whole debt.
    int documentKind() const;
    // Whether the increase kind is offered: a manager, or agents allowed, and no dollar indexing.
    bool canIncrease() const;
    bool canEdit() const;
    // The button offering a forced change shows when only the position of the operation stands in the
    // way.
    bool offersForcedEdit() const;
    bool isImport() const;
    // The cash orders of the operation date follow the detail method: cash-order documents apply.
    bool detailCashMethod() const;
    // The services split by sign has a receipt part above 0 / an expense part below 0.
    bool hasServiceReceipts() const;
    bool hasServiceExpenses() const;

    // The document events a kind brings into the choice and takes out of it (the cash-order events only
    // under the detail method); nothing for another kind.
    struct DocumentEvents {
        QStringList removed;
        QStringList added;
    };
    DocumentEvents documentEvents(int kind) const;
    // The operation's automatic cash order of the template ("RECEIPT_DEPOSIT" ...), -1 when none.
    static int automaticOrderId(int opId, const QString& code);

    DebtLabels labels() const;
    // "Итого к оплате " or "Итого к выдаче " and the amount with two decimals.
    qint64 operationTotal() const;
    QString operationTotalCaption() const;
    QString operationTotalValue() const;
    QString contractNumber() const;
    QString clientName() const;
    QString agentName() const;

    // The checks before saving, in their order (IDS_2, 3, 4, 5, 18).
    void validate() const;

    // Told when the services list is replaced (another event) and when its rows change.
    std::function<void()> onServicesReplaced = [] {};
    std::function<void()> onServicesChanged = [] {};
    // Asked before the fiscal receipt, with the transaction's writes done; a test's fault hook.
    std::function<void()> beforeReceipt = [] {};

    // The remembered kind of the per-user interface file.
    static int scRememberedKind();
    // The texts of this unit's translator keys in the language (1 Russian, 2 Ukrainian).
    static std::vector<std::pair<QString, QString>> scTexts(int language);
    // One of this unit's texts in the interface language ("IDS_10", "opVid0" ...).
    static QString text(const char* id);

private:
    void loadContract(int contractId);
    void loadOperation(int opId);
    void recalcDebt();
    void splitSum();
    void fillChargesSum();
    void afterSplit();
    void dateChanged();
    // A list of the kind's event, unless it has one (renew: a new one all the same).
    void setServiceEvent(int kind, bool renew = false);
    void replaceServices(std::unique_ptr<NewOperationService> fresh);
    void servicesChanged();
    int penaltyDaysCur() const;
    void requireTransaction();

    // The writes of the save on the transaction; the receipt flag tells whether one was closed.
    SaveResult write(bool close, bool& receiptClosed);
    void undo(const AddServices::Snapshot& services, bool servicesExisted);

    fb::Database* database_;
    TPenaltyOperations* operations_;
    TPenaltyContracts* contracts_;
    KassRegister::FiscalRegister* fiscalRegister_ = nullptr;
    // Declared before what works in it: destroyed last.
    std::unique_ptr<fb::Transaction> trn_;
    std::unique_ptr<TPenaltyContractInfo> contract_;
    std::unique_ptr<TPenaltyOperationInfo> operation_;
    std::unique_ptr<PercCalc> calc_;
    std::unique_ptr<NewOperationService> services_;
    std::unique_ptr<ServicesCashType> servicesCash_;
    DebtSums debt_;
    DebtSums opSums_;
    int opId_ = -1;
    int savedOpId_ = -1;
    core::DateTime opDate_;
    int kind_ = okREPAY;
    qint64 sum_ = 0;
    QString note_;
    bool includeCurDay_ = true;
    bool loading_ = false;
    bool forcedEdit_ = false;
    bool skipOpSumParam_ = false;
    bool operationFound_ = false;
    bool saved_ = false;
    bool deferReprice_ = false;
    bool repricePending_ = false;
    // The day and the days left out the debt was last computed for; the calculation method of a day.
    std::optional<std::pair<int, int>> debtKey_;
    mutable std::optional<std::pair<int, int>> cashMethod_;
};

// Hundredths as the shortest decimal text with "." ("1000", "999.99", "-120").
QString hundredthsText(qint64 hundredths);

}  // namespace TolvLogic
