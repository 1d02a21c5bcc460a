#include "kv_QueryWrapper.h"

#include "kv_DbGridUtl.h"
#include "kv_FbUtil.h"
#include "kv_FormHelpers.h"
#include "platform/fb/Query.h"

namespace ufb {

namespace {

bool nameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Position of the first top-level occurrence of a word (outside quotes and parentheses, any letter
// case, not part of a longer name), from the given position; -1 when there is none.
int topLevelWord(const QString& text, const QString& word, int from = 0) {
    int depth = 0;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            const int end = static_cast<int>(text.indexOf(c, i + 1));
            if (end < 0) return -1;
            i = end;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && text.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
                   (i == 0 || !nameChar(text[i - 1])) &&
                   (i + word.size() >= text.size() || !nameChar(text[i + word.size()]))) {
            return i;
        }
    }
    return -1;
}

}  // namespace

QueryWrapper::QueryWrapper(fb::Database* database) : IbDataSetWrapper(database) { setDataSet(createQuery()); }

QueryWrapper::QueryWrapper(fb::Transaction* transaction) : IbDataSetWrapper(transaction) { setDataSet(createQuery()); }

QueryWrapper::~QueryWrapper() = default;

data::Dataset* QueryWrapper::getDataSet() { return query(); }

bool QueryWrapper::open() {
    prepareSql();
    return IbDataSetWrapper::open();
}

void QueryWrapper::setOrderBy(const QString& orderBy) {
    if (!orderBy_.isEmpty()) sortField_.clear();
    orderBy_ = orderBy;
}

void QueryWrapper::addFilter(const QString& condition) {
    filters_ << condition;
}

void QueryWrapper::addFieldFilter(const QString& field, const QString& value, bool like, bool upperCase) {
    QString condition = upperCase ? QStringLiteral("UPCASE(") + field + u')' : field;
    condition += like ? QStringLiteral(" like '") : QStringLiteral(" = '");
    // A surname with an apostrophe searches instead of breaking the statement.
    condition += udb::quoteSql(upperCase ? value.toUpper() : value);
    condition += like ? QStringLiteral("%'") : QStringLiteral("'");
    addFilter(condition);
}

QString QueryWrapper::joinedConditions() const {
    // Each condition is parenthesised whole, so that an "or" inside one never reaches the others.
    QStringList parts;
    if (!where_.isEmpty()) parts << u'(' + where_ + u')';
    for (const QString& filter : filters_) parts << u'(' + filter + u')';
    return parts.join(QStringLiteral(" and "));
}

int QueryWrapper::baseWhere() const {
    return topLevelWord(sql_, QStringLiteral("where"));
}

QString QueryWrapper::buildWhere() const {
    const QString conditions = joinedConditions();
    if (conditions.isEmpty()) return QString();
    return (baseWhere() >= 0 ? QStringLiteral(" and ") : QStringLiteral(" where ")) + conditions;
}

QString QueryWrapper::orderClause() const {
    if (!orderBy_.isEmpty()) return QStringLiteral(" order by ") + orderBy_;
    if (!sortField_.isEmpty()) return QStringLiteral(" order by ") + sortField_ + u' ' + sortDirection_;
    return QString();
}

QString QueryWrapper::getWhereAndOrder() const { return buildWhere() + orderClause(); }

void QueryWrapper::prepareSql() {
    fb::Query* q = query();
    q->close();
    QString text = sql_;
    const int at = baseWhere();
    if (at >= 0 && !joinedConditions().isEmpty()) {
        // The base's own condition runs to its end; it is parenthesised before anything joins it.
        const int from = at + 5;
        text = sql_.left(from) + QStringLiteral(" (") + sql_.mid(from).trimmed() + u')';
    }
    q->setSql(text + getWhereAndOrder());
}

void QueryWrapper::sortBy(const QString& fieldName, const QString& sortExpression) {
    const QString field = sortExpression.isEmpty() ? fieldName : sortExpression;
    if (field.isEmpty() || field == noSortMarker) return;
    orderBy_.clear();
    if (field != sortField_) {
        sortDirection_ = QStringLiteral("ASC");
    } else {
        sortDirection_ = sortDirection_ == QStringLiteral("ASC") ? QStringLiteral("DESC") : QStringLiteral("ASC");
    }
    sortField_ = field;
    if (query()->active()) {
        close();
        open();
    }
}

void QueryWrapper::gridTitleClick(int column) {
    if (!grid_ || column < 0 || column >= static_cast<int>(grid_->columns().size())) return;
    const grid::Column& c = grid_->columns()[column];
    sortBy(c.fieldName, c.sortExpression);
}

void QueryWrapper::gridEhSortMarkingChanged(grid::GridView* sender) {
    utl::AutoScreenCursor busy;
    utl::DbGridUtl::sortQueryByMarkers(*sender, QStringLiteral("ID"));
}

void UpdQueryWrapper::setGenerator(const QString& generator, const QString& keyField, int increment) {
    query()->setGeneratorField(keyField, generator, increment);
}

void UpdQueryWrapper::setUpdateSql(const QString& deleteSql, const QString& insertSql, const QString& modifySql,
                                   const QString& refreshSql) {
    fb::Query* q = query();
    q->setUpdateSql(fb::Query::UpdateKind::Delete, deleteSql);
    q->setUpdateSql(fb::Query::UpdateKind::Insert, insertSql);
    q->setUpdateSql(fb::Query::UpdateKind::Modify, modifySql);
    q->setUpdateSql(fb::Query::UpdateKind::Refresh, refreshSql);
}

}  // namespace ufb
