#pragma once
// Order types and order templates. A template gives an order its corresponding account, its type and
// two texts per interface language (the ground and the party); the eight templates with a CODE are
// the automatic ones the regeneration of orders takes its accounts and texts from. All are read in
// the interface language of the moment they are made, falling back to the other language's texts
// for a template that has none in it.

#include <QString>
#include <memory>

#include "kv_DBRecord.h"
#include "kv_DataSetWrapper.h"
#include "kv_QueryWrapper.h"
#include "u_DbFields.h"

namespace fb {
class Database;
class Query;
class Transaction;
}  // namespace fb

namespace TolvLogic {

// The order types (WARRANT_TYPES: 0 receipt, 1 expense) with their names in the interface language.
class WarrantTypes : public ufb::TableWrapper {
public:
    // On the program database when none is given.
    explicit WarrantTypes(fb::Database* database = nullptr);
    ~WarrantTypes() override;

    // The names (ID_REC, W_TYPE) in the interface language, open from construction on.
    data::Dataset* names() const;

private:
    std::unique_ptr<fb::Query> names_;
};

// One order template (DIR_WARRANTES) with the texts of every template in the interface language.
class DirWarrantInfo : public ufb::TDBRecord {
public:
    enum Column { dID = 0, dACCOUNT_NUMBER, dCODE, dW_TYPE };

    DirWarrantInfo();
    // The texts read on the transaction (none: one of their own), for a record that lives within it.
    explicit DirWarrantInfo(fb::Transaction* transaction);
    ~DirWarrantInfo() override;

    // A column the record does not hold raises the record's missing-field error.
    core::Variant GetField(int index) const;
    using ufb::TDBRecord::GetField;

    // The automatic template of the code (compared exactly, case counts), read on the transaction;
    // raises "Невозможно загрузить автоматический ордер <code>" when there is none.
    void loadAutoWarrant(const QString& code, fb::Transaction* transaction = nullptr);

    // The template's texts; empty for a template without any text row.
    QString getFoundation() const;
    QString getOperationSubject() const;

    // The caption the template directory shows for an automatic code; empty for any other text.
    static QString codeCaption(const QString& code);

private:
    QString text(const char* field) const;

    std::unique_ptr<fb::Query> texts_;
};

// The editable template directory, one row per template in the interface language. Every statement
// runs on the directory's own transaction, which the reference book commits or rolls back: a template
// and its texts are stored or dropped together.
class DirWarrantes : public ufb::UpdQueryWrapper {
public:
    // On the transaction; none: the program database with a transaction of its own.
    explicit DirWarrantes(fb::Transaction* transaction = nullptr);
    ~DirWarrantes() override;

    // The types list opens before the templates.
    bool open() override;
    bool close() override;

    // User templates (automatic = false) or automatic ones of the type only, at the next open.
    void setTypeFilter(int type, bool automatic);

    virtual void OnCalcFields(data::Dataset& dataset);
    // An automatic template is refused; a user template's texts of every language go first.
    virtual void BeforeDelete(data::Dataset& dataset);
    // Keeps an automatic template's type, and stores the texts in the interface language.
    virtual void BeforePost(data::Dataset& dataset);
    // Gives a new template its texts, then shows the list again on its last row.
    virtual void AfterPost(data::Dataset& dataset);

    int language() const { return language_; }

private:
    QString languageCondition() const;

    std::unique_ptr<WarrantTypes> types_;
    std::unique_ptr<fb::Query> statement_;
    int language_;
    // The texts of a template being inserted, stored once the template has its row.
    bool pendingTexts_ = false;
    QString pendingFoundation_;
    QString pendingSubject_;
};

}  // namespace TolvLogic
