#include "u_AddServices.h"

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;
using kvtr::tr;

namespace {

const QString kPrice = QStringLiteral("PRICE");

// The six formula parameters with their translated descriptions, by name.
std::map<QString, QString> parameterDescriptions() {
    return {
        {QStringLiteral("CONTR_SUM"), tr("u_AddServices.CONTR_SUM", u"Сумма по договору")},
        {QStringLiteral("CONTR_PRICE"), tr("u_AddServices.CONTR_PRICE", u"Оценка по договору")},
        {QStringLiteral("PENALTY_DAYS"), tr("u_AddServices.AddServices.PENALTY_DAYS", u"Срок договора")},
        {QStringLiteral("OP_SUM"), tr("u_AddServices.OP_SUM", u"Сумма операции")},
        {QStringLiteral("PENALTY_DAYS_CUR"),
         tr("u_AddServices.AddServices.PENALTY_DAYS_CUR", u"Текущий срок пользования кредитом")},
        {QStringLiteral("FORSALE_PRICE"),
         tr("u_AddServices.FORSALE_PRICE", u"Цена выставления на реализацию")},
    };
}

QString num(int value) {
    return QString::number(value);
}

QString eventFilter(quint8 event) {
    return QStringLiteral(" ID_SERVICE in (select ID from DIR_ADD_SERVICES DA where DA.ID_EVENT=") +
           num(event) + u')';
}

}  // namespace

// ---- AddServices ----------------------------------------------------------------------------------

AddServices::AddServices() : UpdQueryWrapper(static_cast<fb::Transaction*>(nullptr)) {
    noObject_ = true;
    init();
}

AddServices::AddServices(quint8 event, int objectId, DateTime date, fb::Transaction* transaction)
    : UpdQueryWrapper(transaction) {
    eventName_ = scGetServiceName(event);
    eventCode_ = scGetServiceCode(event);
    event_ = event;
    objectId_ = objectId;
    date_ = date.dayNumber() == 0 ? DateTime::today() : date.datePart();
    init();

    fb::Query* q = getQuery();
    q->setCachedUpdates(false);
    if (objectId_ == -1) insertActiveServices();
    setSql(
        QStringLiteral(" select a.ID, a.ID_SERVICE, a.NAME, a.ID_OBJ, a.DATA, a.PRICE from ADD_SERVICES a "
                       "left join DIR_ADD_SERVICES D on D.ID=a.ID_SERVICE where a.ID_OBJ= :ID_OBJ and "
                       "D.ID_EVENT= :ID_EVENT and A.DATA= :DATA "));
    addIntegerField(QStringLiteral("ID"));
    addIntegerField(QStringLiteral("ID_SERVICE"));
    addIntegerField(QStringLiteral("ID_OBJ"));
    addStringField(QStringLiteral("NAME"), 255);
    addMoney100Field(kPrice);
    addDateField(QStringLiteral("DATA"));
    grid::Column& name = addColumnEh(QStringLiteral("NAME"), 150,
                                     tr("u_AddServices.AddServicesInfo.load.NAME", u"Услуга"), noSortMarker);
    name.footer = tr("u_AddServices.AddServicesInfo.load.itogo", u"Итого:");
    addColumnEh(
        kPrice, 70,
        tr("u_AddServices.AddServicesInfo.load.PRICE_F", u"Цена,") + u' ' + utl::Valuta::getValutaName(),
        noSortMarker);
    setGenerator(QStringLiteral("GEN_ADD_SERVICES_ID"), QStringLiteral("ID"));
    // The insert sends the key the row drew, so that the list knows its own rows; the refresh reads
    // the row by that key.
    setUpdateSql(
        QStringLiteral(" delete from ADD_SERVICES where ID = :OLD_ID "),
        QStringLiteral(" insert into ADD_SERVICES(ID, ID_SERVICE, NAME, ID_OBJ, DATA, PRICE) "
                       "values(:ID, :ID_SERVICE, :NAME, :ID_OBJ, :DATA, :PRICE) "),
        QStringLiteral(" update ADD_SERVICES set NAME = :NAME, PRICE = :PRICE, DATA = :DATA "
                       "where ID = :ID "),
        QStringLiteral(" select a.ID, a.ID_SERVICE, a.NAME, a.ID_OBJ, a.DATA, a.PRICE from ADD_SERVICES a "
                       "where a.ID = :ID"));
    open();
    interpretator_ = parameters_;
}

void AddServices::init() {
    descriptions_ = parameterDescriptions();
    for (const auto& [name, text] : descriptions_) parameters_[name] = 0;
    interpretator_ = parameters_;
}

AddServices::~AddServices() {
    if (noObject_ || newObjectIds_.empty()) return;
    // A destructor cannot report: a failure here leaves the rows in the owner's transaction, which is
    // still open (rows under -1 are never committed) and undoes them when it rolls back.
    try {
        fb::Transaction* t = getTransaction();
        if (t && t->inTransaction()) deleteServices(-1, false);
    } catch (const core::Exception&) {
    }
}

void AddServices::insertActiveServices() {
    std::vector<std::pair<int, QString>> active;
    {
        ufb::AutoQuery q(QStringLiteral(" select ID, NAME from DIR_ADD_SERVICES where (ID_EVENT=") +
                             num(event_) + QStringLiteral(" and IS_ACTIVE=1) order by ID"),
                         getTransaction());
        q->open();
        for (; !q->eof(); q->next()) {
            active.emplace_back(q->fieldByName(QStringLiteral("ID")).asInteger(),
                                q->fieldByName(QStringLiteral("NAME")).asString());
        }
    }
    for (const auto& [service, name] : active) {
        const int id = udb::genId(QStringLiteral("GEN_ADD_SERVICES_ID"), getTransaction());
        exec(QStringLiteral(" insert into ADD_SERVICES(ID,ID_SERVICE,NAME,ID_OBJ,DATA,PRICE) values "
                            "(:ID, :ID_SERVICE, :NAME, :OBJ, :DATA, 0)"),
             -1, false,
             {{QStringLiteral("ID"), id},
              {QStringLiteral("ID_SERVICE"), service},
              {QStringLiteral("NAME"), name},
              {QStringLiteral("DATA"), date_.datePart()}});
        newObjectIds_.push_back(id);
    }
}

QString AddServices::ownRows(const QString& alias) const {
    if (newObjectIds_.empty()) return QStringLiteral(" and 1=0");
    QStringList places;
    for (size_t i = 0; i < newObjectIds_.size(); ++i) places << QStringLiteral(":OWN%1").arg(i);
    return QStringLiteral(" and ") + alias + QStringLiteral("ID in (") + places.join(u',') + u')';
}

void AddServices::bindOwnRows(fb::Query& query) const {
    for (size_t i = 0; i < newObjectIds_.size(); ++i) {
        query.setParam(QStringLiteral("OWN%1").arg(i), newObjectIds_[i]);
    }
}

void AddServices::exec(const QString& sql, int objectId, bool own,
                       const std::vector<std::pair<QString, Variant>>& values) {
    ufb::AutoQuery q(sql, getTransaction());
    q->setParam(QStringLiteral("OBJ"), objectId);
    for (const auto& [name, value] : values) q->setParam(name, value);
    if (own) bindOwnRows(*q.get());
    q->execSql();
    if (!getTransaction()) q->transaction()->commit();
}

bool AddServices::open() {
    if (noObject_) return false;
    prepareSql();
    // A new object's list reads only the rows it made.
    fb::Query* q = getQuery();
    if (objectId_ == -1) {
        q->setSql(q->sql() + ownRows(QStringLiteral("a.")));
        bindOwnRows(*q);
    }
    q->setParam(QStringLiteral("ID_OBJ"), objectId_);
    if (event_ != astALL) q->setParam(QStringLiteral("ID_EVENT"), static_cast<int>(event_));
    q->setParam(QStringLiteral("DATA"), date_);
    const bool active = IbDataSetWrapper::open();
    if (objectId_ == -1) newObjectIds_ = udb::columnToVector(*q, QStringLiteral("ID"));
    enableGrid();
    return active;
}

void AddServices::enableGrid() {
    if (gridEh_) gridEh_->setGridEnabled(getDataSet()->active() && !getDataSet()->isEmpty());
}

void AddServices::assignGridEvents() {
    if (!gridEh_) return;
    gridEh_->onTitleClick = nullptr;
    gridEh_->onSortMarkingChanged = nullptr;
    gridEh_->setFooterRowCount(1);
    getDataSet()->afterPost = [this](data::Dataset&) { onAfterPost(); };
    if (event_ != astALL) gridEh_->setEditActions(grid::GridView::Update);
    if (getDataSet()->active() && !getDataSet()->isEmpty()) updateFooter();
    enableGrid();
}

void AddServices::unbindGrid() {
    gridEh_ = nullptr;
    getDataSet()->afterPost = nullptr;
}

void AddServices::onAfterPost() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return;
    const int recNo = ds->recNo();
    updateFooter();
    if (recNo > 0) ds->setRecNo(recNo);
    onChange();
}

void AddServices::updateFooter() {
    // A new object's total counts the list's own rows only.
    const int total = objectId_ == -1 ? getTotal(false) : scGetSum(objectId_, event_, getTransaction());
    const QString text = Money100::toStr(Money100::fromHundredths(total), 2);
    for (grid::Column& c : columnsEh_) {
        if (c.fieldName == kPrice) c.footer = text;
    }
    if (gridEh_) gridEh_->setFooterText(kPrice, text);
}

void AddServices::setParameter(const QString& name, const Variant& value, bool reprice) {
    parameters_[name] = value;
    interpretator_ = parameters_;
    if (reprice) recalc();
}

void AddServices::recalc() {
    data::Dataset* ds = getDataSet();
    if (noObject_ || !ds->active() || !recalcEnabled_) return;
    const int recNo = ds->recNo();
    data::Field& service = ds->fieldByName(QStringLiteral("ID_SERVICE"));
    data::Field& price = ds->fieldByName(kPrice);
    for (ds->first(); !ds->eof(); ds->next()) {
        const qint32 fresh =
            interpretator_.calcHundredths(DirAddServices::scGetFormula(service.asInteger(), event_));
        // A price that stays costs no write (and no new row version to clean up later).
        if (!price.isNull() && price.value().toInt64() == fresh) continue;
        ds->edit();
        price.setValue(fresh);
        ds->post();
    }
    if (recNo > 0) ds->setRecNo(recNo);
}

void AddServices::addService(int serviceId, const QString& name) {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) open();
    ds->append();
    ds->fieldByName(QStringLiteral("ID_SERVICE")).setValue(serviceId);
    ds->fieldByName(QStringLiteral("NAME")).setValue(name);
    ds->fieldByName(QStringLiteral("ID_OBJ")).setValue(objectId_);
    ds->fieldByName(kPrice).setValue(
        interpretator_.calcHundredths(DirAddServices::scGetFormula(serviceId, event_)));
    ds->fieldByName(QStringLiteral("DATA")).setValue(date_);
    // The row is the list's own before it is stored: the footer its post refreshes counts it.
    const int id = ds->fieldByName(QStringLiteral("ID")).asInteger();
    if (objectId_ == -1) newObjectIds_.push_back(id);
    try {
        ds->post();
    } catch (...) {
        std::erase(newObjectIds_, id);
        ds->cancel();
        throw;
    }
    close();
    open();
    ds->last();
    enableGrid();
    onChange();
}

void AddServices::deleteService(int rowId) {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return;
    if (rowId != -1 && !ds->locate(QStringLiteral("ID"), rowId)) return;
    if (ds->isEmpty()) return;
    const int id = ds->fieldByName(QStringLiteral("ID")).asInteger();
    ds->remove();
    std::erase(newObjectIds_, id);
    if (gridEh_) {
        enableGrid();
        updateFooter();
    }
    onChange();
}

void AddServices::setDate(DateTime date) {
    date = date.dayNumber() == 0 ? DateTime::today() : date.datePart();
    if (date == date_) return;
    date_ = date;
    if (!getDataSet()->active()) return;
    exec(QStringLiteral(" update ADD_SERVICES A set A.DATA = :DATA where A.ID_OBJ = :OBJ and A.") +
             eventFilter(event_) + (objectId_ == -1 ? ownRows(QStringLiteral("A.")) : QString()),
         objectId_, objectId_ == -1, {{QStringLiteral("DATA"), date_}});
    close();
    open();
}

void AddServices::restore(const Snapshot& saved) {
    objectId_ = saved.objectId;
    newObjectIds_ = saved.newObjectIds;
    date_ = saved.date;
    close();
    open();
}

void AddServices::deleteServices(int objectId, bool onlyZero) {
    if (noObject_) return;
    if (objectId == -1 && newObjectIds_.empty()) return;
    exec(QStringLiteral(" delete from ADD_SERVICES A where A.ID_OBJ = :OBJ and A.") + eventFilter(event_) +
             (onlyZero ? QStringLiteral(" and A.PRICE=0") : QString()) +
             (objectId == -1 ? ownRows(QStringLiteral("A.")) : QString()),
         objectId, objectId == -1);
}

void AddServices::save(int objectId, bool commit) {
    fb::Query* q = getQuery();
    if (!noObject_ && q->active()) {
        q->checkBrowseMode();
        if (q->cachedUpdates() && q->updatesPending()) q->applyUpdates();
    }
    // Prices that add up to 0 are still charges (+10.00 and -10.00 are two cash orders): only rows
    // priced 0.00 are dropped.
    if (objectId != -1 && objectId != objectId_) {
        exec(QStringLiteral(" update ADD_SERVICES set ID_OBJ = :NEW_OBJ where ID_OBJ = :OBJ and") +
                 eventFilter(event_) + (objectId_ == -1 ? ownRows(QString()) : QString()),
             objectId_, objectId_ == -1, {{QStringLiteral("NEW_OBJ"), objectId}});
        objectId_ = objectId;
        newObjectIds_.clear();
    }
    deleteServices(objectId_, true);
    fb::Transaction* t = getTransaction();
    if (commit && t && t->inTransaction()) t->commit();
}

int AddServices::getTotal(bool fromRows) {
    if (fromRows) return static_cast<int>(udb::sumField(*getDataSet(), kPrice));
    if (objectId_ == -1 && newObjectIds_.empty()) return 0;
    ufb::AutoQuery q(
        QStringLiteral(
            " select sum(AD.PRICE) as PRICE from ADD_SERVICES AD left join DIR_ADD_SERVICES DAS on "
            "DAS.ID=AD.ID_SERVICE where AD.ID_OBJ = :OBJ and DAS.ID_EVENT=") +
            num(event_) + QStringLiteral(" and AD.DATA = :DATA") +
            (objectId_ == -1 ? ownRows(QStringLiteral("AD.")) : QString()),
        getTransaction());
    q->setParam(QStringLiteral("OBJ"), objectId_);
    q->setParam(QStringLiteral("DATA"), date_);
    if (objectId_ == -1) bindOwnRows(*q.get());
    q->open();
    const Variant sum = q.getFields(kPrice);
    return sum.isNull() ? 0 : sum.toInt();
}

int AddServices::scGetSum(int objectId, quint8 event, fb::Transaction* transaction) {
    ufb::AutoQuery q(
        QStringLiteral(" select SUM(AD.PRICE) as S_SUM from ADD_SERVICES AD left join DIR_ADD_SERVICES "
                       "DADS on DADS.ID=AD.ID_SERVICE where AD.ID_OBJ=") +
            num(objectId) + QStringLiteral(" and DADS.ID_EVENT=") + num(event),
        transaction);
    q->open();
    const Variant sum = q.getFields(QStringLiteral("S_SUM"));
    return sum.isNull() ? 0 : sum.toInt();
}

QString AddServices::scGetServiceName(quint8 event) {
    switch (event) {
        case astCONTRACT:
            return tr("u_AddServices.AddServices.scGetServiceName.astCONTRACT", u"Заключение договора");
        case astOP_PAY:
            return tr("u_AddServices.AddServices.scGetServiceName.astOP_PAY", u"Операция погашения кредита");
        case astOP_INC:
            return tr("u_AddServices.AddServices.scGetServiceName.astOP_INC", u"Операция увеличения кредита");
        case astSALEDOWN:
            return tr("u_AddServices.scGetServiceName.AddServices.astSALEDOWN", u"Снятие с реализации");
        case astCLOSE:
            return tr("u_AddServices.AddServices.scGetServiceName.astCLOSE", u"Закрытие договора");
        case astALL:
            return QString();
        default:
            throw core::Exception(tr("u_AddServices.scGetServiceName.AddServices.Exception",
                                     u"Для данного события нет названия"));
    }
}

QString AddServices::scGetServiceCode(quint8 event) {
    switch (event) {
        case astCONTRACT:
            return QStringLiteral("CNTR");
        case astOP_PAY:
            return QStringLiteral("OP_PAY");
        case astOP_INC:
            return QStringLiteral("OP_INC");
        case astSALEDOWN:
            return QStringLiteral("SALEDOWN");
        case astCLOSE:
            return QStringLiteral("CLOSE");
        case astALL:
            return QString();
        default:
            throw core::Exception(tr("u_AddServices.AddServices.scGetServiceCode.Exception",
                                     u"Для данного события нет названия кода"));
    }
}

QString AddServices::scGetParametersHelp() {
    QStringList lines;
    for (const auto& [name, text] : parameterDescriptions()) lines << name + QStringLiteral(" - ") + text;
    return lines.join(u'\n');
}

void AddServices::testFormula(const QString& formula) {
    for (const auto& [name, text] : descriptions_) parameters_[name] = 1;
    interpretator_ = parameters_;
    interpretator_.calc(formula);
}

// ---- Per-event setters ----------------------------------------------------------------------------

void AddServicesCommon::setContrSum(const Variant& value, bool reprice) {
    setParameter(QStringLiteral("CONTR_SUM"), value, reprice);
}

void AddServicesCommon::setContrPrice(const Variant& value, bool reprice) {
    setParameter(QStringLiteral("CONTR_PRICE"), value, reprice);
}

void AddServicesCommon::setPenaltyDays(const Variant& value, bool reprice) {
    setParameter(QStringLiteral("PENALTY_DAYS"), value, reprice);
}

void TakingSaleDownService::setForSalePrice(const Variant& value, bool reprice) {
    setParameter(QStringLiteral("FORSALE_PRICE"), value, reprice);
}

void NewOperationService::setOpSum(const Variant& value, bool reprice) {
    setParameter(QStringLiteral("OP_SUM"), value, reprice);
}

void NewOperationService::setPenaltyDaysCur(const Variant& value, bool reprice) {
    setParameter(QStringLiteral("PENALTY_DAYS_CUR"), value, reprice);
}

std::unique_ptr<AddServices> createServices(quint8 event, int objectId, DateTime date,
                                            fb::Transaction* transaction) {
    switch (event) {
        case astCONTRACT:
            return std::make_unique<NewContractService>(objectId, date, transaction);
        case astOP_PAY:
            return std::make_unique<NewOperationPayService>(objectId, date, transaction);
        case astOP_INC:
            return std::make_unique<NewOperationIncService>(objectId, date, transaction);
        case astSALEDOWN:
            return std::make_unique<TakingSaleDownService>(objectId, date, transaction);
        case astCLOSE:
            return std::make_unique<NewContractCloseService>(objectId, date, transaction);
        default:
            return std::make_unique<AddServices>(event, objectId, date, transaction);
    }
}

// ---- ServicesCashType -----------------------------------------------------------------------------

ServicesCashType::ServicesCashType(AddServices* services, bool splitNow)
    : services_(services),
      receipt_(std::make_unique<ufb::RxMemWrapper>(QStringLiteral("ID"))),
      expense_(std::make_unique<ufb::RxMemWrapper>(QStringLiteral("ID"))) {
    if (splitNow) split();
}

ServicesCashType::~ServicesCashType() = default;

void ServicesCashType::split() {
    fill(*receipt_, true);
    fill(*expense_, false);
}

void ServicesCashType::fill(ufb::RxMemWrapper& list, bool receipts) {
    data::Dataset& source = *services_->getDataSet();
    data::ControlsDisabled off(source);
    data::MemTable& table = *list.memTable();
    list.clear();
    table.removeFields();
    for (int i = 0; i < source.fieldCount(); ++i) {
        const data::Field* f = source.field(i);
        table.addField(f->fieldName(), f->dataType(), f->size());
    }
    if (!source.active()) services_->open();
    table.open();
    if (source.active() && !source.isEmpty()) {
        const data::Bookmark mark = source.bookmark();
        data::Field& price = source.fieldByName(kPrice);
        for (source.first(); !source.eof(); source.next()) {
            if ((price.asInteger() >= 0) == receipts) list.appendFrom(source);
        }
        if (source.bookmarkValid(mark)) source.gotoBookmark(mark);
    }
}

// ---- Factory --------------------------------------------------------------------------------------

std::unique_ptr<ServicesList> ServicesFactoryImpl::create(ServiceEvent event, int objectId, DateTime date,
                                                          fb::Transaction* transaction) {
    return createServices(event, objectId, date, transaction);
}

int ServicesFactoryImpl::articleNum(int serviceId) {
    return DirAddServices::scGetArticleNum(serviceId);
}

void installServicesFactory() {
    static ServicesFactoryImpl factory;
    setServicesFactory(&factory);
}

}  // namespace TolvLogic
