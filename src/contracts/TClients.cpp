#include "TClients.h"

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Database.h"
#include "platform/fb/Query.h"
#include "platform/fb/Service.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Table.h"
#include "platform/fb/Transaction.h"

#include <QRegularExpression>
#include <QThread>
#include <algorithm>

namespace TolvLogic {

using core::Variant;

namespace {

using kvtr::tr;

fb::Database* orMainDb(fb::Database* database) {
    return database ? database : TolvMain::getZarvelDb();
}

// The directory form commits and rolls back the list's transaction; the database's default one may
// hold other work, so each list gets one of its own.
std::unique_ptr<fb::Transaction> ownTransactionFor(ufb::TableWrapper& list) {
    auto transaction = udb::createTransaction(list.getDatabase());
    list.getTable()->setTransaction(transaction.get());
    return transaction;
}

// Closes the table and lets go of the list's own transaction before that transaction is freed.
void releaseOwnTransaction(ufb::TableWrapper& list) {
    fb::Table* table = list.getTable();
    table->close();
    table->setTransaction(nullptr);
}

// The columns of a named index, ";"-separated, in their order in the index.
QString indexFields(fb::Transaction* transaction, const QString& indexName) {
    ufb::AutoQuery q(QStringLiteral("select RDB$FIELD_NAME from RDB$INDEX_SEGMENTS where RDB$INDEX_NAME = "
                                    ":INDEX_NAME order by RDB$FIELD_POSITION"),
                     transaction);
    q->setParam(QStringLiteral("INDEX_NAME"), indexName);
    q->open();
    QStringList fields;
    for (; !q->eof(); q->next())
        fields << q->fieldByName(QStringLiteral("RDB$FIELD_NAME")).asString().trimmed();
    return fields.join(u';');
}

// Orders the table by the index's columns, reopening it on the same row when it was open.
void sortByIndex(ufb::TableWrapper& list, const QString& indexName) {
    fb::Table* table = list.getTable();
    const QString fields = indexFields(list.getTransaction(), indexName);
    const bool wasOpen = table->active();
    Variant key;
    if (wasOpen && !table->eof()) key = table->fieldByName(list.keyField()).value();
    table->setIndexFieldNames(fields);
    if (wasOpen) list.reopen(list.keyField(), key);
}

void setKeyZeroWhenEmpty(data::Dataset& ds, const QString& keyField) {
    data::Field& key = ds.fieldByName(keyField);
    if (key.isNull() || key.asInteger() == 0) key.setValue(0);
}

data::Field* required(data::Field* field) {
    field->setRequired(true);
    return field;
}

}  // namespace

// ---- TClientInfo ----------------------------------------------------------------------------------

const char* const clientsFields[10] = {"CLIENT_NAME",         "CLIENT_ADDRESS",      "CLIENT_PHONE",
                                       "CLIENT_INFO",         "CLIENT_ID",           "CLIENT_INN",
                                       "CLIENT_PASSPORT_SN",  "CLIENT_PASSPORT_NUM", "CLIENT_PASSPORT_INFO",
                                       "CLIENT_PASSPORT_DATE"};

TClientInfo::TClientInfo() : TDBRecord(QStringLiteral("CLIENTS"), QStringLiteral("CLIENT_ID"), 0, nullptr) {}

Variant TClientInfo::GetField(int index) const {
    return GetField(QString::fromLatin1(clientsFields[index]), true);
}

void TClientInfo::SetField(int index, const Variant& value) {
    SetField(QString::fromLatin1(clientsFields[index]), value, false);
}

std::vector<int> TClientInfo::getContractsByState(int state) const {
    ufb::AutoQuery q(QStringLiteral(" Select CONTRACT_ID from PENALTY_CONTRACTS  where CLIENT_ID = ") +
                         udb::var2DbVar(GetField(fCLIENT_ID)) + QStringLiteral("   and CONTRACT_STATE = ") +
                         QString::number(state),
                     nullptr);
    q->open();
    std::vector<int> ids;
    for (; !q->eof(); q->next()) ids.push_back(q->fieldByName(QStringLiteral("CONTRACT_ID")).asInteger());
    return ids;
}

// ---- TClients -------------------------------------------------------------------------------------

TClients::TClients(fb::Database* database)
    : TableWrapper(QStringLiteral("CLIENTS"), QStringLiteral("CLIENT_ID"), orMainDb(database)) {
    ownTransaction_ = ownTransactionFor(*this);
    transaction_ = ownTransaction_.get();
    fb::Table* table = getTable();
    table->setIndexFieldNames(QStringLiteral("CLIENT_NAME"));
    table->beforePost = [this](data::Dataset&) { beforePost(); };
    table->onNewRecord = [](data::Dataset& ds) { setKeyZeroWhenEmpty(ds, QStringLiteral("CLIENT_ID")); };

    pickupList_.add(ufb::PickupData(QStringLiteral("PASPORT_DATA"), QStringLiteral("DATA"),
                                    QStringLiteral("CLIENT_PASSPORT_INFO")));

    addColumnEh(QStringLiteral("CLIENT_NAME"), 120, tr("common.FSN2", u"Ф.И.О."));
    addColumnEh(QStringLiteral("CLIENT_ADDRESS"), 240, tr("TClients.TClients.CLIENT_ADDRESS", u"Адрес"));
    addColumnEh(QStringLiteral("CLIENT_INN"), 120, tr("TClients.TClients.CLIENT_INN", u"ИНН"));
    addColumnEh(QStringLiteral("CLIENT_PASSPORT_SN"), 50,
                tr("TClients.TClients.CLIENT_PASSPORT_SN", u"Паспорт|Серия"));
    addColumnEh(QStringLiteral("CLIENT_PASSPORT_NUM"), 50,
                tr("TClients.TClients.CLIENT_PASSPORT_NUM", u"Паспорт|Номер"));
    addColumnEh(QStringLiteral("CLIENT_PASSPORT_INFO"), 120,
                tr("TClients.TClients.CLIENT_PASSPORT_INFO", u"Паспорт|Кем выдан"));
    addColumnEh(QStringLiteral("CLIENT_PASSPORT_DATE"), 50,
                tr("TClients.TClients.CLIENT_PASSPORT_DATE", u"Паспорт|Дата выдачи"));
    addColumnEh(QStringLiteral("CLIENT_PHONE"), 120, tr("TClients.TClients.CLIENT_PHONE", u"Телефон"));
    addColumnEh(QStringLiteral("CLIENT_INFO"), 240, tr("field.INFO", u"Примечание"));
}

TClients::~TClients() {
    releaseOwnTransaction(*this);
}

bool TClients::selectRecord(const Variant& key, ufb::TDBRecord& record) {
    record.setDatabase(getDatabase());
    record.SetKey(QStringLiteral("CLIENT_ID"), key);
    return record.Select() > 0;
}

void TClients::sortByField(const QString& fieldName) {
    if (fieldName == QLatin1String("CLIENT_NAME"))
        sortByIndex(*this, QStringLiteral("CLIENT_NAME_IDX"));
    else if (fieldName == QLatin1String("CLIENT_ADDRESS"))
        sortByIndex(*this, QStringLiteral("CLIENT_ADDRESS_IDX"));
}

void TClients::beforePost() {
    const QString authority = getTable()->fieldByName(QStringLiteral("CLIENT_PASSPORT_INFO")).asString();
    if (authority.isEmpty()) return;
    // The text travels as a parameter: authorities hold apostrophes ("Дем'янівський РВ").
    ufb::AutoQuery q(QStringLiteral("select * from PASPORT_DATA where DATA = :DATA"), nullptr);
    q->setParam(QStringLiteral("DATA"), authority);
    q->open();
    if (!q->eof()) return;
    q->close();
    const QString question =
        tr("TClients.TClients.IBTableBeforePost.msg1_1", u"Добавить") + QStringLiteral(" \"") + authority +
        QStringLiteral("\" ") +
        tr("TClients.TClients.IBTableBeforePost.msg1_2", u"в справочник \"Кем выдан паспорт\"?");
    if (ui::dialogs().message(question, ui::MsgType::Confirmation, ui::Button::Ok, QString()) !=
        ui::ModalResult::Ok)
        return;
    q->setSql(QStringLiteral("insert into PASPORT_DATA (DATA) values (:DATA)"));
    q->setParam(QStringLiteral("DATA"), authority);
    q->execSql();
    q->transaction()->commit();
    pickupList_.fill();
}

QString TClients::NameById(int id, fb::Transaction* transaction) {
    TClientInfo client;
    client.SetField(TClientInfo::fCLIENT_ID, id);
    client.Select(transaction);
    return client.GetField(TClientInfo::fCLIENT_NAME).toText();
}

QString TClients::PassportInfoById(int id, fb::Transaction* transaction) {
    TClientInfo client;
    client.SetField(TClientInfo::fCLIENT_ID, id);
    client.Select(transaction);
    const auto text = [&client](TClientInfo::Column c) {
        const Variant v = client.GetField(c);
        return v.isEmpty() ? QString() : v.toText();
    };
    const QString issued = tr("TClients.TClients.PassportInfoById.PassportInfo", u" Виданий ").trimmed();
    return QStringLiteral("Паспорт ") + text(TClientInfo::fCLIENT_PASSPORT_SN) + u' ' +
           text(TClientInfo::fCLIENT_PASSPORT_NUM) + u' ' + issued + u' ' +
           text(TClientInfo::fCLIENT_PASSPORT_INFO) + u' ' + text(TClientInfo::fCLIENT_PASSPORT_DATE);
}

// ---- TAgentInfo -----------------------------------------------------------------------------------

TAgentInfo::TAgentInfo(int agentId, fb::Transaction* transaction) : transaction_(transaction) {
    read(QStringLiteral("AGENT_ID = :AGENT_ID"), QStringLiteral("AGENT_ID"), agentId,
         QStringLiteral("\nAGENT_ID = ") + QString::number(agentId));
    login_ = storedLogin_;
}

TAgentInfo::TAgentInfo(const QString& login, fb::Transaction* transaction)
    : transaction_(transaction), login_(login) {
    read(QStringLiteral("UPCASE(AGENT_LOGIN) = UPCASE(cast(:AGENT_LOGIN as varchar(255)))"),
         QStringLiteral("AGENT_LOGIN"), login, QStringLiteral("\nAGENT_LOGIN = ") + login);
}

void TAgentInfo::read(const QString& condition, const QString& paramName, const Variant& paramValue,
                      const QString& asked) {
    ufb::AutoQuery q(QStringLiteral("select * from AGENTS where ") + condition, transaction_);
    q->setParam(paramName, paramValue);
    q->open();
    int rows = 0;
    for (; !q->eof(); q->next()) {
        if (++rows > 1) break;
        agentId_ = q->fieldByName(QStringLiteral("AGENT_ID")).asInteger();
        agentName_ = q->fieldByName(QStringLiteral("AGENT_NAME")).asString();
        isManager_ = q->fieldByName(QStringLiteral("GROUP_ID")).asInteger() == 1;
        kassirId_ = q->fieldByName(QStringLiteral("KASSIR_ID")).asString();
        storedLogin_ = q->fieldByName(QStringLiteral("AGENT_LOGIN")).asString();
    }
    if (rows != 1)
        throw core::Exception(
            tr("u_loggedUser.userNotFound", u"Невозможно идентифициоровать пользователя программы") + asked);
}

// ---- TAgents --------------------------------------------------------------------------------------

TAgents::TAgents(fb::Database* database)
    : TableWrapper(QStringLiteral("AGENTS"), QStringLiteral("AGENT_ID"), orMainDb(database)) {
    ownTransaction_ = ownTransactionFor(*this);
    transaction_ = ownTransaction_.get();
    groups_ = createQuery();
    groups_->setSql(
        QStringLiteral(" select AG.GROUP_ID, AGL.GROUP_NAME as GROUP_NAME from AGENTS_GROUP AG  left "
                       "join AGENTS_GROUP_LANGS AGL on AGL.ID_REC=AG.GROUP_ID  where AGL.ID_LANG=") +
        QString::number(
            utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 1)));

    addIntegerField(QStringLiteral("AGENT_ID"))->setVisible(false);
    required(addStringField(QStringLiteral("AGENT_NAME"), 80));
    // The table's column widths: a login is a server user name of at most 31 characters.
    required(addStringField(QStringLiteral("AGENT_LOGIN"), 31));
    required(addStringField(QStringLiteral("AGENT_PASSWORD"), 31));
    required(addIntegerField(QStringLiteral("GROUP_ID")));
    data::Field* group =
        addField(std::make_unique<data::Field>(data::DataType::String, 80, data::FieldKind::Lookup),
                 QStringLiteral("AG_GROUP"));
    group->setLookup(groups_.get(), QStringLiteral("GROUP_ID"), QStringLiteral("GROUP_ID"),
                     QStringLiteral("GROUP_NAME"));
    required(group);
    addStringField(QStringLiteral("KASSIR_ID"), 4);

    fb::Table* table = getTable();
    table->onNewRecord = [](data::Dataset& ds) { setKeyZeroWhenEmpty(ds, QStringLiteral("AGENT_ID")); };
    table->beforePost = [this](data::Dataset&) { IBTableBeforePost(); };
    // The wrapper's own handler finds the stored row's key first.
    table->afterPost = [this, keyRefresh = table->afterPost](data::Dataset& ds) {
        if (keyRefresh) keyRefresh(ds);
        IBTableAfterPost();
    };
    table->beforeDelete = [this](data::Dataset&) { IBTableBeforeDelete(); };
    table->afterDelete = [this](data::Dataset&) { IBTableAfterDelete(); };

    addColumnEh(QStringLiteral("AGENT_NAME"), 120, tr("common.FSN2", u"Ф.И.О."));
    addColumnEh(QStringLiteral("AG_GROUP"), 120, tr("TClients.TAgents.AG_GROUP", u"Группа"));
    addColumnEh(QStringLiteral("AGENT_LOGIN"), 190, tr("TClients.TAgents.AGENT_LOGIN", u"Логин"));
    addColumnEh(QStringLiteral("AGENT_PASSWORD"), 120, QStringLiteral("Пароль"));
    addColumnEh(QStringLiteral("KASSIR_ID"), 100, tr("TClients.TAgents.KASSIR_ID", u"Номер кассира"));
}

TAgents::~TAgents() {
    releaseOwnTransaction(*this);
    groups_->close();
}

bool TAgents::open() {
    groups_->open();
    return TableWrapper::open();
}

bool TAgents::close() {
    const bool closed = TableWrapper::close();
    groups_->close();
    return closed;
}

void TAgents::sortByField(const QString& fieldName) {
    if (fieldName == QLatin1String("AGENT_NAME"))
        sortByIndex(*this, QStringLiteral("AGENT_NAME_IDX"));
    else if (fieldName == QLatin1String("AG_GROUP"))
        sortByIndex(*this, QStringLiteral("AGENT_GROUP_IDX"));
    else if (fieldName == QLatin1String("AGENT_LOGIN"))
        sortByIndex(*this, QStringLiteral("AGENT_LOGIN_IDX"));
}

int TAgents::agentIdByLogin(const QString& login) {
    return TAgentInfo(login, nullptr).agentId();
}

QString TAgents::agentNameById(int agentId) {
    return TAgentInfo(agentId, nullptr).agentName();
}

QString TAgents::agentLoginById(int agentId) {
    return TAgentInfo(agentId, nullptr).login();
}

QString TAgents::agentNameByLogin(const QString& login) {
    return TAgentInfo(login, nullptr).agentName();
}

QString TAgents::kassirIdByLogin(const QString& login) {
    return TAgentInfo(login, nullptr).kassirId();
}

// ---- TAgents on the database server -------------------------------------------------------------

const QString TAgents::passwordMask = QStringLiteral("*******");

namespace {

const int kSecurityAttempts = 3;

// The roles a user of the group holds, each with the admin option for managers, who add users.
std::vector<TAgents::Grant> groupRoles(int groupId);

// A login becomes a server user name and enters role statements: only a plain identifier does.
void checkLogin(const QString& login) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]{0,30}$"));
    if (!identifier.match(login).hasMatch()) {
        throw core::Exception(tr("TClients.TAgents.IBTableBeforePost.Exception3",
                                 u"Логин пользователя должен начинаться с латинской буквы и содержать только "
                                 u"латинские буквы, цифры, \"_\" и \"$\", не более 31 символа") +
                              QStringLiteral(": ") + login);
    }
}

bool isIdentifier(const QString& login) {
    try {
        checkLogin(login);
        return true;
    } catch (const core::Exception&) {
        return false;
    }
}

// A user name as a quoted identifier: the server keeps it in upper case.
QString quotedUser(const QString& name) {
    QString upper = name.toUpper();
    upper.replace(u'"', QStringLiteral("\"\""));
    return u'"' + upper + u'"';
}

// The security service as the administrator, with the password typed in this session or asked for.
void attachSecurity(fb::Service& service, const QString& host) {
    service.setServerName(host);
    QString& password = udb::sessionSysdbaPassword();
    udb::tryActivateSs(service, password, kSecurityAttempts, &password);
}

// Attaches the security service and removes the login's server user. A new user has none yet, and
// one that is gone already is just as good: a row must stay storable and deletable.
void removeServerUser(fb::Service& service, const QString& host, const QString& login) {
    attachSecurity(service, host);
    try {
        service.deleteUser(login);
    } catch (const fb::NoSuchUser&) {
    }
}

void detachQuietly(fb::Service& service) noexcept {
    try {
        service.detach();
    } catch (...) {
        // The failure being passed on matters more; the server drops the attachment anyway.
    }
}

}  // namespace

QString TAgents::serverHost() const {
    return udb::dbHost(getDatabase()->databaseName());
}

void TAgents::rollbackAndReopen() {
    serverUserWritten = 0;
    groupChanged_ = false;
    transaction_->rollback();
    open();
}

void TAgents::IBTableBeforePost() {
    fb::Table* table = getTable();
    const auto field = [table](const char* name) -> data::Field& {
        return table->fieldByName(QString::fromLatin1(name));
    };
    serverUserWritten = 0;
    groupChanged_ = false;
    adminRevokes_.clear();
    for (const char* name : {"AGENT_LOGIN", "AGENT_PASSWORD", "AGENT_NAME", "GROUP_ID"}) {
        if (field(name).isNull() || field(name).asString().isEmpty()) {
            table->cancel();
            table->first();
            throw core::Exception(tr("TClients.TAgents.IBTableBeforePost.Exception",
                                     u"Необходимо заполнить все поля информации об агенте"));
        }
    }
    const QString login = field("AGENT_LOGIN").asString();
    const QString password = field("AGENT_PASSWORD").asString();
    const bool existed = table->state() == data::DatasetState::Edit;
    if (existed) {
        ufb::AutoQuery q(
            QStringLiteral("select AGENT_LOGIN, GROUP_ID from AGENTS where AGENT_ID = :AGENT_ID"),
            transaction_);
        q->setParam(QStringLiteral("AGENT_ID"), field("AGENT_ID").value());
        q->open();
        if (!q->eof()) {
            if (q->fieldByName(QStringLiteral("AGENT_LOGIN")).asString() != login)
                throw core::Exception(tr("TClients.TAgents.IBTableBeforePost.Exception2",
                                         u"Нельзя изменять логин пользователя"));
            groupChanged_ =
                q->fieldByName(QStringLiteral("GROUP_ID")).asInteger() != field("GROUP_ID").asInteger();
        }
    }
    const bool newPassword = password != passwordMask;
    if (!existed || newPassword || groupChanged_) checkLogin(login);
    if (!existed) {
        // Logins that differ only in case are one server user.
        ufb::AutoQuery q(QStringLiteral("select count(*) as N from AGENTS where UPCASE(AGENT_LOGIN) = "
                                        "UPCASE(cast(:AGENT_LOGIN as varchar(31)))"),
                         transaction_);
        q->setParam(QStringLiteral("AGENT_LOGIN"), login);
        q->open();
        if (q->fieldByName(QStringLiteral("N")).asInteger() > 0)
            throw core::Exception(tr("TClients.TAgents.IBTableBeforePost.Exception4",
                                     u"Пользователь с таким логином уже существует") +
                                  QStringLiteral(": ") + login);
    }
    if (!newPassword) return;

    fb::Service service;
    try {
        removeServerUser(service, serverHost(), login);
        if (service.running()) QThread::msleep(1000);
        service.addUser(login, password, login);
        service.detach();
    } catch (...) {
        detachQuietly(service);
        rollbackAndReopen();
        throw;
    }
    field("AGENT_PASSWORD").setValue(passwordMask);
    serverUserWritten = 1;
}

void TAgents::IBTableAfterPost() {
    data::Dataset& ds = *getDataSet();
    const QString login = ds.fieldByName(QStringLiteral("AGENT_LOGIN")).asString();
    const bool rolesDue = serverUserWritten != 0 || groupChanged_;
    // A login that never became a server user has no roles to look after.
    if (!isIdentifier(login)) return;
    int statements = 0;
    try {
        // Even with nothing due, a grant that a failed store left to the administrator is taken back.
        statements =
            setRoles(login, groupRoles(ds.fieldByName(QStringLiteral("GROUP_ID")).asInteger()), rolesDue);
    } catch (...) {
        rollbackAndReopen();
        throw;
    }
    if (!rolesDue && statements == 0 && adminRevokes_.empty()) return;
    // The row and its roles are stored together.
    transaction_->commit();
    open();
    getDataSet()->first();
    serverUserWritten = 0;
    groupChanged_ = false;
    revokeAsAdministrator();
}

void TAgents::IBTableBeforeDelete() {
    data::Dataset& ds = *getDataSet();
    adminRevokes_.clear();
    const Variant agentId = ds.fieldByName(QStringLiteral("AGENT_ID")).value();
    const QString login = ds.fieldByName(QStringLiteral("AGENT_LOGIN")).asString();
    {
        ufb::AutoQuery q(QStringLiteral("Select contract_id from penalty_contracts where AGENT_ID = ") +
                             udb::var2DbVar(agentId),
                         nullptr);
        q->open();
        if (!q->eof())
            throw core::Exception(
                tr("TClients.TAgents.IBTableBeforeDelete.Exception",
                   u"Невозможно удалить пользователя, т.к. существуют созданные им договора.\n"
                   u"Если вы хотите удалить этого пользователя, удалите все договора созданные "
                   u"им."));
    }
    // The server knows a user by its name in any case.
    if (login.compare(getDatabase()->userName(), Qt::CaseInsensitive) == 0)
        throw core::Exception(
            tr("TClients.TAgents.IBTableBeforeDelete.Exception2", u"Нельзя удалить текущего пользователя") +
            QStringLiteral(" \n\nInfo: src/contracts/TClients.cpp:") + QString::number(__LINE__));
    // A login that is no identifier was never let onto the server: only the row goes.
    if (!isIdentifier(login)) return;

    fb::Service service;
    try {
        removeServerUser(service, serverHost(), login);
        setRoles(login, {}, false);
        service.detach();
    } catch (...) {
        detachQuietly(service);
        adminRevokes_.clear();
        throw;
    }
}

void TAgents::IBTableAfterDelete() {
    transaction_->commit();
    open();
    revokeAsAdministrator();
}

namespace {

std::vector<TAgents::Grant> groupRoles(int groupId) {
    if (groupId == 0) return {{QStringLiteral("AGENTROLE"), QString(), false}};
    return {{QStringLiteral("AGENTROLE"), QString(), true}, {QStringLiteral("MASTERROLE"), QString(), true}};
}

}  // namespace

int TAgents::setRoles(const QString& login, const std::vector<Grant>& wanted, bool grantMissing) {
    const QString user = login.toUpper();
    auto q = createQuery();
    q->setSql(QStringLiteral("select CURRENT_USER as ME from RDB$DATABASE"));
    q->open();
    const QString me = q->fieldByName(QStringLiteral("ME")).asString().trimmed();
    q->close();
    // RDB$USER_TYPE 8: granted to a user. Any grant option counts as the admin option for a role.
    q->setSql(QStringLiteral(
        "select RDB$RELATION_NAME as ROLE_NAME, RDB$GRANTOR as GRANTOR, coalesce(RDB$GRANT_OPTION, 0) as ADM "
        "from RDB$USER_PRIVILEGES where RDB$PRIVILEGE = 'M' and RDB$USER_TYPE = 8 and RDB$USER = :U "
        "and RDB$RELATION_NAME in ('AGENTROLE', 'MASTERROLE')"));
    q->setParam(QStringLiteral("U"), user);
    q->open();
    std::vector<Grant> held;
    for (; !q->eof(); q->next()) {
        held.push_back({q->fieldByName(QStringLiteral("ROLE_NAME")).asString().trimmed(),
                        q->fieldByName(QStringLiteral("GRANTOR")).asString().trimmed(),
                        q->fieldByName(QStringLiteral("ADM")).asInteger() != 0});
    }
    q->close();

    QStringList statements;
    std::vector<bool> satisfied(wanted.size(), false);
    for (const Grant& g : held) {
        const auto match = std::find_if(wanted.begin(), wanted.end(), [&g](const Grant& w) {
            return w.role == g.role && w.admin == g.admin;
        });
        if (match != wanted.end()) {
            satisfied[match - wanted.begin()] = true;
        } else if (g.grantor == me) {
            statements << QStringLiteral("REVOKE ") + g.role + QStringLiteral(" FROM ") + quotedUser(user);
        } else {
            // Only the grantor may revoke a grant, or the administrator naming the grantor.
            adminRevokes_.push_back(g);
        }
    }
    if (!adminRevokes_.empty()) revokeLogin_ = user;
    for (size_t i = 0; grantMissing && i < wanted.size(); ++i) {
        if (satisfied[i]) continue;
        statements << QStringLiteral("GRANT ") + wanted[i].role + QStringLiteral(" TO ") + quotedUser(user) +
                          (wanted[i].admin ? QStringLiteral(" WITH ADMIN OPTION") : QString());
    }
    for (const QString& statement : statements) {
        q->setSql(statement);
        q->execSql();
    }
    return static_cast<int>(statements.size());
}

void TAgents::revokeAsAdministrator() {
    if (adminRevokes_.empty()) return;
    const std::vector<Grant> revokes = std::move(adminRevokes_);
    adminRevokes_.clear();
    try {
        const QString path = getDatabase()->databaseName();
        fb::Database admin(path);
        admin.setUserName(QStringLiteral("SYSDBA"));
        // The embedded engine trusts the name; a server asks for the password.
        if (path.startsWith(udb::dbHost(path) + u':')) {
            QString& password = udb::sessionSysdbaPassword();
            udb::tryAsSysdba(
                [&admin](const QString& current) {
                    admin.setPassword(current);
                    admin.open();
                },
                password, kSecurityAttempts, &password);
        } else {
            admin.open();
        }
        fb::Transaction t(&admin);
        fb::Statement st(&t);
        for (const Grant& g : revokes) {
            st.setSql(QStringLiteral("REVOKE ") + g.role + QStringLiteral(" FROM ") +
                      quotedUser(revokeLogin_) + QStringLiteral(" GRANTED BY ") + quotedUser(g.grantor));
            st.execute();
        }
        t.commit();
    } catch (const core::Exception& e) {
        ui::showError(e.message());
    }
}

// ---- TPlaceInfo, TPlaces --------------------------------------------------------------------------

TPlaceInfo::TPlaceInfo() : TDBRecord(QStringLiteral("PLACES"), nullptr) {}

TPlaces::TPlaces(fb::Database* database)
    : TableWrapper(QStringLiteral("PLACES"), QStringLiteral("PLACE_ID"), orMainDb(database)) {
    ownTransaction_ = ownTransactionFor(*this);
    transaction_ = ownTransaction_.get();
    addIntegerField(QStringLiteral("PLACE_ID"))->setVisible(false);
    required(addStringField(QStringLiteral("PLACE_NAME"), 255));
    addColumnEh(QStringLiteral("PLACE_NAME"), 150, QStringLiteral("Место"));
}

TPlaces::~TPlaces() {
    releaseOwnTransaction(*this);
}

QString TPlaces::placeNameById(int placeId) const {
    TPlaceInfo place;
    place.setDatabase(getDatabase());
    place.SetKey(QStringLiteral("PLACE_ID"), placeId);
    // A contract without a place, or with one deleted since, shows none.
    if (place.Select() == 0) return QString();
    return place.GetField(QStringLiteral("PLACE_NAME")).toText();
}

// ---- texts ----------------------------------------------------------------------------------------

std::vector<std::pair<QString, QString>> clientsTexts(int language) {
    struct Text {
        const char* key;
        const char16_t* ru;
        const char16_t* uk;
    };
    static const Text texts[] = {
        {"common.FSN2", u"Ф.И.О.", u"П.І.Б."},
        {"field.INFO", u"Примечание", u"Примітка"},
        {"TClients.TClients.CLIENT_ADDRESS", u"Адрес", u"Адреса"},
        {"TClients.TClients.CLIENT_INN", u"ИНН", u"ІПН"},
        {"TClients.TClients.CLIENT_PASSPORT_SN", u"Паспорт|Серия", u"Паспорт|Серія"},
        {"TClients.TClients.CLIENT_PASSPORT_NUM", u"Паспорт|Номер", u"Паспорт|Номер"},
        {"TClients.TClients.CLIENT_PASSPORT_INFO", u"Паспорт|Кем выдан", u"Паспорт|Ким виданий"},
        {"TClients.TClients.CLIENT_PASSPORT_DATE", u"Паспорт|Дата выдачи", u"Паспорт|Дата видачі"},
        {"TClients.TClients.CLIENT_PHONE", u"Телефон", u"Телефон"},
        {"TClients.TClients.PassportInfoById.PassportInfo", u"Выданный", u"Виданий"},
        {"TClients.TClients.IBTableBeforePost.msg1_1", u"Добавить", u"Додати"},
        {"TClients.TClients.IBTableBeforePost.msg1_2", u"в справочник \"Кем выдан паспорт\"?",
         u"до довідника \"Ким виданий паспорт\"?"},
        {"TClients.TAgents.AG_GROUP", u"Группа", u"Група"},
        {"TClients.TAgents.AGENT_LOGIN", u"Логин", u"Логін"},
        {"TClients.TAgents.KASSIR_ID", u"Номер кассира", u"Номер касира"},
        {"TClients.TAgents.IBTableBeforePost.Exception",
         u"Необходимо заполнить все поля информации об агенте",
         u"Необхідно заповнити всі поля інформації про агента"},
        {"TClients.TAgents.IBTableBeforePost.Exception2", u"Нельзя изменять логин пользователя",
         u"Не можна змінювати логін користувача"},
        {"TClients.TAgents.IBTableBeforePost.Exception3",
         u"Логин пользователя должен начинаться с латинской буквы и содержать только латинские буквы, цифры, "
         u"\"_\" и \"$\", не более 31 символа",
         u"Логін користувача має починатися з латинської літери і містити лише латинські літери, цифри, "
         u"\"_\" "
         u"і \"$\", не більше 31 символу"},
        {"TClients.TAgents.IBTableBeforePost.Exception4", u"Пользователь с таким логином уже существует",
         u"Користувач з таким логіном уже існує"},
        {"TClients.TAgents.IBTableBeforeDelete.Exception",
         u"Невозможно удалить пользователя, т.к. существуют созданные им договора.\nЕсли вы хотите удалить "
         u"этого пользователя, удалите все договора созданные им.",
         u"Неможливо видалити користувача, оскільки існують створені ним договори.\nЯкщо ви хочете видалити "
         u"цього користувача, видаліть усі договори, створені ним."},
        {"TClients.TAgents.IBTableBeforeDelete.Exception2", u"Нельзя удалить текущего пользователя",
         u"Не можна видалити поточного користувача"},
        {"u_loggedUser.userNotFound", u"Невозможно идентифициоровать пользователя программы",
         u"Неможливо ідентифікувати користувача програми"},
    };
    std::vector<std::pair<QString, QString>> out;
    for (const Text& t : texts)
        out.emplace_back(QString::fromLatin1(t.key), QString::fromUtf16(language == 2 ? t.uk : t.ru));
    return out;
}

}  // namespace TolvLogic
