// The main window's search panel, its grids and the page control of the selected contract's details.

#include <QAbstractButton>
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
    int column = 0;
    for (const auto& cell : cells) {
        auto* label = bilingual(new QLabel(panel), cell.ru, cell.uk);
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
    captionRow->addWidget(bilingual(new QLabel(details), "Договор №", "Договір №"));
    captionRow->addWidget(DogNText);
    captionRow->addSpacing(16);
    captionRow->addWidget(bilingual(new QLabel(details), "Клиент", "Клієнт"));
    captionRow->addWidget(DBText1, 1);
    detailsLayout->addLayout(captionRow);

    auto* lower = new QHBoxLayout;
    pc_ContrInfo = named(new QTabWidget(details), "pc_ContrInfo");
    gr_Ops = makeGrid("gr_Ops", OpsDS.get(), pc_ContrInfo);
    greh_AddServices = makeGrid("greh_AddServices", ds_AddServices.get(), pc_ContrInfo);
    greh_AddServices->setReadOnly(true);
    gr_Sales = makeGrid("gr_Sales", SalesDS.get(), pc_ContrInfo);
    for (ui::DbGrid* page : {gr_Ops, greh_AddServices, gr_Sales}) pc_ContrInfo->addTab(page, QString());
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
    applyPanelTexts(1);
}

void TFMain::applyPanelTexts(int language) {
    const bool uk = language == 2;
    const char* key = uk ? "caption_uk" : "caption_ru";
    for (QLabel* label : centralWidget()->findChildren<QLabel*>())
        if (label->property(key).isValid()) label->setText(label->property(key).toString());
    for (QAbstractButton* button : centralWidget()->findChildren<QAbstractButton*>())
        if (button->property(key).isValid()) button->setText(button->property(key).toString());
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
