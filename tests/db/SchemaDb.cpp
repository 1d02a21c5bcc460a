#include "tests/db/SchemaDb.h"

#include <atomic>

#include "platform/core/Exception.h"
#include "platform/fb/Error.h"
#include "platform/fb/Statement.h"

namespace tolvtest {

namespace {

void bind(fb::Statement& q, const Params& params) {
    for (const QString& name : q.paramNames()) {
        const auto it = params.find(name);
        if (it == params.end())
            throw core::Exception(QStringLiteral("No value for :") + name + QStringLiteral(" in ") + q.sql());
        q.setParam(name, it->second);
    }
}

}  // namespace

Sql::Sql(fb::Database& db) : tr_(&db) {
    tr_.setParams(
        {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    tr_.setDefaultAction(fb::TransactionAction::Rollback);
}

qint64 Sql::exec(const QString& sql, const Params& params) {
    fb::Statement q(&tr_);
    q.setSql(sql);
    bind(q, params);
    q.execute();
    return q.rowsAffected();
}

core::Variant Sql::value(const QString& sql, const Params& params) {
    fb::Statement q(&tr_);
    q.setSql(sql);
    bind(q, params);
    q.execute();
    return q.fetch() ? q.value(0) : core::Variant();
}

std::vector<Row> Sql::rows(const QString& sql, const Params& params) {
    fb::Statement q(&tr_);
    q.setSql(sql);
    bind(q, params);
    q.execute();
    std::vector<Row> result;
    while (q.fetch()) result.push_back(q.row());
    return result;
}

long Sql::refusal(const QString& sql, const Params& params, QString* text) {
    try {
        exec(sql, params);
    } catch (const fb::Error& e) {
        if (text) *text = e.fullText();
        return e.gdsCode();
    }
    return 0;
}

int freshKey() {
    // Far above what the generators of a test database reach, and below the 32-bit limit.
    static std::atomic<int> next{1'000'000'000};
    return ++next;
}

Params freshKeys(int n) {
    Params keys;
    for (int i = 0; i < n; ++i) keys[QStringLiteral("K%1").arg(i)] = freshKey();
    return keys;
}

std::unique_ptr<fb::Database> connectAs(const QString& path, const QString& user, const QString& role) {
    auto db = std::make_unique<fb::Database>(path);
    db->setUserName(user);
    db->setPassword(QStringLiteral("unused"));
    db->setRole(role);
    db->open();
    return db;
}

const std::vector<const char*> kGenerators = {
    "GEN_CONTRACTS_ID",       "GEN_OPERATIONS_ID",   "GEN_SUBJECTS_ID",          "GEN_DEPOSIT_SUBJECTS_ID",
    "GEN_DEPOSIT_TYPES_ID",   "GEN_PASPORT_DATA_ID", "GEN_AUTO_PERC_SUM_ID",     "GEN_AUTO_PERC_DAYS_ID",
    "GEN_DIR_DRAGME_TYPE_ID", "GEN_GOLD_TARIF_ID",   "GEN_DIR_EXCHANGE_ID",      "GEN_CLIENTS_ID",
    "GEN_AGENTS_ID",          "GEN_PLACES_ID",       "GEN_DIR_ADD_SERVICES_ID",  "GEN_ADD_SERVICES_ID",
    "GEN_WARRANTES_ID",       "GEN_REGISTERS_ID",    "GEN_DIR_WARRANTES_ID",     "GEN_ACT_ID",
    "GEN_ACT_SUBJ_ID",        "GEN_PARCEL_ID",       "GEN_COMMISSION_HEADER_ID", "GEN_COMMISSION_ID",
    "GEN_ZVIT_REPORTS_ID",    "GEN_ZVIT_COMPANY_ID", "GEN_ZVIT_BALANCE_ID",      "GEN_ZVIT_RESULTS_ID",
    "GEN_DIR_FILIAL_ID",      "GEN_DIR_CORRESP_ID",  "GEN_EXPORT_HISTORY_ID",    "GEN_IMPORT_HISTORY_ID",
};

}  // namespace tolvtest
