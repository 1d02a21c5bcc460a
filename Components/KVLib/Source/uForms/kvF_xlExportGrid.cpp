#include "kvF_xlExportGrid.h"

#include <QApplication>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>

#include "kv_FormHelpers.h"
#include "kv_Translator.h"
#include "kv_xlRep.h"
#include "platform/data/Dataset.h"
#include "platform/grid/GridView.h"

namespace ufb {

namespace {
QString translated(const char* key, const QString& russian) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), russian);
}
}  // namespace

TF_xlExportGrid::TF_xlExportGrid(QWidget* owner)
    : ui::Form(QStringLiteral("F_xlExportGrid"), owner,
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint) {
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);
    setFixedSize(270, 201);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(3, 4, 185, 193);
    chLBox = new QListWidget(this);
    chLBox->setObjectName(QStringLiteral("chLBox"));
    chLBox->setGeometry(8, 9, 174, 183);
    b_Ok = new QPushButton(this);
    b_Ok->setObjectName(QStringLiteral("b_Ok"));
    b_Ok->setGeometry(192, 4, 75, 25);
    b_Cancel = new QPushButton(this);
    b_Cancel->setObjectName(QStringLiteral("b_Cancel"));
    b_Cancel->setGeometry(192, 31, 75, 25);

    setWindowTitle(translated("kvF_xlExportGrid.Caption", QStringLiteral("Экспорт в Excel")));
    b_Ok->setText(translated("kvF_xlExportGrid.b_Ok.Caption", QStringLiteral("Экспорт")));
    b_Cancel->setText(translated("kvF_xlExportGrid.b_Cancel.Caption", QStringLiteral("Отмена")));

    setDefaultButton(b_Ok);
    setCancelButton(b_Cancel);
    // The OK result is set before the export runs, so an error shown by the guard still closes the
    // dialog.
    connect(b_Ok, &QPushButton::clicked, this, [this] {
        ui::runGuarded([this] { b_OkClick(); });
        setModalResult(ui::ModalResult::Ok);
    });
    connect(b_Cancel, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });
}

TF_xlExportGrid::~TF_xlExportGrid() = default;

void TF_xlExportGrid::scExportGrid(grid::GridView* grid, const QString& templateFile,
                                   const QString& outputFile, int valueMode, const QString& captionCell,
                                   const QString& dataCell) {
    QWidget* owner = QApplication::activeWindow();
    TF_xlExportGrid dialog(owner);
    dialog.gridEh = grid;
    dialog.templateFile = templateFile;
    dialog.outputFile = outputFile;
    dialog.valueMode = valueMode;
    dialog.captionCell = captionCell;
    dialog.dataCell = dataCell;
    dialog.fill();
    if (owner) dialog.move(owner->geometry().center() - dialog.rect().center());
    dialog.showModal();
}

void TF_xlExportGrid::fill() {
    captions.clear();
    fieldNames.clear();
    chLBox->clear();
    data::Dataset* dataSet = gridEh ? gridEh->dataSet() : nullptr;
    if (dataSet)
        for (const grid::Column& column : gridEh->columns())
            if (dataSet->findField(column.fieldName)) {
                captions.emplace_back(column.title);
                fieldNames.push_back(column.fieldName);
            }
    for (const core::Variant& caption : captions) {
        auto* item = new QListWidgetItem(caption.toText(), chLBox);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

void TF_xlExportGrid::b_OkClick() {
    std::vector<core::Variant> ticked;
    std::vector<QString> names;
    for (int i = 0; i < chLBox->count(); ++i)
        if (chLBox->item(i)->checkState() == Qt::Checked) {
            ticked.push_back(captions[i]);
            names.push_back(fieldNames[i]);
        }
    exportGrid(*gridEh, templateFile, outputFile, valueMode, captionCell, dataCell, ticked, names);
}

void TF_xlExportGrid::exportGrid(grid::GridView& grid, const QString& templateFile, const QString& outputFile,
                                 int valueMode, const QString& captionCell, const QString& dataCell,
                                 const std::vector<core::Variant>& captions,
                                 const std::vector<QString>& fieldNames) {
    utl::AutoScreenCursor hourglass;
    ExcelReport::ExcelManagerNative xl(templateFile);
    xl.FieldValueOutType = valueMode;
    const ExcelReport::CellAdrSN data(dataCell);
    // Nothing ticked leaves the template as it is: no rows inserted below the data row.
    if (!fieldNames.empty() && grid.dataSet()) xl.outDataSetFields(data, *grid.dataSet(), fieldNames);
    xl.autoWidthCols(data.colIndex(), data.colIndex() + static_cast<int>(fieldNames.size()));
    xl.outVector(ExcelReport::CellAdrSN(captionCell), captions, false);
    xl.save(outputFile, true);
}

}  // namespace ufb
