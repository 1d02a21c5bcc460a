#include "kv_GridPickupList.h"

#include "kv_DbGridUtl.h"
#include "kv_FbQueryGod.h"

namespace ufb {

PickupData::PickupData(QString table, QString field, QString gridField, QString condition,
                       fb::Transaction* transaction)
    : table(std::move(table)),
      field(std::move(field)),
      gridField(std::move(gridField)),
      condition(std::move(condition)),
      transaction(transaction) {}

void PickupOutGrid::clear(const PickupData& item) {
    if (grid::Column* c = utl::DbGridUtl::findColumnEh(*grid_, item.gridField)) {
        c->pickList.clear();
    }
}

void PickupOutGrid::add(const PickupData& item, const QString& text) {
    if (grid::Column* c = utl::DbGridUtl::findColumnEh(*grid_, item.gridField)) c->pickList << text;
}

void PickupList::fill() {
    if (!output_) return;
    AutoQuery q;
    for (const PickupData& item : items_) {
        if (!output_->targetField().isEmpty() && output_->targetField() != item.gridField) continue;
        if (item.transaction) q->setTransaction(item.transaction);
        QString sql = QStringLiteral(" select ") + item.field + QStringLiteral(" from ") + item.table + u'\n';
        if (!item.condition.isEmpty()) sql += QStringLiteral(" where ") + item.condition + QStringLiteral(" \n");
        sql += QStringLiteral(" order by ") + item.field;
        q->setSql(sql);
        q->open();
        output_->clear(item);
        if (extraFirst_) output_->add(item, item.extraValue);
        for (; !q->eof(); q->next()) output_->add(item, q->field(0)->asString());
        q->close();
    }
}

}  // namespace ufb
