// The directory of additional services and the tax letters of its services (unit u_AddServices).

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/fb/Query.h"
#include "u_AddServices.h"

namespace TolvLogic {

using core::Variant;
using kvtr::tr;

namespace {

const QString kFormula = QStringLiteral("FORMULA");
const QString kArticle = QStringLiteral("ARTICLE_NUM");
const QString kCode = QStringLiteral("CODE");
const QString kIsActive = QStringLiteral("IS_ACTIVE");
const QString kFiscal = QStringLiteral("FISCAL_MARIYA");

// Articles of new services start here; the numbers below are left to services entered otherwise.
constexpr int kFirstArticle = 91;
// The system colour of an inactive window border, which marks the services the report counts.
constexpr quint32 kInactiveBorder = 0xD4D0C8;

QString eventCondition(quint8 event) {
    return event == astALL ? QString() : QStringLiteral(" ID_EVENT=") + QString::number(event);
}

}  // namespace

// ---- DirAddServices -------------------------------------------------------------------------------

DirAddServices::DirAddServices(quint8 event, fb::Transaction* transaction)
    : UpdQueryWrapper(transaction), tester_(std::make_unique<AddServices>()), event_(event) {
    fb::Query* q = getQuery();
    q->setCachedUpdates(true);
    setSql(QStringLiteral(" select * from DIR_ADD_SERVICES "));
    setWhere(eventCondition(event));
    setOrderBy(QStringLiteral("ID_EVENT"));

    addIntegerField(QStringLiteral("ID"));
    addIntegerField(kIsActive);
    addStringField(kCode, 255);
    addStringField(QStringLiteral("NAME"), 255);
    addIntegerField(QStringLiteral("ID_EVENT"))->setRequired(true);
    addStringField(kFormula, 255);
    addIntegerField(kArticle);

    grid::Column& active = addColumnEh(
        kIsActive, 50, tr("u_AddServices.DirAddServices.IS_ACTIVE", u"Авто добавл."), noSortMarker);
    active.checkBox = true;
    addColumnEh(QStringLiteral("NAME"), 130,
                tr("TFKVReportTemplate.le_TemplateName.EditCaption", u"Название"), noSortMarker);
    grid::Column& events = addColumnEh(QStringLiteral("ID_EVENT"), 130,
                                       tr("TFKVReportTemplate.l_EventName", u"Событие"), noSortMarker);
    for (quint8 e = astCONTRACT; e <= astCLOSE; ++e) {
        if (event != astALL && e != event) continue;
        events.pickList << AddServices::scGetServiceName(e);
        events.keyList << QString::number(e);
    }
    addColumnEh(kFormula, 130, QStringLiteral("Формула"), noSortMarker);
    grid::Column& code =
        addColumnEh(kCode, 150, tr("u_AddServices.AddServices.CODE", u"Учет в фин.отчетах"), noSortMarker);
    code.pickList = {tr("u_AddServices.AddServices.CODE.none", u"не учитывать"),
                     tr("u_AddServices.AddServices.CODE.asValuation", u"как оценку"),
                     tr("u_AddServices.AddServices.CODE.asInsure", u"как страховку")};
    code.keyList = {QString(), QStringLiteral("VALUATION"), QStringLiteral("INSURE")};

    setGenerator(QStringLiteral("GEN_DIR_ADD_SERVICES_ID"), QStringLiteral("ID"));
    // The insert sends the key the row drew, so that the row is found again by it (the refresh, a
    // later change or delete in the same list).
    setUpdateSql(
        QStringLiteral(" delete from DIR_ADD_SERVICES where ID = :OLD_ID"),
        QStringLiteral(" insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT, FORMULA, IS_ACTIVE, ARTICLE_NUM, "
                       "CODE) values (:ID, :NAME, :ID_EVENT, :FORMULA, :IS_ACTIVE, :ARTICLE_NUM, :CODE) "),
        QStringLiteral(" update DIR_ADD_SERVICES set NAME = :NAME, ID_EVENT = :ID_EVENT, FORMULA = "
                       ":FORMULA, IS_ACTIVE = :IS_ACTIVE, CODE = :CODE where ID = :OLD_ID "),
        QStringLiteral(" select * from DIR_ADD_SERVICES where ID = :ID"));

    {
        ufb::AutoQuery used(QStringLiteral(" select ARTICLE_NUM from DIR_ADD_SERVICES order by ARTICLE_NUM"),
                            getTransaction());
        used->open();
        for (; !used->eof(); used->next())
            usedArticles_.push_back(used->fieldByName(kArticle).value().toInt());
    }

    q->beforeDelete = [this](data::Dataset&) { BeforeDelete(); };
    q->afterPost = [this](data::Dataset&) { AfterPost(); };
}

DirAddServices::~DirAddServices() {
    if (data::Dataset* ds = getDataSet()) ds->close();
}

void DirAddServices::assignGridEvents() {
    if (!gridEh_) return;
    gridEh_->onTitleClick = nullptr;
    gridEh_->onSortMarkingChanged = nullptr;
    gridEh_->onMouseMove = [this](int column) { mouseMove(column); };
    gridEh_->onCellStyle = [this](int row, const grid::Column& column, grid::CellStyle& style) {
        getCellParams(row, column, style);
    };
}

void DirAddServices::mouseMove(int column) {
    const bool overFormula = column >= 0 && column < static_cast<int>(gridEh_->columns().size()) &&
                             gridEh_->columns()[column].fieldName == kFormula;
    gridEh_->setHint(overFormula ? AddServices::scGetParametersHelp() : QString());
}

void DirAddServices::getCellParams(int row, const grid::Column&, grid::CellStyle& style) {
    data::Dataset* ds = getDataSet();
    const Variant code = ds->valueAt(row, ds->fieldByName(kCode).index());
    if (!code.isEmpty() && !code.toText().isEmpty()) style.background = kInactiveBorder;
}

void DirAddServices::BeforeDelete() {
    data::Dataset* ds = getDataSet();
    if (ds->eof() && ds->isEmpty()) return;
    if (ds->fieldByName(kCode).asString().isEmpty()) {
        const Variant article = ds->fieldByName(kArticle).value();
        if (!article.isEmpty()) {
            const auto it = std::find(usedArticles_.begin(), usedArticles_.end(), article.toInt());
            if (it != usedArticles_.end()) usedArticles_.erase(it);
        }
        return;
    }
    throw core::Exception(tr("u_AddServices.DirAddServices.BeforeDelete.Exception",
                             u"Удаление этой записи невозможно, \nт.к. её наличие является обязательным."));
}

void DirAddServices::AfterPost() {
    data::Dataset* ds = getDataSet();
    const QString formula = ds->fieldByName(kFormula).asString();
    if (!formula.isEmpty()) tester_->testFormula(formula);
    if (ds->fieldByName(kIsActive).isNull()) {
        ds->edit();
        ds->fieldByName(kIsActive).setValue(1);
    }
    if (ds->fieldByName(kArticle).isNull()) {
        // The smallest number from 91 up that no service has (numbers below 91 are skipped over).
        int candidate = kFirstArticle;
        for (int used : usedArticles_) {
            if (used < candidate) continue;
            if (used != candidate) break;
            ++candidate;
        }
        usedArticles_.insert(std::upper_bound(usedArticles_.begin(), usedArticles_.end(), candidate),
                             candidate);
        ds->edit();
        ds->fieldByName(kArticle).setValue(candidate);
    }
}

QString DirAddServices::scGetFormula(int serviceId, quint8 event) {
    std::unique_ptr<fb::Query> q = udb::createReadQuery(TolvMain::getZarvelDb());
    q->setSql(QStringLiteral(" select FORMULA from DIR_ADD_SERVICES where ID = :ID and ID_EVENT = :EVENT"));
    q->setParam(QStringLiteral("ID"), serviceId);
    q->setParam(QStringLiteral("EVENT"), static_cast<int>(event));
    q->open();
    return q->eof() ? QString() : q->fieldByName(kFormula).asString();
}

int DirAddServices::scGetArticleNum(int serviceId) {
    ufb::AutoQuery q(QStringLiteral("select NAME, ARTICLE_NUM from DIR_ADD_SERVICES where ID=") +
                         QString::number(serviceId),
                     nullptr);
    q->open();
    if (q->eof()) {
        throw core::Exception(tr("u_AddServices.DirAddServices.scGetArticleNum.NoService",
                                 u"Услуга с кодом %1 не найдена в справочнике дополнительных услуг")
                                  .arg(serviceId));
    }
    const Variant article = q->fieldByName(kArticle).value();
    if (article.isEmpty()) {
        throw core::Exception(tr("u_AddServices.DirAddServices.scGetArticleNum.NoArticle",
                                 u"У услуги '%1' (код %2) не задан номер артикула")
                                  .arg(q->fieldByName(QStringLiteral("NAME")).asString())
                                  .arg(serviceId));
    }
    return article.toInt();
}

// ---- DirAddServicesTax ----------------------------------------------------------------------------

DirAddServicesTax::DirAddServicesTax(const QStringList* names, grid::GridView* grid)
    : RxMemWrapper(QStringLiteral("ID")), names_(names) {
    addIntegerField(QStringLiteral("ID"));
    addStringField(QStringLiteral("NAME"), 255);
    addStringField(kCode, 255);
    grid::Column& name = addColumnEh(QStringLiteral("NAME"), 150,
                                     tr("u_AddServices.DirAddServices.initFields.NAME", u"Название"));
    name.readOnly = true;
    QStringList keys;
    for (qsizetype i = 0; i < names->size(); ++i) keys << QString::number(i);
    for (int i = 1; i <= 2; ++i) {
        const QString tax = QStringLiteral("TAX") + QString::number(i);
        addIntegerField(tax);
        grid::Column& c = addColumnEh(
            tax, 35, tr("u_AddServices.DirAddServicesTax.initFields.TAX", u"Налог ") + QString::number(i));
        c.pickList = *names;
        c.keyList = keys;
    }
    open();

    {
        std::unique_ptr<fb::Query> rows = udb::createQuery(TolvMain::getZarvelDb());
        rows->setSql(QStringLiteral(" select D.ID, D.NAME, D.CODE from DIR_ADD_SERVICES D "));
        rows->open();
        loadFromDataSet(*rows, true, QStringLiteral("Loading.."));
    }
    data::Dataset* ds = getDataSet();
    for (ds->first(); !ds->eof(); ds->next()) {
        const QString key = scGetTaxKey(ds->fieldByName(QStringLiteral("ID")).asInteger());
        ds->edit();
        for (int i = 1; i <= 2; ++i) {
            int letter = utl::SettingsFile::readInt(kFiscal, key + QString::number(i), 0);
            // A number beyond the names shows the first name, and is stored as such when saved.
            if (letter < 0 || letter >= names->size()) letter = 0;
            ds->fieldByName(QStringLiteral("TAX") + QString::number(i)).setValue(letter);
        }
        ds->post();
    }
    ds->first();
    bindGridEh(grid);
}

void DirAddServicesTax::assignGridEvents() {
    RxMemWrapper::assignGridEvents();
    if (gridEh_) gridEh_->setEditActions(grid::GridView::Update);
}

void DirAddServicesTax::writeTaxes() {
    data::Dataset* ds = getDataSet();
    ds->checkBrowseMode();
    for (ds->first(); !ds->eof(); ds->next()) {
        const QString key = scGetTaxKey(ds->fieldByName(QStringLiteral("ID")).asInteger());
        for (int i = 1; i <= 2; ++i) {
            utl::SettingsFile::writeInt(
                kFiscal, key + QString::number(i),
                ds->fieldByName(QStringLiteral("TAX") + QString::number(i)).asInteger());
        }
    }
    close();
}

QString DirAddServicesTax::scGetTaxKey(int serviceId) {
    return QStringLiteral("ADD_SRVS_") + QString::number(serviceId) + QStringLiteral("_TAX");
}

}  // namespace TolvLogic
