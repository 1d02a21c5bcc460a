#pragma once
// A table model over a dataset for a grid: its rows are the dataset's rows as far as they were read,
// its columns the grid's visible columns. More rows are read a page at a time as the view scrolls.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <functional>

#include "platform/grid/GridView.h"

namespace ui {

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kPage = 100;

    explicit DatasetModel(grid::GridView& grid, QObject* parent = nullptr);

    void setDataSet(data::Dataset* dataSet);
    data::Dataset* dataSet() const { return dataSet_; }
    // Rebuild after the grid's columns changed.
    void columnsChanged();
    // Grid column index of a model column.
    int gridColumn(int modelColumn) const;
    int modelColumn(int gridColumn) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Colours and font of one cell: (view row, grid column, background, text colour, font).
    using CellStyle = std::function<void(int row, const grid::Column& column, QColor& background, QColor& text, QFont& font)>;
    void setCellStyle(CellStyle style) { cellStyle_ = std::move(style); }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }

private:
    void reset();
    void appended(int first, int last);
    void rowChanged(int row);
    data::Field* fieldOf(int modelColumn) const;

    grid::GridView& grid_;
    data::Dataset* dataSet_ = nullptr;
    std::vector<int> visible_;  // grid column of each model column
    int rows_ = 0;              // rows announced to the views
    CellStyle cellStyle_;
    bool readOnly_ = false;
    bool resetting_ = false;
    QMetaObject::Connection connections_[3];
};

}  // namespace ui
