#pragma once
// The grid export dialog: the user ticks which columns of a sort-marker grid go into a spreadsheet made
// from a template; every row of the grid's dataset is written below the template's data cell, the
// column captions across from its caption cell, and the saved file is opened.

#include <QString>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/ui/Form.h"

class QFrame;
class QListWidget;
class QPushButton;

namespace grid {
class GridView;
}

namespace ufb {

class TF_xlExportGrid : public ui::Form {
    Q_OBJECT
public:
    explicit TF_xlExportGrid(QWidget* owner = nullptr);
    ~TF_xlExportGrid() override;

    // Shows the dialog for the grid, modally; an export error is shown and the dialog still closes.
    static void scExportGrid(grid::GridView* grid, const QString& templateFile, const QString& outputFile,
                             int valueMode, const QString& captionCell, const QString& dataCell);

    // Lists the grid's columns whose field the dataset has, in column order, all ticked.
    void fill();
    // The export itself, without widgets: the named fields of every row below the data cell, their
    // captions from the caption cell, fitted widths; saved as the output file and opened.
    static void exportGrid(grid::GridView& grid, const QString& templateFile, const QString& outputFile,
                           int valueMode, const QString& captionCell, const QString& dataCell,
                           const std::vector<core::Variant>& captions,
                           const std::vector<QString>& fieldNames);

    QFrame* Bevel1;
    QListWidget* chLBox;
    QPushButton* b_Ok;
    QPushButton* b_Cancel;

    grid::GridView* gridEh = nullptr;
    QString templateFile;
    QString outputFile;
    int valueMode = 0;
    QString captionCell;
    QString dataCell;
    std::vector<core::Variant> captions;
    std::vector<QString> fieldNames;

private:
    void b_OkClick();
};

}  // namespace ufb
