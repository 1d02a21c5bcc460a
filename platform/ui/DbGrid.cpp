#include "platform/ui/DbGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"

namespace ui {

namespace {

// Columns with a pick list edit in an editable drop-down of its values.
class PickListDelegate : public QStyledItemDelegate {
public:
    PickListDelegate(DbGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int g = grid_.datasetModel()->gridColumn(index.column());
        if (g >= 0 && !grid_.columns()[g].pickList.isEmpty()) {
            auto* combo = new QComboBox(parent);
            // A key list takes only its names; a plain pick list also takes typed text.
            combo->setEditable(grid_.columns()[g].keyList.isEmpty());
            combo->addItems(grid_.columns()[g].pickList);
            combo->setMaxVisibleItems(std::max(1, grid_.columns()[g].dropDownRows));
            return combo;
        }
        if (g >= 0 && grid_.columns()[g].editButton) {
            // The button stands at the end of the cell editor, as the ellipsis button of such grids.
            auto* edit = new QLineEdit(parent);
            edit->setFrame(false);
            QAction* button = edit->addAction(QIcon(), QLineEdit::TrailingPosition);
            button->setText(QStringLiteral("…"));
            button->setObjectName(QStringLiteral("editButton"));
            QObject::connect(button, &QAction::triggered, &grid_, [this] { grid_.editButtonClicked(); });
            return edit;
        }
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentText(index.data(Qt::EditRole).toString());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const int g = grid_.datasetModel()->gridColumn(index.column());
            const grid::Column& column = grid_.columns()[g];
            if (column.keyList.isEmpty()) {
                model->setData(index, combo->currentText(), Qt::EditRole);
            } else if (const qsizetype at = column.pickList.indexOf(combo->currentText());
                       at >= 0 && at < column.keyList.size()) {
                model->setData(index, column.keyList[at], Qt::EditRole);
            }
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    DbGrid& grid_;
};

// The footer row: one cell under each visible column, scrolled with the columns.
class FooterBar : public QWidget {
public:
    FooterBar(DbGrid& grid) : QWidget(&grid), grid_(grid) { setObjectName(QStringLiteral("footer")); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        const QHeaderView* header = grid_.horizontalHeader();
        for (int c = 0; c < grid_.datasetModel()->columnCount(); ++c) {
            const int x = header->sectionViewportPosition(c);
            const int w = header->sectionSize(c);
            const grid::Column& column = grid_.columns()[grid_.datasetModel()->gridColumn(c)];
            p.setPen(palette().color(QPalette::Mid));
            p.drawLine(x + w - 1, 0, x + w - 1, height());
            p.setPen(
                palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
            const QRect cell(x + 3, 1, w - 7, height() - 1);
            const data::Field* field =
                grid_.dataSet() ? grid_.dataSet()->findField(column.fieldName) : nullptr;
            const Qt::Alignment align = field && field->isNumeric() ? Qt::AlignRight : Qt::AlignLeft;
            p.drawText(cell, int(align | Qt::AlignVCenter), column.footer);
        }
    }

private:
    DbGrid& grid_;
};

}  // namespace

DbGrid::DbGrid(grid::GridKind kind, QWidget* parent) : QTableView(parent), grid::GridView(kind) {
    model_ = new DatasetModel(*this, this);
    setModel(model_);
    setItemDelegate(new PickListDelegate(*this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        const int g = model_->gridColumn(section);
        if (g >= 0) titleClicked(g, QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    });
    footer_ = new FooterBar(*this);
    footer_->hide();
    viewport()->setMouseTracking(true);
    connect(horizontalHeader(), &QHeaderView::sectionResized, footer_, [this] { footer_->update(); });
    // A width the user drags is the column's width from then on (saved layouts and column widths).
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!applyingWidths_) columnResizedInView(model_->gridColumn(section), size);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, footer_, [this] { footer_->update(); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DbGrid::viewRowChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &DbGrid::selectionChangedInView);
}

DbGrid::~DbGrid() = default;

QString DbGrid::formName() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (w->isWindow()) return w->objectName();
    }
    return QString();
}

QString DbGrid::selectedField() const {
    const int g = currentIndex().isValid() ? model_->gridColumn(currentIndex().column()) : -1;
    return g >= 0 ? columns()[g].fieldName : QString();
}

void DbGrid::setSelectedField(const QString& fieldName) {
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (columns()[model_->gridColumn(c)].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
            const int row = currentIndex().isValid() ? currentIndex().row() : std::max(0, dataSet() ? dataSet()->recNo() - 1 : 0);
            selectionModel()->setCurrentIndex(model_->index(row, c), QItemSelectionModel::NoUpdate);
            return;
        }
    }
}

void DbGrid::refreshReadOnly() {
    model_->setReadOnly(readOnly() || !allows(Update));
}

void DbGrid::refreshFooter() {
    footer_->setVisible(footerRowCount() > 0);
    updateGeometries();
    footer_->update();
}

void DbGrid::refreshEnabled() {
    setEnabled(gridEnabled());
}

void DbGrid::updateGeometries() {
    if (placingFooter_) return;
    QTableView::updateGeometries();
    // The table puts its own margins back (for the headers) each time; the footer takes a row's height
    // under the cells. Once set, the table measures again, so that its scroll ranges count the smaller
    // viewport: its margins reset the footer's, and the call that resize makes puts them back first.
    const int h = footerRowCount() > 0 ? verticalHeader()->defaultSectionSize() : 0;
    const QMargins m = viewportMargins();
    if (m.bottom() != h) {
        placingFooter_ = true;
        setViewportMargins(m.left(), m.top(), m.right(), h);
        placingFooter_ = false;
        QTableView::updateGeometries();
    }
    if (h > 0) {
        const QRect v = viewport()->geometry();
        footer_->setGeometry(v.left(), v.bottom() + 1, v.width(), h);
        footer_->raise();
    }
}

int DbGrid::columnAtPoint(const QPoint& viewportPos) const {
    const int c = columnAt(viewportPos.x());
    return c < 0 ? -1 : model_->gridColumn(c);
}

bool DbGrid::viewportEvent(QEvent* event) {
    if (onMouseMove) {
        if (event->type() == QEvent::MouseMove) {
            mouseMovedOver(columnAtPoint(static_cast<QMouseEvent*>(event)->position().toPoint()));
        } else if (event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString text = mouseMovedOver(columnAtPoint(help->pos()));
            if (text.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), text, viewport());
            }
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void DbGrid::setMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void DbGrid::refreshColumns() {
    model_->columnsChanged();
    applyWidths();
}

void DbGrid::applyWidths() {
    applyingWidths_ = true;
    for (int c = 0; c < model_->columnCount(); ++c) setColumnWidth(c, columns()[model_->gridColumn(c)].width);
    applyingWidths_ = false;
}

void DbGrid::dataSourceChanged() {
    disconnect(datasetCurrent_);
    model_->setDataSet(dataSet());
    if (dataSet()) datasetCurrent_ = connect(dataSet(), &data::Dataset::currentChanged, this, &DbGrid::datasetRowChanged);
    applyWidths();
    if (dataSet() && dataSet()->recNo() > 0) datasetRowChanged(dataSet()->recNo() - 1);
}

void DbGrid::refreshSelection() {
    if (syncing_ || !dataSet()) return;
    syncing_ = true;
    QItemSelection selection;
    for (data::Bookmark b : selectedBookmarks()) {
        for (int row = 0; row < model_->rowCount(); ++row) {
            if (dataSet()->bookmarkAt(row) == b) {
                selection.select(model_->index(row, 0), model_->index(row, std::max(0, model_->columnCount() - 1)));
                break;
            }
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void DbGrid::selectionChangedInView(const QItemSelection& selected, const QItemSelection& deselected) {
    if (syncing_ || !dataSet()) return;
    syncing_ = true;
    for (const QModelIndex& i : deselected.indexes()) {
        if (i.column() == 0) deselectBookmark(dataSet()->bookmarkAt(i.row()));
    }
    for (const QModelIndex& i : selected.indexes()) {
        if (i.column() == 0) selectBookmark(dataSet()->bookmarkAt(i.row()));
    }
    syncing_ = false;
}

void DbGrid::viewRowChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (syncing_ || !dataSet() || !current.isValid() || !dataSet()->active()) return;
    if (dataSet()->recNo() == current.row() + 1) return;
    syncing_ = true;
    try {
        // Leaving an edited row posts it.
        dataSet()->setRecNo(current.row() + 1);
    } catch (const core::Exception& e) {
        showError(e.message());
        if (dataSet()->recNo() > 0) {
            selectionModel()->setCurrentIndex(model_->index(dataSet()->recNo() - 1, std::max(0, previous.column())),
                                              QItemSelectionModel::NoUpdate);
        }
    }
    syncing_ = false;
}

void DbGrid::datasetRowChanged(int row) {
    if (syncing_) return;
    syncing_ = true;
    while (row >= model_->rowCount() && model_->canFetchMore({})) model_->fetchMore({});
    if (row >= 0 && row < model_->rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex index = model_->index(row, column);
        const auto flags = selectionMode() == QAbstractItemView::SingleSelection
                               ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                               : QItemSelectionModel::NoUpdate;
        selectionModel()->setCurrentIndex(index, flags);
        scrollTo(index);
    }
    syncing_ = false;
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    if (!event->text().isEmpty()) keyPressed(event->text().front());
    data::Dataset* ds = dataSet();
    if (ds && ds->active() && state() != QAbstractItemView::EditingState) {
        try {
            const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
            switch (event->key()) {
                case Qt::Key_Down:
                    if (!readOnly() && allows(Append) && currentIndex().row() == model_->rowCount() - 1 &&
                        !ds->canFetchMore() && ds->state() == data::DatasetState::Browse) {
                        ds->append();
                        return;
                    }
                    break;
                case Qt::Key_Insert:
                    if (!readOnly() && allows(Insert)) {
                        ds->insert();
                        return;
                    }
                    break;
                case Qt::Key_Delete:
                    if (ctrl && !readOnly() && allows(Delete)) {
                        if (!ds->isEmpty() && askYesNo(QStringLiteral("Удалить запись?"))) ds->remove();
                        return;
                    }
                    break;
                case Qt::Key_Escape:
                    if (ds->state() == data::DatasetState::Edit || ds->state() == data::DatasetState::Insert) {
                        ds->cancel();
                        return;
                    }
                    break;
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    if (currentIndex().isValid()) {
                        edit(currentIndex());
                        return;
                    }
                    break;
                default: break;
            }
        } catch (const core::Exception& e) {
            showError(e.message());
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

}  // namespace ui
