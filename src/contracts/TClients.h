#pragma once
// The borrowers (CLIENTS), the program users (AGENTS) and the places where pledges are kept (PLACES):
// a record for one row and a directory list over each table, with the small lookups the dialogs and
// documents ask of them (a client's name and passport line, a user's id, name, login or cashier
// number, a place's name). Each list runs on a transaction of its own, which the directory form
// commits and rolls back.

#include <QString>
#include <memory>
#include <vector>

#include "kv_DBRecord.h"
#include "kv_DataSetWrapper.h"
#include "kv_GridPickupList.h"

namespace fb {
class Database;
class Query;
class Transaction;
}  // namespace fb

namespace TolvLogic {

// Positions of the client record's columns (GetField, SetField).
extern const char* const clientsFields[10];

// One CLIENTS row on the program database; CLIENT_ID starts as 0.
class TClientInfo : public ufb::TDBRecord {
public:
    enum Column {
        fCLIENT_NAME = 0,
        fCLIENT_ADDRESS,
        fCLIENT_PHONE,
        fCLIENT_INFO,
        fCLIENT_ID,
        fCLIENT_INN,
        fCLIENT_PASSPORT_SN,
        fCLIENT_PASSPORT_NUM,
        fCLIENT_PASSPORT_INFO,
        fCLIENT_PASSPORT_DATE
    };

    TClientInfo();

    using TDBRecord::GetField;
    using TDBRecord::SetField;
    // A column the record does not hold raises the record's missing-field error.
    core::Variant GetField(int index) const;
    // CLIENT_ID, being the key, moves the key with it.
    void SetField(int index, const core::Variant& value);

    // CONTRACT_IDs of this client's contracts in the state, in the order the database gives them.
    std::vector<int> getContractsByState(int state) const;
};

// The client directory in CLIENT_NAME order, with the pick list of issuing authorities (PASPORT_DATA).
// Posting a row with an authority not yet remembered offers to remember it; new rows carry key 0,
// which the database replaces.
class TClients : public ufb::TableWrapper {
public:
    // On the program database when none is given; the table stays closed.
    explicit TClients(fb::Database* database = nullptr);
    ~TClients() override;

    ufb::PickupList* getPickupList() override { return &pickupList_; }
    // Points the record at the list's database and selects the client with the key.
    bool selectRecord(const core::Variant& key, ufb::TDBRecord& record) override;
    // CLIENT_NAME and CLIENT_ADDRESS order the rows by their indexes; other fields keep the order.
    virtual void sortByField(const QString& fieldName);

    // CLIENT_NAME of the client; a client without a row raises the record's missing-field error.
    static QString NameById(int id, fb::Transaction* transaction = nullptr);
    // "Паспорт <series> <number> <issued> <authority> <date>", Null parts as empty texts.
    static QString PassportInfoById(int id, fb::Transaction* transaction = nullptr);

private:
    void beforePost();

    std::unique_ptr<fb::Transaction> ownTransaction_;
    ufb::PickupList pickupList_;
};

// One program user, read by id or by login (the login without regard to case); exactly one row must
// match, else "Невозможно идентифициоровать пользователя программы" names what was asked.
class TAgentInfo {
public:
    // A null transaction reads on a query with a transaction of its own.
    TAgentInfo(int agentId, fb::Transaction* transaction);
    // Keeps the login as passed in, not as stored.
    TAgentInfo(const QString& login, fb::Transaction* transaction);

    fb::Transaction* transaction() const { return transaction_; }
    int agentId() const { return agentId_; }
    const QString& login() const { return login_; }
    const QString& agentName() const { return agentName_; }
    bool isManager() const { return isManager_; }
    const QString& kassirId() const { return kassirId_; }

private:
    void read(const QString& condition, const QString& paramName, const core::Variant& paramValue,
              const QString& asked);

    fb::Transaction* transaction_ = nullptr;
    int agentId_ = 0;
    QString login_;
    QString agentName_;
    bool isManager_ = false;
    QString kassirId_;
    QString storedLogin_;
};

// The program users directory, the group names in the interface language looked up by GROUP_ID.
// Every user is also a user of the database server holding its group's role (AGENTROLE for agents,
// MASTERROLE for managers); the handlers below keep the server in step with the rows. The password
// lives on the server only: the table keeps passwordMask.
class TAgents : public ufb::TableWrapper {
public:
    explicit TAgents(fb::Database* database = nullptr);
    ~TAgents() override;

    // Shown and stored instead of a password; a password field that holds it was not changed.
    static const QString passwordMask;

    // Checks the row and writes the server user when a password was typed.
    void IBTableBeforePost();
    // Gives the stored user exactly its group's roles when its server user or group changed.
    void IBTableAfterPost();
    // Refuses, or removes the server user and its roles.
    void IBTableBeforeDelete();
    // Commits the delete and reopens the list.
    void IBTableAfterDelete();

    // The group names open first: the lookup field reads them.
    bool open() override;
    bool close() override;
    // AGENT_NAME, AG_GROUP and AGENT_LOGIN order the rows by their indexes; other fields keep the order.
    virtual void sortByField(const QString& fieldName);

    fb::Query* groups() const { return groups_.get(); }
    // Set while a server user has just been written (the server side of storing a user).
    unsigned char serverUserWritten = 0;

    static int agentIdByLogin(const QString& login);
    static QString agentNameById(int agentId);
    static QString agentLoginById(int agentId);
    static QString agentNameByLogin(const QString& login);
    static QString kassirIdByLogin(const QString& login);

    // A role held by a user and who granted it.
    struct Grant {
        QString role;
        QString grantor;
        bool admin = false;
    };

private:
    QString serverHost() const;
    // Role statements on the list's transaction that leave the user with the wanted roles as far as
    // this connection may grant and revoke; the grants of other grantors to be revoked are kept for
    // the administrator. Without grantMissing only roles the user should not hold are revoked.
    // The number of statements run.
    int setRoles(const QString& login, const std::vector<Grant>& wanted, bool grantMissing);
    // Revokes the kept grants of other grantors as the server's administrator, on a connection of
    // its own; a failure is shown, and the next store of the row tries again.
    void revokeAsAdministrator();
    void rollbackAndReopen();

    std::unique_ptr<fb::Transaction> ownTransaction_;
    std::unique_ptr<fb::Query> groups_;
    bool groupChanged_ = false;
    QString revokeLogin_;
    std::vector<Grant> adminRevokes_;
};

// One PLACES row; the key is left to the caller (and to the database for new rows).
class TPlaceInfo : public ufb::TDBRecord {
public:
    TPlaceInfo();
};

// The storage places directory; new rows leave PLACE_ID to the database.
class TPlaces : public ufb::TableWrapper {
public:
    explicit TPlaces(fb::Database* database = nullptr);
    ~TPlaces() override;

    // PLACE_NAME of the place, read on the list's database.
    QString placeNameById(int placeId) const;

private:
    std::unique_ptr<fb::Transaction> ownTransaction_;
};

// The texts of this unit's translator keys in the language (1 Russian, 2 Ukrainian), for the shell to
// copy into the translator; each entry is {key, text}.
std::vector<std::pair<QString, QString>> clientsTexts(int language);

}  // namespace TolvLogic
