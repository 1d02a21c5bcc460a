#pragma once
// A buffered list of rows with named fields and a current row, navigated and edited as the forms and
// the lists expect: first/last/next/prior with end markers, 1-based record numbers, bookmarks that
// survive sorting and filtering, locate and lookup, edit/insert/post/cancel/delete with their
// events, calculated and lookup fields, a client-side filter, and a nesting switch for bound views.
// Subclasses supply the rows, all at once or as navigation and views ask for more, and store edits.

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/data/Field.h"

namespace data {

class FilterExpression;

enum class DatasetState { Inactive, Browse, Edit, Insert };

// A row's identity, kept while the row exists, whatever order or filter the view has.
using Bookmark = quint64;
constexpr Bookmark kNoBookmark = 0;

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // a text value matches rows whose text starts with it
};

struct FilterOptions {
    bool caseInsensitive = false;
    bool noPartialCompare = false;  // off: a literal ending in "*" matches texts starting with it
};

class Dataset : public QObject {
    Q_OBJECT
public:
    using Event = std::function<void(Dataset&)>;
    using FilterPredicate = std::function<bool(Dataset&)>;

    explicit Dataset(QObject* parent = nullptr);
    ~Dataset() override;

    // Fields
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    Field* field(int index) const;
    // Without regard to case; null when there is none.
    Field* findField(const QString& name) const;
    // Raises core::Exception "Field 'NAME' not found" when there is none.
    Field& fieldByName(const QString& name) const;
    Field& operator[](const QString& name) const { return fieldByName(name); }
    QStringList fieldNames() const;
    // Adds a calculated or lookup field (or a data field of a dataset that defines its own).
    Field* addField(const QString& name, DataType type, int size = 0, FieldKind kind = FieldKind::Data);
    // Adds a field made by its owner (a field class of its own), under the name; the dataset owns it.
    Field* adoptField(std::unique_ptr<Field> field, const QString& name);
    // Persistent fields: defined by the owner and kept on open, instead of the source's own fields.
    bool hasPersistentFields() const { return persistent_; }
    // Removes every field (the dataset must be closed); the source's own fields return on open.
    void removeFields();

    // Lifecycle
    void open();
    void close();
    bool active() const { return state_ != DatasetState::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    DatasetState state() const { return state_; }

    // Navigation (an edited row is posted first)
    void first();
    void last();  // fetches every row
    void next();
    void prior();
    int moveBy(int distance);
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty();
    // 1-based position of the current row; 0 when there is none.
    int recNo() const { return cur_ < 0 ? 0 : cur_ + 1; }
    void setRecNo(int recNo);
    // Rows fetched so far that pass the filter.
    int recordCount() const { return static_cast<int>(view_.size()); }
    void fetchAll();
    // Reads up to count more rows; the number read.
    int fetchMore(int count);
    bool canFetchMore() const { return active() && !fetchDone_; }

    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark bookmark) const;
    // Moves to the row; raises when it no longer exists or is filtered out.
    void gotoBookmark(Bookmark bookmark);

    // Moves to the first row whose fields equal the values; false (and no move) when none does.
    bool locate(const QStringList& fieldNames, const std::vector<core::Variant>& values,
                LocateOptions options = {});
    bool locate(const QString& fieldName, const core::Variant& value, LocateOptions options = {});
    // The result field of the first row whose key fields equal the values, without moving; null
    // when there is none.
    core::Variant lookup(const QStringList& keyFields, const std::vector<core::Variant>& values,
                         const QString& resultField);

    // Editing
    void edit();
    void insert();  // a new row before the current one
    void append();  // a new row after the last one
    void post();
    void cancel();
    void remove();  // deletes the current row
    bool modified() const { return modified_; }
    // Post refuses a row whose required data field is empty, unless the owner checks its rows itself.
    void setRequiredCheckedOnPost(bool on) { checkRequiredOnPost_ = on; }
    // Posts a pending edit (or cancels an unmodified one), as navigation does.
    void checkBrowseMode();

    // Filter: an expression (FIELD = 'x', UPCASE(FIELD) LIKE '%Я%', AND/OR/NOT ...) or a predicate
    // that reads the row through the fields; applied while filtered is on.
    void setFilter(const QString& expression, FilterOptions options = {});
    const QString& filter() const { return filterText_; }
    void setFilterPredicate(FilterPredicate predicate);
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // Views stop following the dataset while controls are disabled; the calls nest, and an enable
    // with no outstanding disable is ignored.
    void disableControls() { ++disableCount_; }
    void enableControls();
    bool controlsDisabled() const { return disableCount_ > 0; }

    // Values by view row (0-based), for views; the current row's through the fields.
    core::Variant valueAt(int row, int fieldIndex);
    core::Variant fieldValue(int fieldIndex);
    void setFieldValue(int fieldIndex, const core::Variant& value);
    Bookmark bookmarkAt(int row) const;
    // The field's text in a view row (display or edit text), as the field gives it for that row.
    QString textAt(int row, int fieldIndex, bool display = true);

    // Events, replaceable callbacks.
    Event onNewRecord, beforeInsert, beforeEdit, beforePost, afterPost, beforeDelete, afterDelete, afterScroll,
        afterOpen, afterCancel, onCalcFields;

signals:
    // Everything may have changed: views rebuild.
    void layoutReset();
    // Rows [first, last] (view positions) were fetched and appended.
    void rowsAppended(int first, int last);
    // The values of a row (view position) changed.
    void rowChanged(int row);
    // The current row moved (or was reset).
    void currentChanged(int row);
    void stateChanged(DatasetState state);

protected:
    // Subclasses define the fields on open (through addField) and read rows on request.
    virtual void doOpen() = 0;
    virtual void doClose() {}
    // Appends at most count rows with appendRow; returns false when there are no more.
    virtual bool doFetch(int count) { return false; }
    // Store a posted row; oldValues is empty for a new row. May change newValues (keys, refresh).
    virtual void doPost(const std::vector<core::Variant>& oldValues, std::vector<core::Variant>& newValues) {}
    // Remove a stored row.
    virtual void doDelete(const std::vector<core::Variant>& values) {}
    // A new row was started, before the new-record event (fill generated keys here).
    virtual void doNewRecord() {}

    void clearFields();
    // Keeps the fields the owner defined across opens (in-memory tables); else doOpen defines them.
    void keepFieldsOnOpen(bool on) { keepFields_ = on; }
    void appendRow(std::vector<core::Variant> values);
    // Keeps the rows but stops asking for more (the source is gone).
    void endFetch() { fetchDone_ = true; }
    // Reorders every row (stable), keeping the current row current.
    void sortRows(const std::function<bool(const std::vector<core::Variant>&, const std::vector<core::Variant>&)>& less);
    // Replaces the stored values of every row, e.g. to restore a snapshot.
    struct RowData {
        Bookmark id;
        std::vector<core::Variant> values;
    };
    std::vector<RowData> snapshotRows() const;
    void restoreRows(const std::vector<RowData>& rows);
    // Data values of a stored row by view position (calculated and lookup fields left unset).
    const std::vector<core::Variant>& storedValues(int row) const;
    // Rows by bookmark, for owners that put their own changes back. A row that is gone is skipped.
    void setRowValues(Bookmark id, std::vector<core::Variant> values);
    void removeRow(Bookmark id);
    // Puts a row back after the row `after` in storage order (first when kNoBookmark), keeping its id.
    void insertRow(Bookmark after, Bookmark id, std::vector<core::Variant> values);
    // The row before it in storage order; kNoBookmark when it is the first (or gone).
    Bookmark rowBefore(Bookmark id) const;

private:
    struct Row {
        Bookmark id;
        std::vector<core::Variant> values;
        bool calcValid = false;
    };
    class ProbeScope {
    public:
        ProbeScope(Dataset& d, std::vector<core::Variant>& values, bool& calcValid, bool calculating = false);
        ~ProbeScope();

    private:
        Dataset& d_;
        std::vector<core::Variant>* savedValues_;
        bool* savedValid_;
        bool savedCalculating_;
    };
    bool ensureRow(int pos);
    int viewPosOf(Bookmark id) const;
    int rowIndexOf(Bookmark id) const;
    void setCurrent(int pos, bool notify = true);
    void scrolled();
    void notifyReset();
    void rebuildView();
    bool accepts(Row& row);
    void computeFields(std::vector<core::Variant>& values, bool& valid);
    const core::Variant& readValue(std::vector<core::Variant>& values, bool& calcValid, int fieldIndex);
    void requireActive() const;
    // The new row at the view position becomes current with an empty buffer, in insert state.
    void startNewRow(int pos);
    void setState(DatasetState state);
    // After the rows changed under the view: the view is rebuilt and stays on the given row if it can.
    void reseat(Bookmark current);

    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<Row> rows_;  // dataset order
    std::vector<int> view_;  // indexes into rows_ of the rows passing the filter
    mutable std::unordered_map<Bookmark, int> idIndex_;
    mutable bool idIndexValid_ = false;
    Bookmark nextId_ = 1;
    DatasetState state_ = DatasetState::Inactive;
    bool checkRequiredOnPost_ = true;
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool fetchDone_ = true;
    bool keepFields_ = false;
    bool persistent_ = false;
    bool inOpen_ = false;
    int disableCount_ = 0;

    // Editing
    std::vector<core::Variant> buffer_;
    bool bufferCalcValid_ = false;
    bool modified_ = false;
    int insertRowIndex_ = -1;  // rows_ index of the row being inserted

    // Rows and buffers examined by calculations, filters and lookups read through the fields.
    std::vector<core::Variant>* probe_ = nullptr;
    bool* probeCalcValid_ = nullptr;
    bool calculating_ = false;

    QString filterText_;
    FilterOptions filterOptions_;
    std::shared_ptr<FilterExpression> filterExpr_;
    FilterPredicate filterPredicate_;
    bool filtered_ = false;
};

// Holds a dataset's views off for one scope.
class ControlsDisabled {
public:
    explicit ControlsDisabled(Dataset& dataset) : dataset_(dataset) { dataset_.disableControls(); }
    ~ControlsDisabled() { dataset_.enableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    Dataset& dataset_;
};

}  // namespace data
