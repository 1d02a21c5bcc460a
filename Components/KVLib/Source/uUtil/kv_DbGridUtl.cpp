#include "kv_DbGridUtl.h"

#include <QObject>
#include <QStringList>

#include "kv_FormHelpers.h"
#include "platform/core/Exception.h"
#include "platform/fb/Query.h"
#include "platform/os/IniFile.h"

namespace utl {

namespace {

std::set<const grid::GridView*>& failedLayouts() {
    static std::set<const grid::GridView*> failed;
    return failed;
}

template <typename F>
void forEachSortMarkerGrid(QObject* owner, const F& f) {
    for (QObject* child : owner->children()) {
        if (auto* g = dynamic_cast<grid::GridView*>(child); g && g->kind() == grid::GridKind::Eh) f(*g);
        forEachSortMarkerGrid(child, f);  // frames and panels, to any depth
    }
}

}  // namespace

void DbGridUtl::sortQueryByMarkers(grid::GridView& grid, const QString& keyField) {
    auto* query = dynamic_cast<fb::Query*>(grid.dataSet());
    if (!query) throw core::Exception(QStringLiteral("DbGridUtl::sortQueryByMarkers() - the grid shows no query"));
    QStringList order;
    for (int index : grid.sortMarkedColumns()) {
        const grid::Column& c = grid.columns()[index];
        if (c.fieldName.isEmpty()) continue;
        QString item = c.sortExpression.isEmpty() ? c.fieldName : c.sortExpression;
        if (c.marker == grid::SortMarker::Up) item += QStringLiteral(" desc");
        order << item;
    }
    const core::Variant key = query->fieldByName(keyField).value();  // fails before anything changes
    QString sql = query->sql();
    const int at = static_cast<int>(sql.toLower().indexOf(QStringLiteral("order by")));
    if (at >= 0) sql.truncate(at);
    if (!grid.sortMarkedColumns().empty() && !order.isEmpty()) sql += QStringLiteral("\norder by ") + order.join(u',');
    // The statement's parameters keep their values across the new text.
    std::vector<std::pair<QString, core::Variant>> params;
    for (const QString& name : query->paramNames()) params.emplace_back(name, query->param(name));
    query->setSql(sql);
    for (const auto& [name, value] : params) query->setParam(name, value);
    query->open();
    query->locate(keyField, key);
}

std::set<int> DbGridUtl::getSelectedIds(grid::GridView& grid, const QString& keyField) {
    std::set<int> ids;
    getSelectedIdsText(grid, ids, keyField);
    return ids;
}

QString DbGridUtl::getSelectedIdsText(grid::GridView& grid, std::set<int>& ids, const QString& keyField) {
    ids.clear();
    data::Dataset* ds = grid.dataSet();
    if (!ds || !ds->active()) return QStringLiteral("()");
    const int recNo = ds->recNo();
    QStringList keys;
    data::Field& key = ds->fieldByName(keyField);
    if (grid.selectedBookmarks().empty()) {
        if (!ds->isEmpty()) {
            keys << key.asString();
            ids.insert(key.asInteger());
        }
    } else {
        for (data::Bookmark b : grid.selectedBookmarks()) {
            if (!ds->bookmarkValid(b)) continue;
            ds->gotoBookmark(b);
            keys << key.asString();
            ids.insert(key.asInteger());
        }
    }
    if (recNo > 0) ds->setRecNo(recNo);
    return u'(' + keys.join(u',') + u')';
}

grid::Column* DbGridUtl::findColumnEh(grid::GridView& grid, const QString& fieldName) {
    const QString wanted = fieldName.toUpper();
    for (int i = 0; i < static_cast<int>(grid.columns().size()); ++i) {
        if (grid.columns()[i].fieldName.toUpper() == wanted) return &grid.column(i);
    }
    return nullptr;
}

grid::Column* DbGridUtl::findColumn(grid::GridView& grid, const QString& fieldName) {
    return findColumnEh(grid, fieldName);
}

void DbGridUtl::saveGridLayout(grid::GridView& grid, const QString& suffix, const QString& iniFile) {
    const os::IniFile ini(iniFile);
    const QString section = getGridPath(grid) + suffix;
    if (failedLayouts().count(&grid)) {
        ini.eraseSection(section);
        return;
    }
    grid.saveLayout(ini, section);
}

void DbGridUtl::restoreGridLayout(grid::GridView& grid, const QString& suffix, const QString& iniFile) {
    try {
        grid.restoreLayout(os::IniFile(iniFile), getGridPath(grid) + suffix);
    } catch (...) {
        failedLayouts().insert(&grid);
    }
}

void DbGridUtl::markLayoutFailed(grid::GridView& grid) { failedLayouts().insert(&grid); }

void DbGridUtl::saveFormGridsLayout(QObject* form, const QString& suffix, const QString& iniFile) {
    forEachSortMarkerGrid(form, [&](grid::GridView& g) { saveGridLayout(g, suffix, iniFile); });
}

void DbGridUtl::restoreFormGridsLayout(QObject* form, const QString& suffix, const QString& iniFile) {
    forEachSortMarkerGrid(form, [&](grid::GridView& g) { restoreGridLayout(g, suffix, iniFile); });
}

}  // namespace utl
