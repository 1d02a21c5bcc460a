#include "kv_QueryWrapper.h"

#include "kv_DbGridUtl.h"
#include "kv_FbUtil.h"
#include "kv_FormHelpers.h"
#include "platform/fb/Query.h"

namespace ufb {

namespace {

bool nameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Position of the first top-level occurrence of a word (outside quotes and parentheses, any letter
// case), from the given position; -1 when there is none.
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

bool hasTopLevelOr(const QString& condition) { return topLevelWord(condition, QStringLiteral("or")) >= 0; }

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
    extraFilter_ = extraFilter_.isEmpty() ? condition : extraFilter_ + QStringLiteral(" and ") + condition;
}

void QueryWrapper::addFieldFilter(const QString& field, const QString& value, bool like, bool upperCase) {
    QString condition = upperCase ? QStringLiteral("UPCASE(") + field + u')' : field;
    condition += like ? QStringLiteral(" like '") : QStringLiteral(" = '");
    // A surname with an apostrophe searches instead of breaking the statement.
    condition += udb::quoteSql(upperCase ? value.toUpper() : value);
    condition += like ? QStringLiteral("%'") : QStringLiteral("'");
    addFilter(condition);
}

QString QueryWrapper::buildWhere() const {
    const bool baseHoldsWhere = sql_.contains(QStringLiteral("where"));
    QString c = where_;
    bool open = false;
    if (!where_.isEmpty() && (where_.contains(QStringLiteral("and")) || where_.contains(QStringLiteral("or")))) {
        // A top-level OR gets parentheses of its own before a filter joins it, so that its first
        // branch cannot escape the filter.
        const bool wrap = !extraFilter_.isEmpty() && hasTopLevelOr(where_);
        c = QStringLiteral("(") + (wrap ? u'(' + where_ + u')' : where_);
        open = true;
    }
    if (!extraFilter_.isEmpty()) {
        if (!c.isEmpty() || baseHoldsWhere) {
            c += QStringLiteral(" and ");
            if (!open) {
                c += u'(';
                open = true;
            }
        }
        c += extraFilter_;
    }
    if (!c.isEmpty()) {
        if (!baseHoldsWhere) c = QStringLiteral(" where ") + c;
        if (open) c += u')';
    }
    return c;
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
    QString base = sql_;
    if (!extraFilter_.isEmpty() && base.contains(QStringLiteral("where"))) {
        // The base's own condition with a top-level OR is wrapped too before the filter joins it.
        const int at = topLevelWord(base, QStringLiteral("where"));
        if (at >= 0) {
            const QString condition = base.mid(at + 5).trimmed();
            if (hasTopLevelOr(condition)) base = base.left(at + 5) + QStringLiteral(" (") + condition + u')';
        }
    }
    q->setSql(base + getWhereAndOrder());
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
