// The main window's search panel, its grids and the page control of the selected contract's details:
// the contract list on the left with the details under it, the search panel and the info frame on the right.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
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

// A text in the two interface languages, kept on the widget for the switch of language.
template <typename W>
W* bilingual(W* widget, const char* ru, const char* uk) {
    widget->setProperty("caption_ru", QString::fromUtf8(ru));
    widget->setProperty("caption_uk", QString::fromUtf8(uk));
    return widget;
}

const struct {
    const char* ru;
    const char* uk;
} kContractStates[] = {
    {"Все", "Усі"},
    {"Открытые", "Відкриті"},
    {"Закрытые", "Закриті"},
    {"На реализации", "На реалізації"},
    {"Реализованные", "Реалізовані"},
    {"Должники", "Боржники"},
    {"Заявл. на отсрочку", "Заяв. на відстрочку"},
    {"Добавленные в акт", "Додані в акт"},
};

const struct {
    const char* ru;
    const char* uk;
} kPages[] = {{"Операции", "Операції"}, {"Доп. услуги", "Дод. послуги"}, {"Реализация", "Реалізація"}};

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
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    // The search panel "Поиск" on the right, the contract info frame under it.
    auto* side = named(new QWidget(central), "RightPanel");
    side->setFixedWidth(270);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* panel = bilingual(named(new QGroupBox(side), "SearchPanel"), "Поиск", "Пошук");
    auto* form = new QVBoxLayout(panel);
    form->setSpacing(2);
    NumFilterEdit = named(new QLineEdit(panel), "NumFilterEdit");
    combo_FilialFilter = named(new ui::LookupCombo(panel), "combo_FilialFilter");
    combo_FilialFilter->setKeyField(QStringLiteral("id"));
    combo_FilialFilter->setListField(QStringLiteral("filial"));
    combo_FilialFilter->setSpecialRow(QStringLiteral("<все филиалы>"), 0);
    bilingual(combo_FilialFilter, "<все филиалы>", "<усі філії>");
    combo_FilialFilter->setKeyValue(0);
    FIOFilterEdit = named(new QLineEdit(panel), "FIOFilterEdit");
    bt_Client = named(new QPushButton(QStringLiteral("..."), panel), "bt_Client");
    DateFilterEdit = named(new ui::DateEdit(panel), "DateFilterEdit");
    AgentFilterEdit = named(new QLineEdit(panel), "AgentFilterEdit");
    bt_Agent = named(new QPushButton(QStringLiteral("..."), panel), "bt_Agent");
    for (QPushButton* b : {bt_Client, bt_Agent}) b->setFixedWidth(28);
    cb_contrFilter = named(new QComboBox(panel), "cb_contrFilter");
    for (const auto& state : kContractStates) cb_contrFilter->addItem(QString::fromUtf8(state.ru));
    cb_contrFilter->setCurrentIndex(1);  // the design-time default; the start selects "Все"
    chBx_showArchive = bilingual(named(new QCheckBox(panel), "chBx_showArchive"), "Отображать архивные",
                                 "Відображати архівні");
    bt_Search = bilingual(named(new QPushButton(panel), "bt_Search"), "Искать", "Шукати");
    bt_DefaultFilter = bilingual(named(new QPushButton(panel), "bt_DefaultFilter"), "Очистить", "Очистити");
    bt_SetGrid = named(new QPushButton(QStringLiteral("..."), panel), "bt_SetGrid");
    bt_SetGrid->setProperty("hint_ru", QStringLiteral("Настройка колонок таблицы"));
    bt_SetGrid->setProperty("hint_uk", QStringLiteral("Налаштування колонок таблиці"));
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
        const char* ru;
        const char* uk;
        QWidget* field;
    } cells[] = {
        {"Номер договора", "Номер договору", NumFilterEdit},
        {"Филиал", "Філія", combo_FilialFilter},
        {"Фамилия клиента", "Прізвище клієнта", withPicker(FIOFilterEdit, bt_Client)},
        {"Дата договора", "Дата договору", DateFilterEdit},
        {"Фамилия агента", "Прізвище агента", withPicker(AgentFilterEdit, bt_Agent)},
        {"Состояние договора", "Стан договору", cb_contrFilter},
    };
    for (const auto& cell : cells) {
        auto* label = bilingual(new QLabel(panel), cell.ru, cell.uk);
        label->setObjectName(QStringLiteral("lb_") + cell.field->objectName());
        form->addWidget(label);
        form->addWidget(cell.field);
        form->addSpacing(4);
    }
    form->addWidget(chBx_showArchive);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bt_Search);
    buttons->addWidget(bt_DefaultFilter);
    buttons->addStretch();
    buttons->addWidget(bt_SetGrid);
    form->addLayout(buttons);
    sideLayout->addWidget(panel);
    InfoFramePlace = named(new QWidget(side), "InfoFramePlace");
    sideLayout->addWidget(InfoFramePlace, 1);

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
    captionRow->addWidget(bilingual(new QLabel(details), "Договор №", "Договір №"));
    captionRow->addWidget(DogNText);
    captionRow->addSpacing(16);
    captionRow->addWidget(bilingual(new QLabel(details), "Клиент", "Клієнт"));
    captionRow->addWidget(DBText1, 1);
    detailsLayout->addLayout(captionRow);

    pc_ContrInfo = named(new QTabWidget(details), "pc_ContrInfo");
    gr_Ops = makeGrid("gr_Ops", OpsDS.get(), pc_ContrInfo);
    greh_AddServices = makeGrid("greh_AddServices", ds_AddServices.get(), pc_ContrInfo);
    greh_AddServices->setReadOnly(true);
    gr_Sales = makeGrid("gr_Sales", SalesDS.get(), pc_ContrInfo);
    for (ui::DbGrid* page : {gr_Ops, greh_AddServices, gr_Sales}) pc_ContrInfo->addTab(page, QString());
    detailsLayout->addWidget(pc_ContrInfo, 1);
    splitter->addWidget(details);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
    layout->addWidget(side);

    timeForCalcPercents = named(new QTimer(this), "timeForCalcPercents");
    timeForCalcPercents->setInterval(300);
    timeForCalcPercents->setSingleShot(false);
    applyPanelTexts(1);
    setupContractList();
}

void TFMain::applyPanelTexts(int language) {
    const bool uk = language == 2;
    const char* key = uk ? "caption_uk" : "caption_ru";
    for (QLabel* label : centralWidget()->findChildren<QLabel*>())
        if (label->property(key).isValid()) label->setText(label->property(key).toString());
    for (QAbstractButton* button : centralWidget()->findChildren<QAbstractButton*>())
        if (button->property(key).isValid()) button->setText(button->property(key).toString());
    for (QGroupBox* box : centralWidget()->findChildren<QGroupBox*>())
        if (box->property(key).isValid()) box->setTitle(box->property(key).toString());
    bt_SetGrid->setToolTip(bt_SetGrid->property(uk ? "hint_uk" : "hint_ru").toString());
    for (int i = 0; i < pc_ContrInfo->count(); ++i)
        pc_ContrInfo->setTabText(i, QString::fromUtf8(uk ? kPages[i].uk : kPages[i].ru));
    for (int i = 0; i < cb_contrFilter->count(); ++i)
        cb_contrFilter->setItemText(i, QString::fromUtf8(uk ? kContractStates[i].uk : kContractStates[i].ru));
    const core::Variant branch = combo_FilialFilter->keyValue();
    combo_FilialFilter->setSpecialRow(combo_FilialFilter->property(key).toString(), 0);
    combo_FilialFilter->setKeyValue(branch);
}

}  // namespace TolvMain
