#pragma once
// What lists know of a data grid, without widgets: its columns (field, width, title, sort expression,
// title button, sort marker, visibility, pick list ...), its data source, its sort markers in marking
// order, its selected rows, its title-click and sort-marking events, and its layout in an INI file.
// The widget grid (platform/ui) shows it; lists bind to it through this class only.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "platform/data/Dataset.h"

namespace os {
class IniFile;
}

namespace grid {

// The plain grid, the grid with sort markers and the RX grid of the forms.
enum class GridKind { Plain, Eh, Rx };
// Down: ascending; Up: descending.
enum class SortMarker { None = 0, Down = 1, Up = 2 };

struct Column {
    QString fieldName;
    int width = 64;
    QString title;  // "|" splits it into stacked title rows
    QString sortExpression;
    bool titleButton = false;
    SortMarker marker = SortMarker::None;
    bool visible = true;
    QStringList pickList;
    bool readOnly = false;
    bool checkBox = false;  // the values "1" and "0" shown as a check box
    int dropDownRows = 7;
    int dropDownWidth = 0;
    bool editButton = false;  // the cell editor carries a button that raises the grid's edit-button event
    bool bold = false;        // the column's cells in a bold font
    QString titleHint;        // shown over the title; the title itself when empty
    // With a pick list: the stored value of each name, by position. The cell shows the name of its
    // value (nothing for a value not in the list) and editing stores the value of the name chosen.
    QStringList keyList;
    QString footer;  // the text of the footer row under the column
};

// The name a key-list column shows for a stored value; the value itself without a key list.
QString shownValue(const Column& column, const QString& value);

// The link between a grid and the dataset it shows.
class DataSource {
public:
    explicit DataSource(data::Dataset* dataSet = nullptr) : dataSet_(dataSet) {}
    data::Dataset* dataSet() const { return dataSet_; }
    void setDataSet(data::Dataset* dataSet) { dataSet_ = dataSet; }

private:
    data::Dataset* dataSet_;
};

// How one cell is drawn; unset colours keep the grid's own. Colours are 0xRRGGBB.
struct CellStyle {
    std::optional<quint32> background;
    std::optional<quint32> text;
    bool bold = false;
    bool italic = false;
};

class GridView {
public:
    explicit GridView(GridKind kind) : kind_(kind) {}
    virtual ~GridView() = default;
    GridView(const GridView&) = delete;
    GridView& operator=(const GridView&) = delete;

    GridKind kind() const { return kind_; }
    // The grid's component name and the name of the nearest form that owns it (empty when none).
    virtual QString gridName() const = 0;
    virtual QString formName() const = 0;

    DataSource* dataSource() const { return dataSource_; }
    void setDataSource(DataSource* source);
    data::Dataset* dataSet() const { return dataSource_ ? dataSource_->dataSet() : nullptr; }

    const std::vector<Column>& columns() const { return columns_; }
    // Replaces the columns (a copy of definitions made apart from any grid).
    void setColumns(std::vector<Column> columns);
    Column& column(int index);
    // Call after changing columns in place.
    void columnsChanged() { refreshColumns(); }

    bool autoSortMarking() const { return autoSortMarking_; }
    void setAutoSortMarking(bool on) { autoSortMarking_ = on; }
    bool showHint() const { return showHint_; }
    void setShowHint(bool on) { showHint_ = on; }

    // Column indexes that carry a sort marker, in the order they were marked.
    const std::vector<int>& sortMarkedColumns() const { return marked_; }
    void setSortMarker(int column, SortMarker marker);
    void clearSortMarkers();

    // A click on a column title: the title-click event, and with automatic sort marking and the
    // column's title button on, the marker cycles (none, ascending, descending, none); without Ctrl
    // the other markers go.
    void titleClicked(int column, bool ctrl);

    // Bookmarks of the selected rows in the order they were selected.
    const std::vector<data::Bookmark>& selectedBookmarks() const { return selection_; }
    void selectBookmark(data::Bookmark bookmark);
    void deselectBookmark(data::Bookmark bookmark);
    void clearSelectedBookmarks();

    // The footer row under the columns (0: none, 1: one row of the columns' footer texts).
    int footerRowCount() const { return footerRows_; }
    void setFooterRowCount(int rows);
    // Raises core::Exception for a field without a column.
    void setFooterText(const QString& fieldName, const QString& text);

    // A disabled grid shows its rows greyed and takes no input.
    bool gridEnabled() const { return enabled_; }
    void setGridEnabled(bool on);

    // What the user may do to rows from the grid itself; all by default. Without Update the cells do
    // not edit; the others govern the grid's own keys (Down on the last row, Ins, Ctrl+Del).
    enum EditAction : unsigned { Insert = 1, Append = 2, Delete = 4, Update = 8, AllActions = 15 };
    unsigned editActions() const { return editActions_; }
    void setEditActions(unsigned actions);
    bool allows(EditAction action) const { return (editActions_ & action) != 0; }

    // The grid's hint: shown while the mouse rests over the cells when the mouse-move handler is set
    // (which sets the hint for the column under the mouse: its index, -1 over none); an empty hint
    // shows nothing.
    const QString& hint() const { return hint_; }
    void setHint(const QString& text) { hint_ = text; }
    std::function<void(int column)> onMouseMove;
    // The mouse moved over the grid's cells: the handler runs and the hint is the one to show.
    QString mouseMovedOver(int column);

    // An editing grid edits in place; a read-only one only shows and selects.
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    // The field of the current column (empty when none); the widget grid reads its current cell.
    virtual QString selectedField() const { return selectedField_; }
    virtual void setSelectedField(const QString& fieldName) { selectedField_ = fieldName; }
    // The edit button of the current cell was pressed; a key was pressed in the grid, before the grid
    // acts on it.
    void editButtonClicked();
    void keyPressed(QChar key);

    std::function<void()> onEditButtonClick;
    std::function<void(QChar key)> onKeyPress;
    std::function<void(int column)> onTitleClick;
    std::function<void()> onSortMarkingChanged;
    // Colours and font of a cell: (view row, column, style to fill). Lists set it to shade their rows.
    std::function<void(int row, const Column& column, CellStyle& style)> onCellStyle;

    // One key "<grid>.<FIELD>" per column: position,width,marker,visible,sortPosition,dropDownRows,
    // dropDownWidth. Saving does not erase the section first.
    void saveLayout(const os::IniFile& ini, const QString& section) const;
    // Positions, widths and visibility; a column without a key keeps its state. Raises
    // core::Exception for a value it cannot read.
    void restoreLayout(const os::IniFile& ini, const QString& section);

protected:
    // The widget redraws its columns and selection.
    virtual void refreshColumns() {}
    virtual void refreshSelection() {}
    virtual void dataSourceChanged() {}
    virtual void refreshReadOnly() {}
    virtual void refreshFooter() {}
    virtual void refreshEnabled() {}
    // The widget's user resized a column: its width is the one lists save, without a redraw.
    void columnResizedInView(int column, int width) {
        if (column >= 0 && column < static_cast<int>(columns_.size()) && width > 0) columns_[column].width = width;
    }

private:
    GridKind kind_;
    DataSource* dataSource_ = nullptr;
    std::vector<Column> columns_;
    std::vector<int> marked_;
    std::vector<data::Bookmark> selection_;
    bool autoSortMarking_ = false;
    bool showHint_ = false;
    bool readOnly_ = false;
    QString selectedField_;
    int footerRows_ = 0;
    bool enabled_ = true;
    unsigned editActions_ = AllActions;
    QString hint_;
};

}  // namespace grid
