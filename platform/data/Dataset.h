#pragma once
// A buffered list of rows with named fields and a current row, navigated as the forms and the lists
// expect: first/last/next/prior with end markers, 1-based record numbers, bookmarks that survive
// sorting and filtering, locate, and a nesting switch for bound views. Subclasses supply the rows,
// all at once or as navigation and views ask for more.

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/data/Field.h"

namespace data {

enum class DatasetState { Inactive, Browse, Edit, Insert };

// A row's identity, kept while the row exists, whatever order or filter the view has.
using Bookmark = quint64;
constexpr Bookmark kNoBookmark = 0;

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // a text value matches rows whose text starts with it
};

class Dataset : public QObject {
    Q_OBJECT
public:
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

    // Lifecycle
    void open();
    void close();
    bool active() const { return state_ != DatasetState::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    DatasetState state() const { return state_; }

    // Navigation
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
    // Reads the rest of the rows.
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

    // Views stop following the dataset while controls are disabled; the calls nest, and an enable
    // with no outstanding disable is ignored.
    void disableControls() { ++disableCount_; }
    void enableControls();
    bool controlsDisabled() const { return disableCount_ > 0; }

    // Values by view row (0-based), for views; the current row's through the fields.
    const core::Variant& valueAt(int row, int fieldIndex) const;
    core::Variant fieldValue(int fieldIndex) const;

signals:
    // Everything may have changed: views rebuild.
    void layoutReset();
    // Rows [first, last] (view positions) were fetched and appended.
    void rowsAppended(int first, int last);
    // The current row moved (or was reset).
    void currentChanged(int row);

protected:
    // Subclasses define the fields on open (through addField) and read rows on request.
    virtual void doOpen() = 0;
    virtual void doClose() {}
    // Appends at most count rows with appendRow; returns false when there are no more.
    virtual bool doFetch(int count) { return false; }

    Field* addField(const QString& name, DataType type, int size = 0, FieldKind kind = FieldKind::Data);
    void clearFields();
    void appendRow(std::vector<core::Variant> values);
    // Keeps the rows but stops asking for more (the source is gone).
    void endFetch() { fetchDone_ = true; }

private:
    struct Row {
        Bookmark id;
        std::vector<core::Variant> values;
    };
    // Makes sure view position pos exists, fetching rows as needed.
    bool ensureRow(int pos);
    int viewPosOf(Bookmark id) const;
    void setCurrent(int pos);
    void notifyReset();

    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<Row> rows_;  // in fetch order; ids ascend
    std::vector<int> view_;  // row indexes in view order
    Bookmark nextId_ = 1;
    DatasetState state_ = DatasetState::Inactive;
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool fetchDone_ = true;
    int disableCount_ = 0;
    bool appendedWhileDisabled_ = false;
};

}  // namespace data
