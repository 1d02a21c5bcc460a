#pragma once
// Additional services: the services list of one object and one event (AddServices and its per-event
// classes), which dialogs show in the services frame and store with their contract or operation; the
// split of a list by sign into the receipt and expense lists of the cash orders (ServicesCashType);
// the editable directory of services (DirAddServices); the tax letters of each service kept in the
// settings file (DirAddServicesTax); and the factory the contract layer makes its lists with.
//
// Rows under object -1 (the object is not stored yet) belong to the list that made them: a list
// reads, moves, re-dates and deletes only its own, so that a list of another dialog or workstation
// never takes or drops them. They are written in the owner's transaction and are never committed
// while under -1: the owner's save moves or drops them first.

#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "kv_Interpretator.h"
#include "kv_QueryWrapper.h"
#include "kv_RxMemWrapper.h"
#include "platform/core/DateTime.h"
#include "u_ContractHooks.h"

namespace TolvLogic {

class DirAddServices;

// Event 255: all events (no event filter).
constexpr quint8 astALL = 255;

class AddServices : public ufb::UpdQueryWrapper, public ServicesList {
public:
    // The list of the event's services of the object (-1: a new object) on the date (0: today), in
    // the transaction (null: the program database with a transaction of the list's own). A new
    // object gets the event's automatic services, priced 0 until the first repricing. An event other
    // than 0..4 and 255 raises.
    AddServices(quint8 event, int objectId, core::DateTime date, fb::Transaction* transaction);
    // A list without an object: the parameters and their descriptions only; it opens nothing and
    // deletes nothing (the directory tries formulas with one).
    AddServices();
    // Deletes the list's own rows still under -1, in its transaction.
    ~AddServices() override;

    bool open() override;
    void assignGridEvents() override;
    // Forgets the grid it was bound to; the grid's owner calls it before the grid goes.
    void unbindGrid();

    quint8 getEvent() const override { return event_; }
    int getObjectId() const { return objectId_; }
    core::DateTime getDate() const { return date_; }
    data::Dataset& rows() override { return *getDataSet(); }

    // Stores the parameter (a new name is added) and, when asked, reprices the rows.
    void setParameter(const QString& name, const core::Variant& value, bool reprice);
    const Common::ParametrMap& parameters() const { return parameters_; }
    void setRecalcEnabled(bool on) { recalcEnabled_ = on; }
    bool isRecalcEnabled() const { return recalcEnabled_; }
    // Every row priced again from its directory formula; typed prices are overwritten.
    void recalc();
    // A row of the directory service, priced from its formula now.
    void addService(int serviceId, const QString& name);
    // Deletes the row with that ID (-1: the current row).
    void deleteService(int rowId = -1);
    // Moves the list's rows to the date; nothing for the date it has.
    void setDate(core::DateTime date);
    // Stores the rows under the object: a new object's rows move to it; rows priced 0.00 are dropped,
    // every other row is kept. Commits the transaction only when asked.
    void save(int objectId, bool commit) override;
    // The price total in hundredths: of the rows shown, or of the stored rows of the list's date.
    int getTotal(bool fromRows);
    // The price total of an object's services of an event, all dates (null transaction: its own).
    static int scGetSum(int objectId, quint8 event, fb::Transaction* transaction);
    // Deletes the object's rows of the event, all dates (only those priced 0 when asked); for object
    // -1 only the list's own rows.
    void deleteServices(int objectId, bool onlyZero);
    // The event's name and code; an unknown event raises.
    static QString scGetServiceName(quint8 event);
    static QString scGetServiceCode(quint8 event);
    // One line per parameter, "NAME - description", in ascending order of the names.
    static QString scGetParametersHelp();
    // Evaluates the formula with every parameter 1 (a bad one shows the evaluator's box).
    void testFormula(const QString& formula);
    // The PRICE column's footer: the stored total with two decimals.
    void updateFooter();

    // Called after every change of the rows; a no-op until the owner sets it.
    std::function<void()> onChange = [] {};

    // What a save changes in the list itself (its object, its own rows under -1, its date). A dialog
    // whose save its transaction undid back to a savepoint puts the list back over the rows, which are
    // again those of before the save, and reopens it.
    struct Snapshot {
        int objectId = -1;
        std::vector<int> newObjectIds;
        core::DateTime date;
    };
    Snapshot snapshot() const { return {objectId_, newObjectIds_, date_}; }
    void restore(const Snapshot& saved);

protected:
    void onAfterPost();

private:
    void init();
    void insertActiveServices();
    // " and <alias>ID in (...)" over the list's own rows, for statements on object -1: placeholders
    // (":OWN0", ...) that bindOwnRows fills, so the text depends on the number of rows, not their ids,
    // and the connection reuses it.
    QString ownRows(const QString& alias) const;
    void bindOwnRows(fb::Query& query) const;
    // Runs the statement on the object's transaction with ":OBJ" bound to the object, the own rows'
    // placeholders when it names them (own) and the further values given, committing it when the
    // object has no transaction.
    void exec(const QString& sql, int objectId, bool own,
              const std::vector<std::pair<QString, core::Variant>>& values = {});
    void enableGrid();

    bool recalcEnabled_ = true;
    Common::ParametrMap parameters_;
    Common::Interpretator interpretator_;
    bool noObject_ = false;
    std::vector<int> newObjectIds_;  // the rows of a new object the list owns
    core::DateTime date_;
    int objectId_ = -1;
    QString eventName_;
    QString eventCode_;
    quint8 event_ = astALL;
    std::map<QString, QString> descriptions_;
};

class AddServicesCommon : public AddServices {
public:
    AddServicesCommon(quint8 event, int objectId, core::DateTime date, fb::Transaction* transaction)
        : AddServices(event, objectId, date, transaction) {}
    void setContrSum(const core::Variant& value, bool reprice);
    void setContrPrice(const core::Variant& value, bool reprice);
    void setPenaltyDays(const core::Variant& value, bool reprice);
};

class NewContractService : public AddServicesCommon {
public:
    NewContractService(int objectId, core::DateTime date, fb::Transaction* transaction)
        : AddServicesCommon(astCONTRACT, objectId, date, transaction) {}
};

class TakingSaleDownService : public AddServicesCommon {
public:
    TakingSaleDownService(int objectId, core::DateTime date, fb::Transaction* transaction)
        : AddServicesCommon(astSALEDOWN, objectId, date, transaction) {}
    void setForSalePrice(const core::Variant& value, bool reprice);
};

class NewOperationService : public AddServicesCommon {
public:
    NewOperationService(quint8 event, int objectId, core::DateTime date, fb::Transaction* transaction)
        : AddServicesCommon(event, objectId, date, transaction) {}
    void setOpSum(const core::Variant& value, bool reprice);
    void setPenaltyDaysCur(const core::Variant& value, bool reprice);
};

class NewOperationPayService : public NewOperationService {
public:
    NewOperationPayService(int objectId, core::DateTime date, fb::Transaction* transaction)
        : NewOperationService(astOP_PAY, objectId, date, transaction) {}
};

class NewOperationIncService : public NewOperationService {
public:
    NewOperationIncService(int objectId, core::DateTime date, fb::Transaction* transaction)
        : NewOperationService(astOP_INC, objectId, date, transaction) {}
};

class NewContractCloseService : public NewOperationService {
public:
    NewContractCloseService(int objectId, core::DateTime date, fb::Transaction* transaction)
        : NewOperationService(astCLOSE, objectId, date, transaction) {}
};

// The per-event list of the event (the classes above).
std::unique_ptr<AddServices> createServices(quint8 event, int objectId, core::DateTime date,
                                            fb::Transaction* transaction);

// A services list split by sign: the receipt list (PRICE 0 or more) and the expense list (below 0),
// in-memory copies of the rows with the list's fields.
class ServicesCashType {
public:
    ServicesCashType(AddServices* services, bool splitNow);
    ~ServicesCashType();
    void split();
    ufb::RxMemWrapper* getReceipt() const { return receipt_.get(); }
    ufb::RxMemWrapper* getExpense() const { return expense_.get(); }

private:
    void fill(ufb::RxMemWrapper& list, bool receipts);

    AddServices* services_;
    std::unique_ptr<ufb::RxMemWrapper> receipt_;
    std::unique_ptr<ufb::RxMemWrapper> expense_;
};

// The directory of additional services for editing in the directory form, for one event or all
// (255); new rows are automatic and take the smallest free article number from 91.
class DirAddServices : public ufb::UpdQueryWrapper {
public:
    DirAddServices(quint8 event, fb::Transaction* transaction);
    ~DirAddServices() override;

    void assignGridEvents() override;
    virtual void BeforeDelete();
    virtual void AfterPost();
    virtual void getCellParams(int row, const grid::Column& column, grid::CellStyle& style);

    // FORMULA of the service for that event; empty when there is no such row.
    static QString scGetFormula(int serviceId, quint8 event);
    // ARTICLE_NUM of the service; a missing row or an empty number raises naming the service.
    static int scGetArticleNum(int serviceId);

    const std::vector<int>& usedArticles() const { return usedArticles_; }
    quint8 event() const { return event_; }

private:
    void mouseMove(int column);

    std::unique_ptr<AddServices> tester_;
    std::vector<int> usedArticles_;
    quint8 event_;
};

// The two tax letters of every directory service, read from and written to the settings file.
class DirAddServicesTax : public ufb::RxMemWrapper {
public:
    // names: what each tax index stands for; the list binds itself to the grid.
    DirAddServicesTax(const QStringList* names, grid::GridView* grid);
    void assignGridEvents() override;
    // TAX1 and TAX2 of every row back to the settings file; closes the list.
    void writeTaxes();
    static QString scGetTaxKey(int serviceId);

private:
    const QStringList* names_;
};

// The services lists and article numbers the contract layer asks for.
class ServicesFactoryImpl : public ServicesFactory {
public:
    std::unique_ptr<ServicesList> create(ServiceEvent event, int objectId, core::DateTime date,
                                         fb::Transaction* transaction) override;
    int articleNum(int serviceId) override;
};

// Installs the factory above for the rest of the process (the program's start).
void installServicesFactory();

}  // namespace TolvLogic
