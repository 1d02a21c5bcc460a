#include "platform/fb/Table.h"

#include "platform/fb/Client.h"

namespace fb {

Table::Table(Transaction* transaction, QObject* parent) : Query(transaction, parent) {}

void Table::setTableName(const QString& name) {
    close();
    tableName_ = name;
}

void Table::setIndexFieldNames(const QString& fields) {
    close();
    indexFields_ = fields;
}

void Table::doOpen() {
    if (tableName_.isEmpty()) detail::raise(QStringLiteral("Table name missing"));
    QString sql = QStringLiteral("select * from ") + tableName_;
    QStringList order;
    for (const QString& f : indexFields_.split(u';', Qt::SkipEmptyParts)) order << f.trimmed();
    if (!order.isEmpty()) sql += QStringLiteral(" order by ") + order.join(u',');
    prepareSql(sql);
    Query::doOpen();

    // The statements of changes, from the table's own columns.
    QStringList columns, values, sets;
    for (int i = 0; i < statement().fieldCount(); ++i) {
        const FieldInfo& f = statement().fieldInfo(i);
        if (f.relation.compare(tableName_, Qt::CaseInsensitive) != 0 || f.column.isEmpty()) continue;
        if (!findField(f.column)) continue;  // a column the owner's fields leave out is not written
        columns << f.column;
        values << u':' + f.column;
        sets << f.column + QStringLiteral(" = :") + f.column;
    }
    QStringList keys, oldKeys;
    for (const QString& k : keyFields_.split(u';', Qt::SkipEmptyParts)) {
        keys << k.trimmed() + QStringLiteral(" = :") + k.trimmed();
        oldKeys << k.trimmed() + QStringLiteral(" = :OLD_") + k.trimmed();
    }
    QString insert = QStringLiteral("insert into %1 (%2) values (%3)").arg(tableName_, columns.join(u','), values.join(u','));
    if (!keys.isEmpty()) {
        // The key the database gave a new row comes back with it.
        QStringList keyNames;
        for (const QString& k : keyFields_.split(u';', Qt::SkipEmptyParts)) keyNames << k.trimmed();
        insert += QStringLiteral(" returning ") + keyNames.join(u',');
        setUpdateSql(UpdateKind::Modify, QStringLiteral("update %1 set %2 where %3")
                                             .arg(tableName_, sets.join(u','), oldKeys.join(QStringLiteral(" and "))));
        setUpdateSql(UpdateKind::Delete,
                     QStringLiteral("delete from %1 where %2").arg(tableName_, oldKeys.join(QStringLiteral(" and "))));
        setUpdateSql(UpdateKind::Refresh,
                     QStringLiteral("select * from %1 where %2").arg(tableName_, keys.join(QStringLiteral(" and "))));
    }
    setUpdateSql(UpdateKind::Insert, insert);
}

void Table::refresh() {
    const QStringList keys = keyFields_.split(u';', Qt::SkipEmptyParts);
    std::vector<core::Variant> values;
    if (active() && recNo() > 0) {
        for (const QString& k : keys) values.push_back(fieldByName(k.trimmed()).value());
    }
    close();
    open();
    if (!values.empty()) {
        QStringList names;
        for (const QString& k : keys) names << k.trimmed();
        locate(names, values);
    }
}

}  // namespace fb
