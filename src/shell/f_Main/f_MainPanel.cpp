// The main window's search panel, its grids and the page control of the selected contract's details.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "f_Main.h"
#include "platform/grid/GridView.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"

namespace TolvMain {

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

ui::DbGrid* makeGrid(const char* name, grid::DataSource* source, QWidget* parent) {
    auto* g = named(new ui::DbGrid(grid::GridKind::Eh, parent), name);
    g->setDataSource(source);
    return g;
}

}  // namespace

void TFMain::createPanel() {
    ContractsDS = std::make_unique<grid::DataSource>();
    OpsDS = std::make_unique<grid::DataSource>();
    ds_AddServices = std::make_unique<grid::DataSource>();
    SalesDS = std::make_unique<grid::DataSource>();

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    // The search panel.
    auto* panel = named(new QWidget(central), "SearchPanel");
    auto* form = new QGridLayout(panel);
    form->setContentsMargins(0, 0, 0, 0);
    NumFilterEdit = named(new QLineEdit(panel), "NumFilterEdit");
    combo_FilialFilter = named(new ui::LookupCombo(panel), "combo_FilialFilter");
    combo_FilialFilter->setKeyField(QStringLiteral("id"));
    combo_FilialFilter->setListField(QStringLiteral("filial"));
    combo_FilialFilter->setSpecialRow(QStringLiteral("<все филиалы>"), 0);
    combo_FilialFilter->setKeyValue(0);
    FIOFilterEdit = named(new QLineEdit(panel), "FIOFilterEdit");
    bt_Client = named(new QPushButton(QStringLiteral("..."), panel), "bt_Client");
    DateFilterEdit = named(new ui::DateEdit(panel), "DateFilterEdit");
    AgentFilterEdit = named(new QLineEdit(panel), "AgentFilterEdit");
    bt_Agent = named(new QPushButton(QStringLiteral("..."), panel), "bt_Agent");
    for (QPushButton* b : {bt_Client, bt_Agent}) b->setFixedWidth(28);
    cb_contrFilter = named(new QComboBox(panel), "cb_contrFilter");
    cb_contrFilter->addItems({QStringLiteral("Все"), QStringLiteral("Открытые"), QStringLiteral("Закрытые"),
                              QStringLiteral("На реализации"), QStringLiteral("Реализованные"),
                              QStringLiteral("Должники"), QStringLiteral("Заявл. на отсрочку"),
                              QStringLiteral("Добавленные в акт")});
    cb_contrFilter->setCurrentIndex(1);  // the design-time default; the start selects "Все"
    chBx_showArchive = named(new QCheckBox(QStringLiteral("Отображать архивные"), panel), "chBx_showArchive");
    bt_Search = named(new QPushButton(QStringLiteral("Искать"), panel), "bt_Search");
    bt_DefaultFilter = named(new QPushButton(QStringLiteral("Очистить"), panel), "bt_DefaultFilter");
    bt_SetGrid = named(new QPushButton(QStringLiteral("..."), panel), "bt_SetGrid");
    bt_SetGrid->setToolTip(QStringLiteral("Настройка колонок таблицы"));
    bt_SetGrid->setFixedWidth(28);

    auto withPicker = [panel](QLineEdit* edit, QPushButton* button) {
        auto* box = new QWidget(panel);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        row->addWidget(edit);
        row->addWidget(button);
        return box;
    };
    const struct {
        const char* label;
        QWidget* field;
    } cells[] = {
        {"Номер договора", NumFilterEdit},
        {"Филиал", combo_FilialFilter},
        {"Фамилия клиента", withPicker(FIOFilterEdit, bt_Client)},
        {"Дата договора", DateFilterEdit},
        {"Фамилия агента", withPicker(AgentFilterEdit, bt_Agent)},
        {"Состояние договора", cb_contrFilter},
    };
    int column = 0;
    for (const auto& cell : cells) {
        auto* label = new QLabel(QString::fromUtf8(cell.label), panel);
        label->setObjectName(QStringLiteral("lb_") + cell.field->objectName());
        form->addWidget(label, 0, column);
        form->addWidget(cell.field, 1, column);
        form->setColumnStretch(column, 1);
        ++column;
    }
    form->addWidget(chBx_showArchive, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bt_Search);
    buttons->addWidget(bt_DefaultFilter);
    buttons->addWidget(bt_SetGrid);
    form->addLayout(buttons, 2, 2, 1, column - 2);
    layout->addWidget(panel);

    // The contract list above, the selected contract's details below.
    auto* splitter = named(new QSplitter(Qt::Vertical, central), "Splitter1");
    gr_Contracts = makeGrid("gr_Contracts", ContractsDS.get(), splitter);
    gr_Contracts->setMultiSelect(true);
    splitter->addWidget(gr_Contracts);

    auto* details = new QWidget(splitter);
    auto* detailsLayout = new QVBoxLayout(details);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    auto* captionRow = new QHBoxLayout;
    DogNText = named(new QLabel(details), "DogNText");
    DBText1 = named(new QLabel(details), "DBText1");
    captionRow->addWidget(new QLabel(QStringLiteral("Договор №"), details));
    captionRow->addWidget(DogNText);
    captionRow->addSpacing(16);
    captionRow->addWidget(new QLabel(QStringLiteral("Клиент"), details));
    captionRow->addWidget(DBText1, 1);
    detailsLayout->addLayout(captionRow);

    auto* lower = new QHBoxLayout;
    pc_ContrInfo = named(new QTabWidget(details), "pc_ContrInfo");
    gr_Ops = makeGrid("gr_Ops", OpsDS.get(), pc_ContrInfo);
    greh_AddServices = makeGrid("greh_AddServices", ds_AddServices.get(), pc_ContrInfo);
    greh_AddServices->setReadOnly(true);
    gr_Sales = makeGrid("gr_Sales", SalesDS.get(), pc_ContrInfo);
    pc_ContrInfo->addTab(gr_Ops, QStringLiteral("Операции"));
    pc_ContrInfo->addTab(greh_AddServices, QStringLiteral("Доп. услуги"));
    pc_ContrInfo->addTab(gr_Sales, QStringLiteral("Реализация"));
    lower->addWidget(pc_ContrInfo, 3);
    InfoFramePlace = named(new QWidget(details), "InfoFramePlace");
    InfoFramePlace->setMinimumWidth(260);
    lower->addWidget(InfoFramePlace, 1);
    detailsLayout->addLayout(lower);
    splitter->addWidget(details);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    timeForCalcPercents = named(new QTimer(this), "timeForCalcPercents");
    timeForCalcPercents->setInterval(300);
    timeForCalcPercents->setSingleShot(false);
}

}  // namespace TolvMain
