#pragma once
// Rows the cash tests make for themselves: order templates with their texts and cash orders, each
// under a key of its own, written on the given transaction or committed at once without one.

#include <QString>
#include <optional>

#include "kv_FbUtil.h"
#include "tests/src/contracts/ContractRows.h"

namespace cashtest {

using contracttest::lit;

// A template with a text row for each text given (1 Russian, 2 Ukrainian); none when both are empty.
inline int newTemplate(int type, const QString& account, const std::optional<QString>& ru,
                       const std::optional<QString>& uk, const QString& code = QString(),
                       fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_DIR_WARRANTES_ID"));
    udb::execSql(
        QStringLiteral("insert into DIR_WARRANTES (ID, ACCOUNT_NUMBER, CODE, W_TYPE) values (%1, %2, %3, %4)")
            .arg(id)
            .arg(lit(account), code.isEmpty() ? QStringLiteral("NULL") : lit(code))
            .arg(type),
        transaction);
    const std::pair<int, const std::optional<QString>*> texts[] = {{1, &ru}, {2, &uk}};
    for (const auto& [lang, text] : texts) {
        if (!*text) continue;
        udb::execSql(QStringLiteral("insert into DIR_WARRANTES_LANGS (ID_REC, ID_LANG, FOUNDATION, "
                                    "OPERATION_SUBJECT) values (%1, %2, %3, %4)")
                         .arg(id)
                         .arg(lang)
                         .arg(lit(**text + QStringLiteral(" (підстава)")), lit(**text)),
                     transaction);
    }
    return id;
}

struct Order {
    core::DateTime date = contracttest::day(10, 6);
    std::optional<int> templateId;
    int filialId = 0;  // 0: the current branch
    int sum = 1000;
    std::optional<int> contractId;
    std::optional<int> operationId;
    std::optional<int> registerId;
    QString number = QStringLiteral("1");
};

inline QString orNull(const std::optional<int>& value) {
    return value ? QString::number(*value) : QStringLiteral("NULL");
}

inline int newOrder(const Order& o, fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_WARRANTES_ID"));
    const int filial = o.filialId ? o.filialId : TolvLogic::FilialsDir::scGetCurentFilialId();
    udb::execSql(
        QStringLiteral("insert into WARRANTES (ID, ID_DIR_WARRANTES, ID_FILIAL, NUMBER, W_DATE, W_TYPE, "
                       "W_SUM, ID_CONTRACT, ID_OPERATION, ID_REGISTER) values (%1, %2, %3, %4, %5, 0, "
                       "%6, %7, %8, %9)")
            .arg(id)
            .arg(orNull(o.templateId))
            .arg(filial)
            .arg(lit(o.number), lit(o.date))
            .arg(o.sum)
            .arg(orNull(o.contractId), orNull(o.operationId), orNull(o.registerId)),
        transaction);
    return id;
}

}  // namespace cashtest
