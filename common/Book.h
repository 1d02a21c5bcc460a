#pragma once
// The generic directory form: the one window through which the program shows any directory list
// (clients, users, storage places, kinds of pledged goods, tariffs, cash-order types, acts ...). It
// takes any dataset wrapper, binds the wrapper's columns to its grid and shows it modally in one of two
// modes:
// - mode 0, editing: the grid edits in place; OK saves the edits (posts the row, applies cached
//   updates, commits the list's transaction retaining its context) and closes; Cancel rolls the list's
//   transaction back (retaining) and closes;
// - mode 1, viewing and picking: whole rows, read-only; OK, a double click or Enter picks the current
//   row and closes; Cancel just closes (nothing can have been edited, so nothing is rolled back).
// It offers a quick search over the list (an UPCASE ... LIKE condition added to a query wrapper's
// statement, or the dataset's own filter for other wrappers), the grid columns dialog, and keeps its
// size, position and the grid's column layout per use in the per-user interface file (section
// "TFDSWrapperBook" followed by the storage key; nothing is stored for an empty key). When it closes it
// copies every field of the current row into pickedValues.
//
// Transactions: the form commits and rolls back the transaction of the list's dataset. A list shown
// for editing must therefore run on a transaction of its own, never on a transaction that holds other
// pending work of the caller (the program's shared change transaction included): OK would commit that
// work and Cancel would undo it.
//
// Callers create the form on the stack of an action handler, either call showBook and read
// pickedValues["ID"] when it returns true, or call setMode(1), setWrapper (and enableModeChange), show
// the form with showModal and read pickedValues afterwards.

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include "U_AutomateHelper.h"
#include "platform/core/Variant.h"
#include "platform/data/Dataset.h"
#include "platform/grid/GridView.h"
#include "platform/ui/Form.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace ui {
class DbGrid;
}

namespace ufb {

class DataSetWrapper;

class TBookForm : public ui::Form {
    Q_OBJECT
public:
    // The storage key names this use of the form (for example "TFMain::ClientsBookActExecute"); it is
    // the suffix of every stored setting, and an empty key stores nothing.
    TBookForm(QWidget* owner, const QString& storageKey);
    ~TBookForm() override;

    // setMode, enableModeChange, setWrapper, the caption (IDS_0 unless one is given), shown modally;
    // whether a row was picked. The key value (unassigned for none) positions the list on its row.
    bool showBook(int mode, DataSetWrapper* wrapper, const QString& caption, bool canChangeMode,
                  const core::Variant& keyValue = core::Variant(), const QString& keyField = QString());
    // Installs this form as the program's picker of directory rows (ufb::pickFromBook).
    static void installPicker();

    // 0 editing, 1 viewing and picking; any other mode raises utl::KVException (section
    // "TFDSWrapperBook", code 1) and changes nothing.
    void setMode(int mode);
    // False when editing is selected, true when viewing; raises utl::KVException for no selection.
    bool showMode() const;
    void enableModeChange(bool enable);
    // Binds the list to the grid without showing the form; opens it when it is closed (and then closes
    // it when the form closes); positions it on the key when one is given.
    void setWrapper(DataSetWrapper* wrapper, const QString& keyField, const core::Variant& keyValue);
    // Saves the edits: false when the server refused them (the error was shown, the list reopened).
    bool applyEdits();
    // The quick search as the search fields stand now.
    void quickSearch();

    // Components.
    ui::DbGrid* DBGrid1;
    grid::DataSource DataSource1;
    QFrame* pnl_BtnSetGrid;
    QToolButton* bt_SetGrid;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QGroupBox* gr_BoxSerach;
    QLabel* Label5;
    QComboBox* FieldsCombo;
    QLabel* Label6;
    QLineEdit* FieldValueEdit;
    QGroupBox* rg_Mode;
    QRadioButton* rg_ModeItem0;
    QRadioButton* rg_ModeItem1;
    QButtonGroup* rg_ModeItems;
    QAction* EditorAct;
    QAction* ViewAct;
    QPushButton* btn_OK;
    QPushButton* bt_Cancel;

    bool closeDatasetOnExit = false;
    bool picked = false;
    QString storageKey;
    QStringList searchFields;
    std::unique_ptr<GridMessageHandler> gridHandler;
    DataSetWrapper* wrapper = nullptr;
    // Every field of the current row when the form closed, by field name; a name the list lacks reads
    // as an unassigned value.
    std::map<QString, core::Variant> pickedValues;

protected:
    void formShow() override;
    void formClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rg_ModeClick();
    void btn_OKClick();
    void bt_CancelClick();
    void bt_SetGridClick();
    void pickAndClose();
    void selectMode(int item);
    int modeItem() const;

    bool rowSelect_ = false;
    data::FilterOptions filterOptions_;
};

}  // namespace ufb
