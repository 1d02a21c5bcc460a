#include "platform/ui/DatasetModel.h"

#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"

namespace ui {

DatasetModel::DatasetModel(grid::GridView& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    columnsChanged();
}

void DatasetModel::setDataSet(data::Dataset* dataSet) {
    for (auto& c : connections_) disconnect(c);
    dataSet_ = dataSet;
    if (dataSet_) {
        connections_[0] = connect(dataSet_, &data::Dataset::layoutReset, this, &DatasetModel::reset);
        connections_[1] = connect(dataSet_, &data::Dataset::rowsAppended, this, &DatasetModel::appended);
        connections_[2] = connect(dataSet_, &data::Dataset::rowChanged, this, &DatasetModel::rowChanged);
    }
    reset();
}

void DatasetModel::columnsChanged() {
    beginResetModel();
    visible_.clear();
    const auto& columns = grid_.columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].visible) visible_.push_back(static_cast<int>(i));
    }
    endResetModel();
}

int DatasetModel::gridColumn(int modelColumn) const {
    return modelColumn >= 0 && modelColumn < static_cast<int>(visible_.size()) ? visible_[modelColumn] : -1;
}

int DatasetModel::modelColumn(int gridColumn) const {
    auto it = std::find(visible_.begin(), visible_.end(), gridColumn);
    return it == visible_.end() ? -1 : static_cast<int>(it - visible_.begin());
}

void DatasetModel::reset() {
    if (resetting_) return;
    resetting_ = true;
    // A fresh dataset holds one row: read the first page, so the first screen shows at once.
    if (dataSet_ && dataSet_->active() && dataSet_->recordCount() < kPage) {
        dataSet_->fetchMore(kPage - dataSet_->recordCount());
    }
    resetting_ = false;
    beginResetModel();
    rows_ = dataSet_ && dataSet_->active() ? dataSet_->recordCount() : 0;
    endResetModel();
}

void DatasetModel::appended(int first, int last) {
    if (resetting_) return;
    if (first != rows_ || last < first) {
        reset();
        return;
    }
    beginInsertRows({}, first, last);
    rows_ = last + 1;
    endInsertRows();
}

void DatasetModel::rowChanged(int row) {
    if (row >= 0 && row < rows_) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

data::Field* DatasetModel::fieldOf(int modelColumn) const {
    const int g = gridColumn(modelColumn);
    if (g < 0 || !dataSet_) return nullptr;
    return dataSet_->findField(grid_.columns()[g].fieldName);
}

int DatasetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(visible_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataSet_ || index.row() >= rows_) return {};
    const int g = gridColumn(index.column());
    if (g < 0) return {};
    const grid::Column& column = grid_.columns()[g];
    data::Field* field = fieldOf(index.column());
    try {
        switch (role) {
            case Qt::DisplayRole:
                if (!field || column.checkBox) return {};
                return grid::shownValue(column,
                                        dataSet_->textAt(index.row(), field->index(), column.keyList.isEmpty()));
            case Qt::EditRole:
                if (!field) return {};
                return grid::shownValue(column, dataSet_->textAt(index.row(), field->index(), false));
            case Qt::CheckStateRole:
                if (!field || !column.checkBox) return {};
                return dataSet_->textAt(index.row(), field->index(), false) == QStringLiteral("1") ? Qt::Checked
                                                                                                  : Qt::Unchecked;
            case Qt::TextAlignmentRole:
                // A key list shows names, left-aligned whatever kind of value stands behind them.
                if (field && field->isNumeric() && column.keyList.isEmpty()) {
                    return int(Qt::AlignRight | Qt::AlignVCenter);
                }
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            case Qt::BackgroundRole:
            case Qt::ForegroundRole:
            case Qt::FontRole: {
                if (!cellStyle_ && !grid_.onCellStyle && !column.bold) return {};
                QColor background, text;
                QFont font;
                font.setBold(column.bold);
                if (grid_.onCellStyle) {
                    grid::CellStyle style;
                    grid_.onCellStyle(index.row(), column, style);
                    if (style.background) background = QColor::fromRgb(*style.background);
                    if (style.text) text = QColor::fromRgb(*style.text);
                    font.setBold(style.bold || column.bold);
                    font.setItalic(style.italic);
                }
                if (cellStyle_) cellStyle_(index.row(), column, background, text, font);
                if (role == Qt::BackgroundRole) return background.isValid() ? QVariant(background) : QVariant();
                if (role == Qt::ForegroundRole) return text.isValid() ? QVariant(text) : QVariant();
                return font;
            }
            case Qt::ToolTipRole:
                if (!grid_.showHint() || !field) return {};
                return dataSet_->textAt(index.row(), field->index(), true);
            default: return {};
        }
    } catch (const core::Exception&) {
        return {};  // a row that can no longer be read shows empty; the dataset reports its errors elsewhere
    }
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !dataSet_ || (role != Qt::EditRole && role != Qt::CheckStateRole)) return false;
    data::Field* field = fieldOf(index.column());
    if (!field) return false;
    try {
        if (dataSet_->recNo() != index.row() + 1) dataSet_->setRecNo(index.row() + 1);
        dataSet_->edit();
        if (role == Qt::CheckStateRole) {
            field->setValue(value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0"));
        } else {
            field->setText(value.toString());
        }
    } catch (const core::Exception& e) {
        showError(e.message());
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const int g = gridColumn(index.column());
    if (g < 0) return f;
    const grid::Column& column = grid_.columns()[g];
    data::Field* field = fieldOf(index.column());
    const bool editable = !readOnly_ && !column.readOnly && field && !field->readOnly() &&
                          field->kind() == data::FieldKind::Data;
    if (editable) f |= column.checkBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return f;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    const int g = gridColumn(section);
    if (g < 0) return {};
    const grid::Column& column = grid_.columns()[g];
    if (role == Qt::DisplayRole) {
        QString title = column.title.isEmpty() ? column.fieldName : column.title;
        title.replace(u'|', u'\n');  // stacked title rows
        if (column.marker == grid::SortMarker::Down) title += QStringLiteral(" ▲");
        if (column.marker == grid::SortMarker::Up) title += QStringLiteral(" ▼");
        return title;
    }
    if (role == Qt::ToolTipRole && !column.titleHint.isEmpty()) return column.titleHint;
    if (role == Qt::ToolTipRole && grid_.showHint()) return QString(column.title).replace(u'|', u' ');
    return {};
}

bool DatasetModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && dataSet_ && dataSet_->canFetchMore();
}

void DatasetModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid() && dataSet_) dataSet_->fetchMore(kPage);
}

}  // namespace ui
