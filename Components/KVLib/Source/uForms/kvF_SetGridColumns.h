#pragma once
// The grid columns dialog: the user chooses which columns of a sort-marker grid are visible and in
// which order they stand. Callers open it from a small button over a grid; the changed layout lives in
// the grid itself and is stored with the grid's other layout data when the owning window closes.
//
// Columns named as locked are listed with their check mark shown but not changeable (they still move);
// columns named as left out are not listed, keep their visibility and end up after all listed ones.
// The dialog keeps its own position and size in the per-user interface file, in the section made of
// the grid's storage name, "_" and the dialog's name ("BookForm_DBGrid1_FSetGridColumns").

#include <QString>
#include <QStringList>

#include "platform/ui/Form.h"

class QListWidget;
class QPushButton;

namespace grid {
class GridView;
}

namespace ufb {

class TFSetGridColumns : public ui::Form {
    Q_OBJECT
public:
    explicit TFSetGridColumns(QWidget* owner = nullptr);
    ~TFSetGridColumns() override;

    // Locked and left-out field names, each as one text with the names separated by commas (blanks
    // around a name are ignored; names compare with the columns' field names exactly). True when the
    // user closed the dialog with OK, which applied the choice to the grid.
    static bool scExecute(grid::GridView* grid, const QString& lockedFields, const QString& leftOutFields);

    // Fills the list from the grid (a failure marks the grid's stored layout as failed and passes on).
    void fill(grid::GridView* grid, const QString& lockedFields, const QString& leftOutFields);

    // Components.
    QListWidget* chLstBx_Columns;
    QPushButton* bt_Up;
    QPushButton* bt_Down;
    QPushButton* bt_OK;
    QPushButton* Button1;

    grid::GridView* gridToEdit = nullptr;
    QStringList lockedNames;
    QStringList leftOutNames;

private:
    void bt_UpClick();
    void bt_DownClick();
    void bt_OKClick();
    int selectedIndex() const;
};

}  // namespace ufb
