#include "PenaltyWarrantTemplates.h"

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/fb/Query.h"
#include "platform/fb/Table.h"

namespace TolvLogic {

using core::Variant;

namespace {

QString tr(const QString& key, const char16_t* defaultText) {
    return KVLibTranslator::instance().translate(key, QString::fromUtf16(defaultText));
}

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

int interfaceLanguage() {
    return utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 1);
}

// A template's texts in the language, or, for a template without a row in it, in the other one.
QString languageCondition(int language) {
    const QString lang = QString::number(language);
    return QStringLiteral(" DWL.ID_LANG=") + lang +
           QStringLiteral(
               " or (DWL.ID_REC not in (select DWL_.ID_REC from DIR_WARRANTES_LANGS DWL_ "
               "where DWL_.ID_LANG=") +
           lang + QStringLiteral(")) ");
}

struct AutoCode {
    const char* code;
    const char16_t* caption;
};

const AutoCode kAutoCodes[] = {
    {"RECEIPT_DEPOSIT", u"Авт - возврат займов"},
    {"RECEIPT_PERCENT", u"Авт - оплата процентов"},
    {"RECEIPT_PENALTY", u"Авт - оплата пени"},
    {"RECEIPT_SALE", u"Авт - реализация залога"},
    {"RECEIPT_SERVICE", u"Авт - оплата доп. услуг"},
    {"EXPENSE_SERVICE", u"Авт - возврат по доп. услугам"},
    {"RECEIPT_STORAGE", u"Авт - оплата хранения предметов залога"},
    {"EXPENSE_DEPOSIT", u"Авт - выдача займов"},
};

data::Field* required(data::Field* field) {
    field->setRequired(true);
    return field;
}

}  // namespace

// ---- WarrantTypes ---------------------------------------------------------------------------------

WarrantTypes::WarrantTypes(fb::Database* database)
    : TableWrapper(QStringLiteral("WARRANT_TYPES"), QStringLiteral("ID"),
                   database ? database : TolvMain::getZarvelDb()),
      names_(udb::createQuery(getDatabase())) {
    // Types have no fallback: both rows exist in both languages.
    names_->setSql(QStringLiteral(" select WTL.ID_REC,WTL.W_TYPE from WARRANT_TYPES_LANGS WTL  left join "
                                  "WARRANT_TYPES WT on WT.ID=WTL.ID_REC  where WTL.ID_LANG=") +
                   QString::number(interfaceLanguage()));
    names_->open();
    addIntegerField(QStringLiteral("ID"))->setVisible(false);
    data::Field* name =
        addField(std::make_unique<data::Field>(data::DataType::String, 80, data::FieldKind::Lookup),
                 QStringLiteral("W_TYPE"));
    name->setLookup(names_.get(), QStringLiteral("ID"), QStringLiteral("ID_REC"), QStringLiteral("W_TYPE"));
    required(name);
    const QString caption = tr(QStringLiteral("field.W_TYPE"), u"Тип ордера");
    addColumn(QStringLiteral("W_TYPE"), 150, caption);
    addColumnEh(QStringLiteral("W_TYPE"), 150, caption);
}

WarrantTypes::~WarrantTypes() {
    // Closed first, so that nothing bound to the list asks the names for a value on the way out.
    if (data::Dataset* ds = getDataSet()) ds->close();
}

data::Dataset* WarrantTypes::names() const {
    return names_.get();
}

// ---- DirWarrantInfo -------------------------------------------------------------------------------

DirWarrantInfo::DirWarrantInfo() : DirWarrantInfo(nullptr) {}

DirWarrantInfo::DirWarrantInfo(fb::Transaction* transaction)
    : texts_(transaction ? udb::createQuery(transaction) : udb::createQuery(TolvMain::getZarvelDb())) {
    setTableName(QStringLiteral("DIR_WARRANTES"));
    Field(QStringLiteral("ID")) = 0;
    const int language = interfaceLanguage();
    texts_->setSql(
        QStringLiteral(" select DWL.ID_REC, DWL.ID_LANG, DWL.FOUNDATION, DWL.OPERATION_SUBJECT from "
                       "DIR_WARRANTES_LANGS DWL left join DIR_WARRANTES DW on DW.ID=DWL.ID_REC where") +
        TolvLogic::languageCondition(language));
    texts_->open();
}

DirWarrantInfo::~DirWarrantInfo() = default;

Variant DirWarrantInfo::GetField(int index) const {
    return TDBRecord::GetField(latin(dirWarrantesFields[index]), true);
}

void DirWarrantInfo::loadAutoWarrant(const QString& code, fb::Transaction* transaction) {
    SetKey(QStringLiteral("CODE"), code);
    if (Select(transaction) == 0) {
        throw core::Exception(tr(QStringLiteral("PenaltyContracts.DirWarrantInfo.loadAutoWarrant.Exception"),
                                 u"Невозможно загрузить автоматический ордер ") +
                              code);
    }
}

QString DirWarrantInfo::text(const char* field) const {
    // A template without any text row has nothing to show: not the texts of whatever row is current.
    if (!texts_->locate(QStringLiteral("ID_REC"), TDBRecord::GetField(QStringLiteral("ID"), false)))
        return {};
    return texts_->fieldByName(latin(field)).asString();
}

QString DirWarrantInfo::getFoundation() const {
    return text("FOUNDATION");
}

QString DirWarrantInfo::getOperationSubject() const {
    return text("OPERATION_SUBJECT");
}

QString DirWarrantInfo::codeCaption(const QString& code) {
    for (const AutoCode& c : kAutoCodes) {
        if (code == latin(c.code)) {
            return tr(QStringLiteral("PenaltyContracts.DirWarrantes.OnCalcFields.") + code, c.caption);
        }
    }
    return {};
}

// ---- DirWarrantes ---------------------------------------------------------------------------------

DirWarrantes::DirWarrantes(fb::Transaction* transaction)
    : UpdQueryWrapper(transaction),
      types_(std::make_unique<WarrantTypes>(getDatabase())),
      statement_(createQuery()),
      language_(interfaceLanguage()) {
    setSql(
        QStringLiteral(" select DWL.ID_LANG, DWL.ID_REC, DWL.FOUNDATION, DWL.OPERATION_SUBJECT, DW.* from "
                       "DIR_WARRANTES_LANGS DWL left join DIR_WARRANTES DW on DW.ID=DWL.ID_REC "));
    setWhere(languageCondition());
    setOrderBy(QStringLiteral("DW.ID"));

    addIntegerField(QStringLiteral("ID"))->setVisible(false);
    addIntegerField(QStringLiteral("ID_LANG"))->setVisible(false);
    required(addStringField(QStringLiteral("FOUNDATION"), 255));
    required(addStringField(QStringLiteral("OPERATION_SUBJECT"), 255));
    required(addStringField(QStringLiteral("ACCOUNT_NUMBER"), 80));
    addStringField(QStringLiteral("CODE"), 80)->setVisible(false);
    required(addField(std::make_unique<data::Field>(data::DataType::String, 80, data::FieldKind::Calculated),
                      QStringLiteral("CODE_STR")));
    data::Field* type = required(addIntegerField(QStringLiteral("W_TYPE")));
    type->setVisible(false);
    data::Field* typeName =
        addField(std::make_unique<data::Field>(data::DataType::String, 80, data::FieldKind::Lookup),
                 QStringLiteral("W_TYPE_STR"));
    typeName->setLookup(types_->names(), QStringLiteral("W_TYPE"), QStringLiteral("ID_REC"),
                        QStringLiteral("W_TYPE"));
    required(typeName);

    struct Column {
        const char* field;
        int width;
        const char* key;
        const char16_t* caption;
    };
    const Column columns[] = {
        {"FOUNDATION", 150, "PenaltyContracts.DirWarrantes.FOUNDATION", u"Підстава"},
        {"OPERATION_SUBJECT", 100, "PenaltyContracts.DirWarrantes.OPERATION_SUBJECT",
         u"Прийнято від (видано)"},
        {"ACCOUNT_NUMBER", 50, "PenaltyContracts.DirWarrantes.ACCOUNT_NUMBER",
         u"Кореспондуючий рахунок, субрахунок"},
        {"CODE_STR", 150, "PenaltyContracts.DirWarrantes.CODE_STR", u"Автоматичний ордер"},
        {"W_TYPE_STR", 100, "field.W_TYPE", u"Тип ордеру"},
    };
    for (const Column& c : columns) {
        const QString caption = tr(latin(c.key), c.caption);
        addColumn(latin(c.field), c.width, caption);
        addColumnEh(latin(c.field), c.width, caption);
    }

    // The insert sends the generator's key, so that the new template's texts go to its own row.
    setGenerator(QStringLiteral("GEN_DIR_WARRANTES_ID"), QStringLiteral("ID"));
    setUpdateSql(
        QStringLiteral("delete from DIR_WARRANTES where ID=:OLD_ID"),
        QStringLiteral(
            "insert into DIR_WARRANTES(ID,ACCOUNT_NUMBER,W_TYPE) values (:ID,:ACCOUNT_NUMBER,:W_TYPE)"),
        QStringLiteral(
            "update DIR_WARRANTES set ACCOUNT_NUMBER=:ACCOUNT_NUMBER, W_TYPE=:W_TYPE where ID=:OLD_ID"),
        QString());

    data::Dataset* ds = getDataSet();
    ds->onCalcFields = [this](data::Dataset& d) { OnCalcFields(d); };
    ds->beforeDelete = [this](data::Dataset& d) { BeforeDelete(d); };
    ds->beforePost = [this](data::Dataset& d) { BeforePost(d); };
    ds->afterPost = [this](data::Dataset& d) { AfterPost(d); };
}

DirWarrantes::~DirWarrantes() {
    if (data::Dataset* ds = getDataSet()) ds->close();
}

bool DirWarrantes::open() {
    types_->open();
    return UpdQueryWrapper::open();
}

bool DirWarrantes::close() {
    const bool closed = UpdQueryWrapper::close();
    types_->close();
    return closed;
}

QString DirWarrantes::languageCondition() const {
    return TolvLogic::languageCondition(language_);
}

void DirWarrantes::setTypeFilter(int type, bool automatic) {
    // The language condition is an "or": unparenthesised, every template with a text in the
    // language would pass whatever its type.
    setWhere(QStringLiteral(" (") + languageCondition() + QStringLiteral(") and  W_TYPE = ") +
             QString::number(type) + QStringLiteral(" and ") +
             (automatic ? QStringLiteral(" CODE is not NULL") : QStringLiteral(" CODE is NULL")));
}

void DirWarrantes::OnCalcFields(data::Dataset& dataset) {
    dataset.fieldByName(QStringLiteral("CODE_STR"))
        .setValue(DirWarrantInfo::codeCaption(dataset.fieldByName(QStringLiteral("CODE")).asString()));
}

void DirWarrantes::BeforeDelete(data::Dataset& dataset) {
    if (!dataset.fieldByName(QStringLiteral("CODE")).asString().isEmpty()) {
        throw core::Exception(tr(QStringLiteral("PenaltyContracts.DirWarrantes.BeforeDelete.Exception"),
                                 u"Невозможно удалить автоматический ордер"));
    }
    statement_->setSql(QStringLiteral(" delete from DIR_WARRANTES_LANGS DWL where DWL.ID_REC=:ID_REC"));
    statement_->setParam(QStringLiteral("ID_REC"), dataset.fieldByName(QStringLiteral("ID")).value());
    statement_->execSql();
}

void DirWarrantes::BeforePost(data::Dataset& dataset) {
    const Variant id = dataset.fieldByName(QStringLiteral("ID")).value();
    data::Field& type = dataset.fieldByName(QStringLiteral("W_TYPE"));
    const bool inserting = dataset.state() == data::DatasetState::Insert;
    if (!inserting && !dataset.fieldByName(QStringLiteral("CODE")).asString().isEmpty()) {
        // The regeneration finds its orders by the template's type: an automatic template keeps it.
        statement_->setSql(QStringLiteral("select W_TYPE from DIR_WARRANTES where ID=:ID"));
        statement_->setParam(QStringLiteral("ID"), id);
        statement_->open();
        if (!statement_->isEmpty()) type.setValue(statement_->fieldByName(QStringLiteral("W_TYPE")).value());
        statement_->close();
    }
    const QString foundation = dataset.fieldByName(QStringLiteral("FOUNDATION")).asString();
    const QString subject = dataset.fieldByName(QStringLiteral("OPERATION_SUBJECT")).asString();
    data::Field& lang = dataset.fieldByName(QStringLiteral("ID_LANG"));
    if (inserting) {
        pendingTexts_ = true;
        pendingFoundation_ = foundation;
        pendingSubject_ = subject;
        lang.setValue(language_);
        return;
    }
    // A row shown from the other language becomes the template's text in this one; the other stays.
    const bool own = !lang.isNull() && lang.value().toInt() == language_;
    statement_->setSql(
        own ? QStringLiteral(
                  " update DIR_WARRANTES_LANGS DWL set FOUNDATION=:FOUNDATION, "
                  "OPERATION_SUBJECT=:OPERATION_SUBJECT where DWL.ID_LANG=:ID_LANG and DWL.ID_REC=:ID_REC")
            : QStringLiteral(" insert into DIR_WARRANTES_LANGS(ID_REC,ID_LANG,FOUNDATION,OPERATION_SUBJECT) "
                             "values(:ID_REC, :ID_LANG, :FOUNDATION, :OPERATION_SUBJECT)"));
    statement_->setParam(QStringLiteral("ID_REC"), id);
    statement_->setParam(QStringLiteral("ID_LANG"), language_);
    statement_->setParam(QStringLiteral("FOUNDATION"), foundation);
    statement_->setParam(QStringLiteral("OPERATION_SUBJECT"), subject);
    statement_->execSql();
    lang.setValue(language_);
}

void DirWarrantes::AfterPost(data::Dataset& dataset) {
    if (!pendingTexts_) return;
    pendingTexts_ = false;
    statement_->setSql(
        QStringLiteral(" insert into DIR_WARRANTES_LANGS(ID_REC,ID_LANG,FOUNDATION,OPERATION_SUBJECT) "
                       "values(:ID_REC, :ID_LANG, :FOUNDATION, :OPERATION_SUBJECT)"));
    statement_->setParam(QStringLiteral("ID_REC"), dataset.fieldByName(QStringLiteral("ID")).value());
    statement_->setParam(QStringLiteral("ID_LANG"), language_);
    statement_->setParam(QStringLiteral("FOUNDATION"), pendingFoundation_);
    statement_->setParam(QStringLiteral("OPERATION_SUBJECT"), pendingSubject_);
    statement_->execSql();
    // Shown again in the list's order, the newest template last.
    reopen();
    dataset.last();
}

}  // namespace TolvLogic
