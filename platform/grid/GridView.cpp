#include "platform/grid/GridView.h"

#include <algorithm>

#include "platform/core/Exception.h"
#include "platform/os/IniFile.h"

namespace grid {

void GridView::setDataSource(DataSource* source) {
    dataSource_ = source;
    selection_.clear();
    dataSourceChanged();
}

void GridView::setColumns(std::vector<Column> columns) {
    columns_ = std::move(columns);
    marked_.clear();
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].marker != SortMarker::None) marked_.push_back(static_cast<int>(i));
    }
    refreshColumns();
}

Column& GridView::column(int index) {
    if (index < 0 || index >= static_cast<int>(columns_.size())) {
        throw core::Exception(QStringLiteral("Grid column index out of range: %1").arg(index));
    }
    return columns_[index];
}

void GridView::setSortMarker(int index, SortMarker marker) {
    column(index).marker = marker;
    std::erase(marked_, index);
    if (marker != SortMarker::None) marked_.push_back(index);
    refreshColumns();
}

void GridView::clearSortMarkers() {
    for (Column& c : columns_) c.marker = SortMarker::None;
    marked_.clear();
    refreshColumns();
}

void GridView::titleClicked(int index, bool ctrl) {
    if (index < 0 || index >= static_cast<int>(columns_.size())) return;
    if (autoSortMarking_ && columns_[index].titleButton) {
        const SortMarker current = columns_[index].marker;
        const SortMarker next = current == SortMarker::None   ? SortMarker::Down
                                : current == SortMarker::Down ? SortMarker::Up
                                                              : SortMarker::None;
        if (!ctrl) {
            for (int m : std::vector<int>(marked_)) {
                if (m != index) columns_[m].marker = SortMarker::None;
            }
            std::erase_if(marked_, [index](int m) { return m != index; });
        }
        setSortMarker(index, next);
        if (onSortMarkingChanged) onSortMarkingChanged();
    }
    if (onTitleClick) onTitleClick(index);
}

void GridView::selectBookmark(data::Bookmark bookmark) {
    if (bookmark == data::kNoBookmark ||
        std::find(selection_.begin(), selection_.end(), bookmark) != selection_.end()) {
        return;
    }
    selection_.push_back(bookmark);
    refreshSelection();
}

void GridView::deselectBookmark(data::Bookmark bookmark) {
    std::erase(selection_, bookmark);
    refreshSelection();
}

void GridView::clearSelectedBookmarks() {
    selection_.clear();
    refreshSelection();
}

void GridView::saveLayout(const os::IniFile& ini, const QString& section) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        const Column& c = columns_[i];
        const auto sortPos = std::find(marked_.begin(), marked_.end(), static_cast<int>(i));
        const int sortPosition =
            sortPos == marked_.end() ? 0 : static_cast<int>(sortPos - marked_.begin()) + 1;
        const QString value = QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
                                  .arg(i)
                                  .arg(c.width)
                                  .arg(static_cast<int>(c.marker))
                                  .arg(c.visible ? 1 : 0)
                                  .arg(sortPosition)
                                  .arg(c.dropDownRows)
                                  .arg(c.dropDownWidth);
        ini.writeString(section, gridName() + u'.' + c.fieldName, value);
    }
}

void GridView::restoreLayout(const os::IniFile& ini, const QString& section) {
    struct Placed {
        int position;
        Column column;
    };
    std::vector<Placed> placed;
    for (size_t i = 0; i < columns_.size(); ++i) {
        Column c = columns_[i];
        int position = static_cast<int>(i);
        const QString key = gridName() + u'.' + c.fieldName;
        const QString value = ini.readString(section, key, QString());
        if (!value.isEmpty()) {
            const QStringList parts = value.split(u',');
            std::vector<int> numbers;
            for (const QString& p : parts) {
                bool ok = false;
                numbers.push_back(p.trimmed().toInt(&ok));
                if (!ok)
                    throw core::Exception(QStringLiteral("Invalid grid layout value %1=%2").arg(key, value));
            }
            if (numbers.size() < 4 || numbers[0] < 0 || numbers[1] < 0) {
                throw core::Exception(QStringLiteral("Invalid grid layout value %1=%2").arg(key, value));
            }
            position = numbers[0];
            c.width = numbers[1];
            c.visible = numbers[3] != 0;
        }
        placed.push_back({position, std::move(c)});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.position < b.position; });
    std::vector<Column> columns;
    for (Placed& p : placed) columns.push_back(std::move(p.column));
    setColumns(std::move(columns));
}

QString shownValue(const Column& column, const QString& value) {
    if (column.keyList.isEmpty()) return value;
    const qsizetype at = column.keyList.indexOf(value);
    return at >= 0 && at < column.pickList.size() ? column.pickList[at] : QString();
}

void GridView::setFooterRowCount(int rows) {
    footerRows_ = std::clamp(rows, 0, 1);
    refreshFooter();
}

void GridView::setFooterText(const QString& fieldName, const QString& text) {
    for (Column& c : columns_) {
        if (c.fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
            c.footer = text;
            refreshFooter();
            return;
        }
    }
    throw core::Exception(QStringLiteral("Grid column not found: %1").arg(fieldName));
}

void GridView::setGridEnabled(bool on) {
    enabled_ = on;
    refreshEnabled();
}

void GridView::setEditActions(unsigned actions) {
    editActions_ = actions & AllActions;
    refreshReadOnly();
}

QString GridView::mouseMovedOver(int column) {
    if (!onMouseMove) return QString();
    onMouseMove(column);
    return hint_;
}

void GridView::setReadOnly(bool on) {
    readOnly_ = on;
    refreshReadOnly();
}

void GridView::editButtonClicked() {
    if (onEditButtonClick) onEditButtonClick();
}

void GridView::keyPressed(QChar key) {
    if (onKeyPress) onKeyPress(key);
}

}  // namespace grid
