#pragma once
// A pledge-loan contract as the contract editor works it without its window: the defaults of a new
// contract and the loading of a stored one, the fields and how they drive each other (rates and term,
// loan sum and valuation, credit limits, terms from the terms filler, numbering, dollar indexation),
// the services of the contract event, the documents that apply, the rights to change the contract,
// and the save: the checks in their order, the contract with its items, services and cash orders and
// the loan-issue receipt in the dialog's one transaction, committed whole or undone to where it was.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/core/Exception.h"
#include "u_ContractPrmsFiller.h"

namespace fb {
class Database;
class Transaction;
}  // namespace fb
namespace KassRegister {
class FiscalRegister;
}

namespace TolvLogic {

class FilialsDir;
class NewContractService;
class ServicesCashType;
class TPenaltyContractInfo;
class TPenaltyContracts;

// A check before saving refused a field; the window focuses it and shows the text.
class ContractFieldError : public core::Exception {
public:
    enum Field {
        fNumber,
        fDate,
        fClient,
        fFilial,
        fSubjects,
        fSubjPrice,
        fStorage,
        fPerc,
        fPenaltyPerc,
        fDollarPrice,
        fPlace,
        fDepositType,
        fPenaltyDays
    };
    ContractFieldError(Field field, QString text) : core::Exception(std::move(text)), field_(field) {}
    Field field() const { return field_; }

private:
    Field field_;
};

// The commit failed after the register had closed the loan-issue receipt: nothing is stored.
class ContractReceiptWithoutSave : public core::Exception {
public:
    using core::Exception::Exception;
};

// How a field is drawn: in the window text colour, blue (a warning or an earlier value) or red.
enum class FieldLook { Normal, Blue, Red };

// One entry of the documents to print: the event's code, the suffix that tells the dialog's own
// events apart, and the caption beside its templates.
struct ContractDocument {
    QString code;
    QString suffix;
    QString caption;
    friend bool operator==(const ContractDocument&, const ContractDocument&) = default;
};

// What the user may change, as the access rules give it.
struct ContractAccess {
    bool edit = false;          // the contract may be changed
    bool full = false;          // ... and the user is a manager
    bool forceOffered = false;  // "*": only the contract's operations stand in the way
    bool calcExchange = false;  // the dollar indexation box
    bool calcExchangeIfIncrease = false;
    bool dollarReadOnly = true;
};

// The editor's term field, kept as values: the filler fills it, the window mirrors it.
class TermModel : public TermField {
public:
    void setItems(const QStringList& items) override { items_ = items; }
    int itemCount() const override { return static_cast<int>(items_.size()); }
    QString itemText(int index) const override { return items_.value(index); }
    void setPickOnly(bool pickOnly) override { pickOnly_ = pickOnly; }
    void setText(const QString& text) override { text_ = text; }
    void select(int index) override { text_ = items_.value(index); }
    void fireChange() override {
        if (onChange) onChange();
    }

    const QStringList& items() const { return items_; }
    bool pickOnly() const { return pickOnly_; }
    const QString& text() const { return text_; }
    std::function<void()> onChange;

private:
    QStringList items_;
    bool pickOnly_ = false;
    QString text_;
};

class ContractEditor {
public:
    enum class SaveResult { Saved, NotWritten };

    // Starts the dialog's transaction and opens the own branches; none raises IDS_0.
    explicit ContractEditor(fb::Database* database, TPenaltyContracts* contracts);
    // Rolls back the transaction when it is still active; the services go first, in it.
    ~ContractEditor();
    ContractEditor(const ContractEditor&) = delete;
    ContractEditor& operator=(const ContractEditor&) = delete;

    // A new contract for the work date, to be issued on the register (none: no receipt).
    void setNew(core::DateTime workDate, KassRegister::FiscalRegister* fiscalRegister);
    // A stored contract; a missing one raises the contract's error.
    void loadContract(int contractId, core::DateTime workDate);

    // ---- the user's changes, each as the window's change handler does it ----
    void setFilial(int filialId);
    void setDate(core::DateTime date);
    void setNumber(const QString& number) { number_ = number; }
    void setClient(int clientId, const QString& name);
    void setPlace(int placeId);
    // The pledge type; false when the user declined dropping the items listed.
    bool setDepositType(int depositTypeId);
    void setTermText(const QString& text);
    // Percent a day; the whole-term percent follows. A negative value is taken positive.
    void setDayPerc(double perc);
    void setPerc(double perc);
    void setPenaltyPerc(double perc);
    void setMinAccrualDays(int days) { minAccrualDays_ = days; }
    void setExceedDays(int days);
    void setDollarPrice(double price) { dollarPrice_ = price; }
    // The loan sum in hundredths; spread over the items unless it came from them.
    void setDepositSum(qint64 hundredths);
    // The loan sum to a whole unit, halves to even.
    void roundDepositSum();
    void setNote(const QString& note) { note_ = note; }
    void setCalcPercWithPenalty(bool on) { calcPercWithPenalty_ = on; }
    void setPenaltyFromRetSum(bool on) { penaltyFromRetSum_ = on; }
    void setPrivInExceed(bool on) { privInExceed_ = on; }
    void setCalcExchange(bool on);
    void setCalcExchangeIfIncrease(bool on) { calcExchangeIfIncrease_ = on; }
    // The storage terms (the value in units for type 1, in percent for types 2 and 3).
    void setStorage(int type, double value, int minDays, bool startWithPenalty);
    // A daily fee typed in the fee field: a fixed sum.
    void setStorageSum(double units);
    // The pledged items changed: sums, services and limits follow.
    void subjectsChanged();
    // The confirmation of changing a contract that has operations; true when given.
    bool confirmForcedEdit();

    // ---- the save ----
    // The checks in their order; false stops the save when the user was already told.
    bool checkFields();
    // Checks, copies the fields, stores and, for a new contract, prints the receipt and commits.
    // NotWritten and exceptions leave nothing of this save written; a second call after Saved saves
    // nothing more. The per-user defaults are written after the commit; a failure there is shown.
    SaveResult save();

    // ---- state ----
    bool editMode() const { return editMode_; }
    bool forcedEdit() const { return forcedEdit_; }
    bool isSaved() const { return saved_; }
    bool isImport() const;
    int savedContractId() const { return savedId_; }
    core::DateTime workDate() const { return workDate_; }
    TPenaltyContractInfo* contract() const { return contract_.get(); }
    fb::Transaction* transaction() const { return trn_.get(); }
    FilialsDir* filials() const { return filials_.get(); }
    NewContractService* services() const { return services_.get(); }
    ContractPrmsFiller* termsFiller() const { return termsFiller_.get(); }
    TermModel& term() { return term_; }

    QString caption() const { return caption_; }
    QString saveCaption() const;
    int filialId() const { return filialId_; }
    const QString& number() const { return number_; }
    core::DateTime date() const { return date_; }
    QString clientName() const { return clientName_; }
    QString agentName() const { return agentName_; }
    QString placeName() const { return placeName_; }
    QString depositTypeName() const { return depositTypeName_; }
    QString depositTypeCode() const { return depositTypeCode_; }
    // The per-user section of the items' column widths.
    QString subjGridSection() const;
    int penaltyDays() const;
    double dayPerc() const { return dayPerc_; }
    double perc() const { return perc_; }
    double penaltyPerc() const { return penaltyPerc_; }
    int minAccrualDays() const { return minAccrualDays_; }
    int exceedDays() const { return exceedDays_; }
    double dollarPrice() const { return dollarPrice_; }
    qint64 subjPrice() const { return subjPrice_; }
    qint64 depositSum() const { return depositSum_; }
    // The loan sum less the services' price, hundredths.
    qint64 total() const;
    const QString& note() const { return note_; }
    bool calcPercWithPenalty() const { return calcPercWithPenalty_; }
    bool penaltyFromRetSum() const { return penaltyFromRetSum_; }
    bool privInExceed() const { return privInExceed_; }
    bool calcExchange() const { return calcExchange_; }
    bool calcExchangeIfIncrease() const { return calcExchangeIfIncrease_; }
    bool offFlag() const { return offFlag_; }
    int storageType() const { return storageType_; }
    double storageValue() const { return storageValue_; }
    int storageMinDays() const { return storageMinDays_; }
    bool storageStartWithPenalty() const { return storageStartWithPenalty_; }
    // The daily storage fee in hundredths.
    qint64 storageSum() const;

    // The two-line hints of the rate fields: the first line and the money the rate stands for.
    QString dayPercHint() const;
    QString percHint() const;
    QString penaltyPercHint() const;
    FieldLook depositSumLook() const { return depositSumLook_; }
    QString depositSumHint() const { return depositSumHint_; }
    FieldLook dollarLook() const { return dollarLook_; }
    QString exchangeLabel() const;
    QString exchangeHint() const;

    const std::vector<ContractDocument>& documents() const { return documents_; }
    bool hasDocument(const QString& code, const QString& suffix = {}) const;
    ContractAccess access() const;
    // The contract may be changed (with forced: as if the change were confirmed).
    bool canEdit(bool forced) const;
    bool canEdit() const { return canEdit(forcedEdit_); }
    // The branch's cash orders on the date follow the detailed method.
    bool detailCashMethod() const;

    // Told after the logic changed values the window shows, and after the documents changed.
    std::function<void()> onChanged = [] {};
    // Asked after the checks, before the receipt and before the commit; tests' fault hooks.
    std::function<void()> beforeWrite = [] {};
    std::function<void()> beforeReceipt = [] {};
    std::function<void()> beforeCommit = [] {};

    // The texts of this unit's translator keys in the language (1 Russian, 2 Ukrainian).
    static std::vector<std::pair<QString, QString>> scTexts(int language);
    // One of this unit's texts in the interface language ("IDS_0" ...).
    static QString text(const char* id);

private:
    void requireTransaction();
    void genContractNum();
    void dateOrFilialChanged();
    void initServices(core::DateTime date);
    void servicesChanged();
    void applyDepositType(int depositTypeId);
    void fillTerms(int reason);
    void applyCreditLimits();
    void applyExchange();
    void initDollarPrice();
    void perDayFromWhole();
    void wholeFromPerDay();
    void addDocument(const QString& code, const QString& suffix, const QString& caption);
    void removeDocument(const QString& code, const QString& suffix = {});
    void termChanged();
    void refreshStorageSum();
    void copyFieldsToContract();
    [[noreturn]] void fieldError(ContractFieldError::Field field, const char* id) const;
    QString hintMoney(double units) const;
    bool numberTaken(const QString& number, fb::Transaction* transaction) const;
    SaveResult writeNew(bool& receiptClosed);
    void writeExisting();
    bool undo();
    void saveUserDefaults();

    fb::Database* database_;
    TPenaltyContracts* contracts_;
    KassRegister::FiscalRegister* fiscalRegister_ = nullptr;
    // Declared before what works in it: destroyed last.
    std::unique_ptr<fb::Transaction> trn_;
    std::unique_ptr<FilialsDir> filials_;
    std::unique_ptr<ContractPrmsFiller> termsFiller_;
    std::unique_ptr<TPenaltyContractInfo> contract_;
    std::unique_ptr<NewContractService> services_;
    std::unique_ptr<ServicesCashType> servicesCash_;
    TermModel term_;
    std::vector<ContractDocument> documents_;

    bool editMode_ = false;
    bool forcedEdit_ = false;
    bool subjectsSync_ = false;
    bool loading_ = false;
    bool saved_ = false;
    bool renumbered_ = false;
    int savedId_ = -1;
    core::DateTime workDate_;
    QString caption_;
    int filialId_ = 0;
    QString number_;
    QString proposedNumber_;  // the number generated last; still in the field: taken again when saving
    core::DateTime date_;
    QString clientName_;
    QString agentName_;
    QString placeName_;
    QString depositTypeName_;
    QString depositTypeCode_;
    double dayPerc_ = 0;
    double perc_ = 0;
    double penaltyPerc_ = 0;
    int minAccrualDays_ = 0;
    int exceedDays_ = 0;
    double dollarPrice_ = 0;
    qint64 subjPrice_ = 0;
    qint64 depositSum_ = 0;
    QString note_;
    bool calcPercWithPenalty_ = true;
    bool penaltyFromRetSum_ = false;
    bool privInExceed_ = false;
    bool calcExchange_ = false;
    bool calcExchangeIfIncrease_ = false;
    bool offFlag_ = false;
    int storageType_ = 1;
    double storageValue_ = 0;
    int storageMinDays_ = 0;
    bool storageStartWithPenalty_ = false;
    FieldLook depositSumLook_ = FieldLook::Normal;
    QString depositSumHint_;
    FieldLook dollarLook_ = FieldLook::Normal;
    mutable std::optional<std::pair<int, int>> cashMethod_;  // branch and day it was read for
    mutable int cashMethodValue_ = 0;
    mutable qint64 servicesTotal_ = 0;
};

}  // namespace TolvLogic
