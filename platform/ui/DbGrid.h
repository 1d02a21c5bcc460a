#pragma once
// The data grid of the forms: a table view over a dataset that shows the grid columns of its
// GridView, with title clicks and sort markers, multi-selection in selection order, pick lists, check
// boxes, edit buttons, per-cell colours and the grid's own editing keys (Down on the last row appends, Ins inserts,
// Ctrl+Del deletes after a question, Enter or F2 edits, Esc cancels, each as the grid's edit actions
// allow), a footer row under the columns, and a hint that follows the column under the mouse.

#include <QTableView>

#include "platform/grid/GridView.h"
#include "platform/ui/DatasetModel.h"

namespace ui {

class DbGrid : public QTableView, public grid::GridView {
    Q_OBJECT
public:
    explicit DbGrid(grid::GridKind kind = grid::GridKind::Eh, QWidget* parent = nullptr);
    ~DbGrid() override;

    QString gridName() const override { return objectName(); }
    QString formName() const override;

    DatasetModel* datasetModel() const { return model_; }
    void setCellStyle(DatasetModel::CellStyle style) { model_->setCellStyle(std::move(style)); }
    // Several rows may be selected (Ctrl and Shift clicks).
    void setMultiSelect(bool on);
    QString selectedField() const override;
    void setSelectedField(const QString& fieldName) override;

protected:
    void refreshColumns() override;
    void refreshSelection() override;
    void dataSourceChanged() override;
    void refreshReadOnly() override;
    void refreshFooter() override;
    void refreshEnabled() override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;
    bool viewportEvent(QEvent* event) override;

private:
    void viewRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void datasetRowChanged(int row);
    void selectionChangedInView(const QItemSelection& selected, const QItemSelection& deselected);
    void applyWidths();

    int columnAtPoint(const QPoint& viewportPos) const;

    DatasetModel* model_;
    QWidget* footer_;
    bool placingFooter_ = false;
    QMetaObject::Connection datasetCurrent_;
    bool syncing_ = false;
    bool applyingWidths_ = false;
};

}  // namespace ui
