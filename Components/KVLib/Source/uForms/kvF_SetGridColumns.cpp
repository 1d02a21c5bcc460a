#include "kvF_SetGridColumns.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "kv_DbGridUtl.h"
#include "kv_FormHelpers.h"
#include "kv_StlUtl.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/grid/GridView.h"

namespace ufb {

namespace {

constexpr int kColumnRole = Qt::UserRole + 1;  // the grid column's index when the list was filled

// The names between the commas, blanks trimmed at both ends ("ID, NAME" names NAME, not " NAME").
QStringList splitNames(const QString& text) {
    QStringList names;
    utl::StlUtl::split(text, names, u',');
    for (QString& n : names) n = n.trimmed();
    return names;
}

QString translated(const char* key, const QString& russian) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), russian);
}

}  // namespace

TFSetGridColumns::TFSetGridColumns(QWidget* owner)
    : ui::Form(QStringLiteral("FSetGridColumns"), owner,
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint) {
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);
    setSizeGripEnabled(true);
    setMinimumSize(200, 200);
    resize(306, 285);

    chLstBx_Columns = new QListWidget(this);
    chLstBx_Columns->setObjectName(QStringLiteral("chLstBx_Columns"));
    chLstBx_Columns->setSelectionMode(QAbstractItemView::SingleSelection);
    bt_Up = new QPushButton(this);
    bt_Up->setObjectName(QStringLiteral("bt_Up"));
    bt_Down = new QPushButton(this);
    bt_Down->setObjectName(QStringLiteral("bt_Down"));
    bt_OK = new QPushButton(QStringLiteral("OK"), this);
    bt_OK->setObjectName(QStringLiteral("bt_OK"));
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));

    auto* panel = new QVBoxLayout;
    panel->addWidget(bt_Up);
    panel->addWidget(bt_Down);
    panel->addStretch(1);
    panel->addWidget(bt_OK);
    panel->addWidget(Button1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(chLstBx_Columns, 1);
    layout->addLayout(panel);
    for (QPushButton* b : {bt_Up, bt_Down, bt_OK, Button1}) b->setFixedWidth(75);

    setWindowTitle(translated("kvF_SetGridColumns.Caption", QStringLiteral("Настройка колонок таблицы")));
    bt_Up->setText(translated("kvF_SetGridColumns.bt_Up.Caption", QStringLiteral("Вверх")));
    bt_Down->setText(translated("kvF_SetGridColumns.bt_Down.Caption", QStringLiteral("Вниз")));
    Button1->setText(translated("kvF_SetGridColumns.Button1.Caption", QStringLiteral("Отмена")));

    setDefaultButton(bt_OK);
    setCancelButton(Button1);
    connect(bt_Up, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_UpClick(); }); });
    connect(bt_Down, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_DownClick(); }); });
    connect(bt_OK, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_OKClick(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });
}

TFSetGridColumns::~TFSetGridColumns() = default;

bool TFSetGridColumns::scExecute(grid::GridView* grid, const QString& lockedFields,
                                 const QString& leftOutFields) {
    TFSetGridColumns dialog;
    dialog.fill(grid, lockedFields, leftOutFields);
    dialog.setPlacementStorage(utl::SettingsFile::userIniFileName(),
                               utl::getGridPath(*grid) + u'_' + dialog.componentName());
    // Over the window of the grid, where the user is working.
    if (auto* w = dynamic_cast<QWidget*>(grid); w && w->window()->isVisible()) {
        dialog.move(w->window()->geometry().center() - dialog.rect().center());
    }
    return dialog.showModal() == ui::ModalResult::Ok;
}

void TFSetGridColumns::fill(grid::GridView* grid, const QString& lockedFields, const QString& leftOutFields) {
    try {
        gridToEdit = grid;
        lockedNames = splitNames(lockedFields);
        leftOutNames = splitNames(leftOutFields);
        chLstBx_Columns->clear();
        const QColor lockedText = palette().color(QPalette::Disabled, QPalette::Text);
        for (int i = 0; i < static_cast<int>(grid->columns().size()); ++i) {
            const grid::Column& c = grid->columns()[i];
            if (leftOutNames.contains(c.fieldName)) continue;
            auto* item = new QListWidgetItem(c.title, chLstBx_Columns);
            item->setData(kColumnRole, i);
            item->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
            if (lockedNames.contains(c.fieldName)) {
                // Shown with its mark, which cannot change; the entry still moves.
                item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
                item->setForeground(lockedText);
            } else {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            }
        }
    } catch (...) {
        if (grid) utl::DbGridUtl::markLayoutFailed(*grid);
        throw;
    }
}

int TFSetGridColumns::selectedIndex() const {
    const QList<QListWidgetItem*> selected = chLstBx_Columns->selectedItems();
    return selected.isEmpty() ? -1 : chLstBx_Columns->row(selected.front());
}

void TFSetGridColumns::bt_UpClick() {
    const int i = selectedIndex();
    if (i <= 0) return;
    QListWidgetItem* item = chLstBx_Columns->takeItem(i);
    chLstBx_Columns->insertItem(i - 1, item);
    chLstBx_Columns->setCurrentRow(i - 1);
}

void TFSetGridColumns::bt_DownClick() {
    const int i = selectedIndex();
    if (i < 0 || i >= chLstBx_Columns->count() - 1) return;
    QListWidgetItem* item = chLstBx_Columns->takeItem(i);
    chLstBx_Columns->insertItem(i + 1, item);
    chLstBx_Columns->setCurrentRow(i + 1);
}

void TFSetGridColumns::bt_OKClick() {
    const std::vector<grid::Column>& before = gridToEdit->columns();
    std::vector<grid::Column> after;
    std::vector<bool> listed(before.size(), false);
    // The listed columns first, in list order, with their marks as visibility ...
    for (int row = 0; row < chLstBx_Columns->count(); ++row) {
        const QListWidgetItem* item = chLstBx_Columns->item(row);
        const int index = item->data(kColumnRole).toInt();
        if (index < 0 || index >= static_cast<int>(before.size())) continue;
        grid::Column c = before[index];
        c.visible = item->checkState() == Qt::Checked;
        after.push_back(std::move(c));
        listed[index] = true;
    }
    // ... then the left-out ones in their former relative order.
    for (size_t i = 0; i < before.size(); ++i) {
        if (!listed[i]) after.push_back(before[i]);
    }
    gridToEdit->setColumns(std::move(after));
    setModalResult(ui::ModalResult::Ok);
}

}  // namespace ufb
