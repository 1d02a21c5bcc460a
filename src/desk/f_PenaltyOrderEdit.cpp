#include "f_PenaltyOrderEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Book.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "TClients.h"
#include "f_ClientInfo.h"
#include "f_StorageTerms.h"
#include "fr_AddServices.h"
#include "kv_DbGridUtl.h"
#include "kv_FrReportList.h"
#include "kv_ReportSystem.h"
#include "kv_Valuta.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Transaction.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/Looks.h"
#include "u_AddServices.h"
#include "u_TolvReportSystem.h"
#include "u_VersionConfig.h"
#include "u_contractSubjects.h"
#include "u_filials.h"

namespace TolvMain {

using TolvLogic::ContractEditor;
using TolvLogic::ContractFieldError;
using TolvLogic::FieldLook;
using Contract = TolvLogic::TPenaltyContractInfo;

namespace {

TolvLogic::TVersionConfig* versionConfig = nullptr;

QString tx(const char* id) {
    return ContractEditor::text(id);
}

ReportSys::ReportEvnt* systemEvent(const QString& code) {
    return ReportSys::ReportSystem::instance().getEventByCode(code);
}

// Read-only fields on the inactive background; a look colours the text.
void setLook(QWidget* w, bool readOnly, FieldLook look = FieldLook::Normal) {
    ui::setReadOnlyLook(w, readOnly);
    ui::setTextLook(w, look == FieldLook::Red    ? ui::TextLook::Red
                       : look == FieldLook::Blue ? ui::TextLook::Blue
                                                 : ui::TextLook::Normal);
}

}  // namespace

void TPenaltyOrderEditForm::setVersionConfig(TolvLogic::TVersionConfig* config) {
    versionConfig = config;
}

int TPenaltyOrderEditForm::scNewContract(core::DateTime workDate,
                                         KassRegister::FiscalRegister* fiscalRegister) {
    if (!versionConfig)
        throw core::Exception(QStringLiteral("TPenaltyOrderEditForm: the shared lists are not set"));
    TPenaltyOrderEditForm form(QApplication::activeWindow(), *versionConfig);
    form.setNew(workDate, fiscalRegister);
    utl::DbGridUtl::restoreFormGridsLayout(&form, QString(), utl::SettingsFile::userIniFileName());
    if (form.showModal() != ui::ModalResult::Ok) return -1;
    return form.logic().savedContractId();
}

ui::ModalResult TPenaltyOrderEditForm::scEditContract(int contractId, core::DateTime workDate) {
    if (!versionConfig)
        throw core::Exception(QStringLiteral("TPenaltyOrderEditForm: the shared lists are not set"));
    TPenaltyOrderEditForm form(QApplication::activeWindow(), *versionConfig);
    form.loadContract(contractId, workDate);
    utl::DbGridUtl::restoreFormGridsLayout(&form, QString(), utl::SettingsFile::userIniFileName());
    return form.showModal() == ui::ModalResult::Ok ? ui::ModalResult::Ok : ui::ModalResult::Cancel;
}

TPenaltyOrderEditForm::TPenaltyOrderEditForm(QWidget* owner, TolvLogic::TVersionConfig& config)
    : ui::Form(QStringLiteral("PenaltyOrderEditForm"), owner,
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      config_(config) {
    logic_ = std::make_unique<ContractEditor>(config.getDatabase(), config.getContracts());
    servicesReceipt_ = std::make_unique<ReportEvntCbWReceipt>();
    servicesExpense_ = std::make_unique<ReportEvntCbWExpense>();
    build();
    addStorageMessages(*this);
    logic_->onChanged = [this] {
        if (!updating_) showState();
    };
}

TPenaltyOrderEditForm::~TPenaltyOrderEditForm() {
    // The frame lets go of the list before the logic destroys it; the choice forgets the dialog's own
    // events before they go.
    delete servicesFrame;
    servicesFrame = nullptr;
    // The items grid goes before the items list it shows.
    delete rg_Subjs;
    rg_Subjs = nullptr;
    reportList->clear();
    if (auto* items = logic_->contract()->getSubjects()) items->onChanged = nullptr;
    logic_.reset();
}

void TPenaltyOrderEditForm::build() {
    addCaption(this, "windowTitle", QStringLiteral("Редактировать договор"),
               QStringLiteral("Редагувати договір"));
    auto* layout = new QVBoxLayout(this);
    const auto label = [this](QWidget* parent, const QString& ru, const QString& uk) {
        auto* l = new QLabel(parent);
        addCaption(l, "text", ru, uk);
        return l;
    };
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    const auto hint = [this](QWidget* w, const QString& ru, const QString& uk) {
        addCaption(w, "toolTip", ru, uk);
    };
    const auto money = [&](const char* name) {
        auto* e = new ui::CurrencyEdit(this);
        named(e, name);
        e->setRange(-1e10, 1e10);
        utl::Valuta::applyMoneyFormat(e, QString());
        return e;
    };
    const auto number = [&](const char* name, int decimals) {
        auto* e = new ui::NumberEdit(decimals, this);
        named(e, name);
        e->setRange(-1e9, 1e9);
        return e;
    };

    // Top band: branch, number, date, client, agent.
    auto* top = new QGridLayout;
    combo_Filial = new ui::LookupCombo(this);
    named(combo_Filial, "combo_Filial");
    hint(combo_Filial, QStringLiteral("Филиал, в котором создан договор"),
         QStringLiteral("Філія, в якій створено договір"));
    NumEdit = new QLineEdit(this);
    named(NumEdit, "NumEdit");
    hint(NumEdit, QStringLiteral("Номер договора"), QStringLiteral("Номер договору"));
    DateEdit = new ui::DateEdit(this);
    named(DateEdit, "DateEdit");
    hint(DateEdit, QStringLiteral("Дата заключения договора"), QStringLiteral("Дата укладання договору"));
    top->addWidget(label(this, QStringLiteral("Филиал"), QStringLiteral("Філія")), 0, 0);
    top->addWidget(combo_Filial, 0, 1);
    top->addWidget(label(this, QStringLiteral("Договор №"), QStringLiteral("Договір №")), 0, 2);
    top->addWidget(NumEdit, 0, 3);
    top->addWidget(label(this, QStringLiteral("Дата"), QStringLiteral("Дата")), 0, 4);
    top->addWidget(DateEdit, 0, 5);
    ClientEdit = new ui::ButtonEdit(this);
    named(ClientEdit, "ClientEdit");
    ClientEdit->setReadOnly(true);
    hint(ClientEdit, QStringLiteral("Клиент, с которым заключен договор"),
         QStringLiteral("Клієнт, з яким укладено договір"));
    ClientEdit_Imported = new ui::ButtonEdit(this);
    named(ClientEdit_Imported, "ClientEdit_Imported");
    ClientEdit_Imported->setReadOnly(true);
    hint(ClientEdit_Imported, QStringLiteral("Информация о клиенте по договору"),
         QStringLiteral("Інформація про клієнта за договором"));
    ClientEdit_Imported->hide();
    ed_Agent = new QLineEdit(this);
    named(ed_Agent, "ed_Agent");
    ed_Agent->setReadOnly(true);
    hint(ed_Agent, QStringLiteral("Агент, заключивший договор"), QStringLiteral("Агент, що уклав договір"));
    bt_EditForce = new QPushButton(QStringLiteral("*"), this);
    named(bt_EditForce, "bt_EditForce");
    bt_EditForce->setFixedWidth(24);
    hint(bt_EditForce, QStringLiteral("Изменить данные по договору"),
         QStringLiteral("Змінити дані договору"));
    bt_EditForce->hide();
    auto* clientRow = new QHBoxLayout;
    clientRow->addWidget(ClientEdit);
    clientRow->addWidget(ClientEdit_Imported);
    top->addWidget(label(this, QStringLiteral("Клиент"), QStringLiteral("Клієнт")), 1, 0);
    top->addLayout(clientRow, 1, 1, 1, 3);
    top->addWidget(label(this, QStringLiteral("Агент"), QStringLiteral("Агент")), 1, 4);
    auto* agentRow = new QHBoxLayout;
    agentRow->addWidget(ed_Agent);
    agentRow->addWidget(bt_EditForce);
    top->addLayout(agentRow, 1, 5);
    layout->addLayout(top);

    // Middle band: the terms on the left, the sums and the items on the right.
    auto* middle = new QHBoxLayout;
    auto* terms = new QGridLayout;
    ed_deposType = new ui::ButtonEdit(this);
    named(ed_deposType, "ed_deposType");
    ed_deposType->setReadOnly(true);
    PlaceEdit = new ui::ButtonEdit(this);
    named(PlaceEdit, "PlaceEdit");
    PlaceEdit->setReadOnly(true);
    hint(PlaceEdit, QStringLiteral("Место нахождения (хранения) залога"),
         QStringLiteral("Місце знаходження (зберігання) застави"));
    combo_penaltyDays = new QComboBox(this);
    named(combo_penaltyDays, "combo_penaltyDays");
    combo_penaltyDays->setEditable(true);
    // Digits only: a stand-in until the platform's digits-only combo.
    combo_penaltyDays->setValidator(new QIntValidator(0, 99999, combo_penaltyDays));
    DayPercEdit = number("DayPercEdit", 2);
    PercEdit = number("PercEdit", 2);
    PenaltyPercEdit = number("PenaltyPercEdit", 2);
    ce_minAccrualDays = number("ce_minAccrualDays", 0);
    hint(ce_minAccrualDays, QStringLiteral("Минимальный срок начисления процентов по кредиту, сут."),
         QStringLiteral("Мінімальний строк нарахування відсотків за кредитом, діб"));
    ce_ExceedDays = number("ce_ExceedDays", 0);
    hint(ce_ExceedDays, QStringLiteral("Количество дней просрочки"),
         QStringLiteral("Кількість днів прострочення"));
    DollarPriceEdit = number("DollarPriceEdit", 4);
    rxl_Exchange = new QLabel(this);
    named(rxl_Exchange, "rxl_Exchange");
    const struct {
        QWidget* w;
        QString ru;
        QString uk;
    } rows[] = {
        {ed_deposType, QStringLiteral("Тип залога"), QStringLiteral("Тип застави")},
        {PlaceEdit, QStringLiteral("Место нахождения"), QStringLiteral("Місце знаходження")},
        {combo_penaltyDays, QStringLiteral("Длит. договора, дни"), QStringLiteral("Трив. договору, дні")},
        {DayPercEdit, QStringLiteral("Процент за сутки, %"), QStringLiteral("Відсоток за добу, %")},
        {PercEdit, QStringLiteral("Процент общий, %"), QStringLiteral("Відсоток загальний, %")},
        {PenaltyPercEdit, QStringLiteral("Пеня, %"), QStringLiteral("Пеня, %")},
        {ce_minAccrualDays, QStringLiteral("Мин срок начислений"), QStringLiteral("Мін строк нарахувань")},
        {ce_ExceedDays, QStringLiteral("Дней просрочки"), QStringLiteral("Днів прострочення")},
    };
    int r = 0;
    for (const auto& row : rows) {
        terms->addWidget(label(this, row.ru, row.uk), r, 0);
        terms->addWidget(row.w, r++, 1);
    }
    terms->addWidget(rxl_Exchange, r, 0);
    terms->addWidget(DollarPriceEdit, r++, 1);
    terms->setRowStretch(r, 1);
    middle->addLayout(terms, 2);

    auto* right = new QVBoxLayout;
    auto* sums = new QGridLayout;
    l_Storage = new QLabel(this);
    named(l_Storage, "l_Storage");
    e_Storage = money("e_Storage");
    b_Storage = new QToolButton(this);
    named(b_Storage, "b_Storage");
    b_Storage->setText(QStringLiteral("..."));
    SubjPriceEdit = money("SubjPriceEdit");
    SubjPriceEdit->setReadOnly(true);
    hint(SubjPriceEdit, QStringLiteral("Оценочная стоимость залога"),
         QStringLiteral("Оціночна вартість застави"));
    DepositSumEdit = money("DepositSumEdit");
    QFont bold = DepositSumEdit->font();
    bold.setBold(true);
    DepositSumEdit->setFont(bold);
    bt_Round = new QToolButton(this);
    named(bt_Round, "bt_Round");
    bt_Round->setText(QStringLiteral(".00"));
    hint(bt_Round, QStringLiteral("Округлить сумму кредита"), QStringLiteral("Округлити суму кредиту"));
    l_Total = label(this, QStringLiteral("Итого к выдаче"), QStringLiteral("Разом до видачі"));
    named(l_Total, "l_Total");
    ce_Total = money("ce_Total");
    ce_Total->setReadOnly(true);
    ce_Total->setFont(bold);
    sums->addWidget(l_Storage, 0, 0);
    auto* storageRow = new QHBoxLayout;
    storageRow->addWidget(e_Storage);
    storageRow->addWidget(b_Storage);
    sums->addLayout(storageRow, 0, 1);
    sums->addWidget(label(this, QStringLiteral("Оценочная стоимость"), QStringLiteral("Оціночна вартість")),
                    0, 2);
    sums->addWidget(SubjPriceEdit, 0, 3);
    sums->addWidget(label(this, QStringLiteral("Сумма кредита"), QStringLiteral("Сума кредиту")), 1, 0);
    auto* loanRow = new QHBoxLayout;
    loanRow->addWidget(DepositSumEdit);
    loanRow->addWidget(bt_Round);
    sums->addLayout(loanRow, 1, 1);
    sums->addWidget(l_Total, 1, 2);
    sums->addWidget(ce_Total, 1, 3);
    right->addLayout(sums);
    gb_Subjs = new QGroupBox(this);
    named(gb_Subjs, "gb_Subjs");
    addCaption(gb_Subjs, "title", QStringLiteral("Залоги"), QStringLiteral("Застави"));
    auto* subjs = new QVBoxLayout(gb_Subjs);
    rg_Subjs = new ui::DbGrid(grid::GridKind::Eh, gb_Subjs);
    named(rg_Subjs, "rg_Subjs");
    rg_Subjs->setDataSource(&subjSource_);
    subjs->addWidget(rg_Subjs);
    right->addWidget(gb_Subjs, 1);
    NoteMemo = new QPlainTextEdit(this);
    named(NoteMemo, "NoteMemo");
    NoteMemo->setMaximumHeight(44);
    hint(NoteMemo, QStringLiteral("Примечание к договору"), QStringLiteral("Примітка до договору"));
    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(label(this, QStringLiteral("Примечание"), QStringLiteral("Примітка")));
    noteRow->addWidget(NoteMemo);
    right->addLayout(noteRow);
    middle->addLayout(right, 3);
    layout->addLayout(middle, 1);

    // Bottom band: the flags, services, documents and buttons.
    auto* flags = new QGridLayout;
    const auto box = [&](const char* name, const QString& ru, const QString& uk) {
        auto* c = new QCheckBox(this);
        named(c, name);
        addCaption(c, "text", ru, uk);
        return c;
    };
    chBx_isCalcPercWithPenalty =
        box("chBx_isCalcPercWithPenalty", QStringLiteral("Начислять проценты при начислении пени"),
            QStringLiteral("Нараховувати відсотки при нарахуванні пені"));
    chBx_isPenaltyCalcFromRetSum =
        box("chBx_isPenaltyCalcFromRetSum", QStringLiteral("Расч. пени от суммы возврата"),
            QStringLiteral("Розр. пені від суми повернення"));
    hint(chBx_isPenaltyCalcFromRetSum,
         QStringLiteral(
             "Расчет пени производить от суммы возврата (а не от суммы кредита)\r\nСумма возврата = сумма "
             "кредита + проценты за срок договора"),
         QStringLiteral(
             "Розрахунок пені робити від суми повернення (а не від суми кредиту)\r\nСума повернення = сума "
             "кредиту + відсотки за строк договору"));
    chBx_IsPrivInExceed = box("chBx_IsPrivInExceed", QStringLiteral("Льготные дни просрочки"),
                              QStringLiteral("Пільгові дні прострочення"));
    hint(chBx_IsPrivInExceed, QStringLiteral("В течении дней просрочки начисления не будут выполняться"),
         QStringLiteral("Протягом днів прострочення нарахування не виконуватимуться"));
    chbox_CalcExchange = box("chbox_CalcExchange", QStringLiteral("Учет курса доллара США"),
                             QStringLiteral("Облік курсу долара США"));
    hint(chbox_CalcExchange, QStringLiteral("Расчет процентов с привязкой к курсу"),
         QStringLiteral("Розрахунок відсотків з прив'язкою до курсу"));
    chbox_CalcExchangeIfIncrease =
        box("chbox_CalcExchangeIfIncrease", QStringLiteral("Учет курса только при его росте"),
            QStringLiteral("Облік курсу лише при його зростанні"));
    hint(chbox_CalcExchangeIfIncrease,
         QStringLiteral("Расчет процентов с привязкой к курсу производить только при росте курса доллара"),
         QStringLiteral("Розрахунок відсотків з прив'язкою до курсу робити лише при зростанні курсу долара"));
    OffCheck = box("OffCheck", QStringLiteral("(Н)"), QStringLiteral("(Н)"));
    OffCheck->hide();
    flags->addWidget(chBx_isCalcPercWithPenalty, 0, 0);
    flags->addWidget(chBx_isPenaltyCalcFromRetSum, 0, 1);
    flags->addWidget(chBx_IsPrivInExceed, 0, 2);
    flags->addWidget(chbox_CalcExchange, 1, 0);
    flags->addWidget(chbox_CalcExchangeIfIncrease, 1, 1);
    layout->addLayout(flags);

    auto* bottom = new QHBoxLayout;
    grbox_AddServices = new QGroupBox(this);
    named(grbox_AddServices, "grbox_AddServices");
    addCaption(grbox_AddServices, "title", QStringLiteral("Дополнительные услуги"),
               QStringLiteral("Додаткові послуги"));
    new QVBoxLayout(grbox_AddServices);
    grbox_AddServices->setMinimumHeight(110);
    grBx_PrintReports = new QGroupBox(this);
    named(grBx_PrintReports, "grBx_PrintReports");
    addCaption(grBx_PrintReports, "title", QStringLiteral("Печать"), QStringLiteral("Друк"));
    auto* reports = new QVBoxLayout(grBx_PrintReports);
    reportList = new ReportSys::TFrKVReportList(grBx_PrintReports, false);
    reports->addWidget(reportList);
    bottom->addWidget(grbox_AddServices, 3);
    bottom->addWidget(grBx_PrintReports, 2);
    layout->addLayout(bottom);

    auto* buttons = new QHBoxLayout;
    btn_Save = new QPushButton(this);
    named(btn_Save, "btn_Save");
    addCaption(btn_Save, "text", QStringLiteral("Добавить"), QStringLiteral("Додати"));
    bt_Cancel = new QPushButton(this);
    named(bt_Cancel, "bt_Cancel");
    addCaption(bt_Cancel, "text", QStringLiteral("Отмена"), QStringLiteral("Скасувати"));
    buttons->addStretch();
    buttons->addWidget(btn_Save);
    buttons->addWidget(bt_Cancel);
    layout->addLayout(buttons);
    setDefaultButton(btn_Save);
    setCancelButton(bt_Cancel);
    applyLanguage();
    l_Storage->setText(tx("IDS_1"));
    setMinimumSize(870, 540);
    resize(922, 540);

    connect(btn_Save, &QPushButton::clicked, this, [this] { btn_SaveClick(); });
    connect(bt_Cancel, &QPushButton::clicked, this, [this] { bt_CancelClick(); });
    connect(bt_EditForce, &QPushButton::clicked, this, [this] { handle([this] { bt_ForceEditClick(); }); });
    connect(ClientEdit, &ui::ButtonEdit::buttonClicked, this,
            [this] { handle([this] { ClientEditButtonClick(); }); });
    connect(ClientEdit_Imported, &ui::ButtonEdit::buttonClicked, this,
            [this] { handle([this] { ClientEdit_ImportedButtonClick(); }); });
    connect(PlaceEdit, &ui::ButtonEdit::buttonClicked, this,
            [this] { handle([this] { PlaceEditButtonClick(); }); });
    connect(ed_deposType, &ui::ButtonEdit::buttonClicked, this,
            [this] { handle([this] { ed_deposTypeButtonClick(); }); });
    connect(bt_Round, &QToolButton::clicked, this, [this] { handle([this] { bt_RoundClick(); }); });
    connect(b_Storage, &QToolButton::clicked, this, [this] { handle([this] { ce_StorageButtonClick(); }); });
    connect(combo_Filial, &ui::LookupCombo::keyValueChanged, this, [this] {
        if (!updating_ && !combo_Filial->keyValue().isEmpty())
            handle([this] { logic_->setFilial(combo_Filial->keyValue().toInt()); });
    });
    connect(DateEdit, &ui::DateEdit::changed, this,
            [this] { handle([this] { logic_->setDate(DateEdit->date()); }); });
    connect(NumEdit, &QLineEdit::textEdited, this, [this](const QString& t) { logic_->setNumber(t); });
    connect(combo_penaltyDays, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { handle([this, t] { logic_->setTermText(t); }); });
    connect(DayPercEdit, &ui::NumberEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setDayPerc(v); }); });
    connect(PercEdit, &ui::NumberEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setPerc(v); }); });
    connect(PenaltyPercEdit, &ui::NumberEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setPenaltyPerc(v); }); });
    connect(ce_minAccrualDays, &ui::NumberEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setMinAccrualDays(static_cast<int>(v)); }); });
    connect(ce_ExceedDays, &ui::NumberEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setExceedDays(static_cast<int>(v)); }); });
    connect(DollarPriceEdit, &ui::NumberEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setDollarPrice(v); }); });
    connect(e_Storage, &ui::CurrencyEdit::valueChanged, this,
            [this](double v) { handle([this, v] { logic_->setStorageSum(v); }); });
    connect(DepositSumEdit, &ui::CurrencyEdit::valueChanged, this,
            [this] { handle([this] { logic_->setDepositSum(DepositSumEdit->hundredths()); }); });
    connect(NoteMemo, &QPlainTextEdit::textChanged, this, [this] {
        if (!updating_) logic_->setNote(NoteMemo->toPlainText());
    });
    const auto flag = [this](QCheckBox* c, void (ContractEditor::*set)(bool)) {
        connect(c, &QCheckBox::clicked, this,
                [this, set](bool on) { handle([this, set, on] { (logic_.get()->*set)(on); }); });
    };
    flag(chBx_isCalcPercWithPenalty, &ContractEditor::setCalcPercWithPenalty);
    flag(chBx_isPenaltyCalcFromRetSum, &ContractEditor::setPenaltyFromRetSum);
    flag(chBx_IsPrivInExceed, &ContractEditor::setPrivInExceed);
    flag(chbox_CalcExchange, &ContractEditor::setCalcExchange);
    flag(chbox_CalcExchangeIfIncrease, &ContractEditor::setCalcExchangeIfIncrease);
}

void TPenaltyOrderEditForm::handle(const std::function<void()>& handler) {
    if (updating_) return;
    ui::runGuarded(handler);
    showState();
}

// ---- opening --------------------------------------------------------------------------------------

void TPenaltyOrderEditForm::setNew(core::DateTime workDate, KassRegister::FiscalRegister* fiscalRegister) {
    updating_ = true;
    combo_Filial->setListSource(logic_->filials()->getDataSet());
    combo_Filial->setKeyField(QStringLiteral("ID"));
    combo_Filial->setListField(QStringLiteral("FILIAL"));
    logic_->setNew(workDate, fiscalRegister);
    reportList->enableRememberChecks();
    updating_ = false;
    showState();
}

void TPenaltyOrderEditForm::loadContract(int contractId, core::DateTime workDate) {
    updating_ = true;
    logic_->loadContract(contractId, workDate);
    combo_Filial->setListSource(logic_->filials()->getDataSet());
    combo_Filial->setKeyField(QStringLiteral("ID"));
    combo_Filial->setListField(QStringLiteral("FILIAL"));
    combo_Filial->setEnabled(false);
    updating_ = false;
    showState();
}

// ---- the controls as the logic stands --------------------------------------------------------------

void TPenaltyOrderEditForm::showState() {
    if (updating_) return;
    updating_ = true;
    ContractEditor& l = *logic_;
    setWindowTitle(l.caption());
    btn_Save->setText(l.saveCaption());
    combo_Filial->setKeyValue(l.filialId());
    NumEdit->setText(l.number());
    DateEdit->setDate(l.date());
    ClientEdit->setText(l.clientName());
    ClientEdit_Imported->setText(l.clientName());
    ClientEdit->setVisible(!l.isImport());
    ClientEdit_Imported->setVisible(l.isImport());
    ed_Agent->setText(l.agentName());
    ed_deposType->setText(l.depositTypeName());
    PlaceEdit->setText(l.placeName());
    const TolvLogic::TermModel& term = l.term();
    if (combo_penaltyDays->count() != term.items().size()) {
        combo_penaltyDays->clear();
        combo_penaltyDays->addItems(term.items());
    }
    combo_penaltyDays->setEditable(!term.pickOnly());
    if (combo_penaltyDays->currentText() != term.text()) combo_penaltyDays->setCurrentText(term.text());
    DayPercEdit->setValue(l.dayPerc());
    PercEdit->setValue(l.perc());
    PenaltyPercEdit->setValue(l.penaltyPerc());
    DayPercEdit->setToolTip(l.dayPercHint());
    PercEdit->setToolTip(l.percHint());
    PenaltyPercEdit->setToolTip(l.penaltyPercHint());
    ce_minAccrualDays->setValue(l.minAccrualDays());
    ce_ExceedDays->setValue(l.exceedDays());
    DollarPriceEdit->setValue(l.dollarPrice());
    rxl_Exchange->setText(l.exchangeLabel());
    DollarPriceEdit->setToolTip(l.exchangeHint());
    e_Storage->setHundredths(l.storageSum());
    e_Storage->setToolTip(storageHint(storageTerms(), storageTexts(*this)));
    SubjPriceEdit->setHundredths(l.subjPrice());
    DepositSumEdit->setHundredths(l.depositSum());
    DepositSumEdit->setToolTip(l.depositSumHint());
    ce_Total->setHundredths(l.total());
    if (NoteMemo->toPlainText() != l.note()) NoteMemo->setPlainText(l.note());
    chBx_isCalcPercWithPenalty->setChecked(l.calcPercWithPenalty());
    chBx_isPenaltyCalcFromRetSum->setChecked(l.penaltyFromRetSum());
    chBx_IsPrivInExceed->setChecked(l.privInExceed());
    chbox_CalcExchange->setChecked(l.calcExchange());
    chbox_CalcExchangeIfIncrease->setChecked(l.calcExchangeIfIncrease());
    OffCheck->setChecked(l.offFlag());
    if (auto* items = l.contract()->getSubjects();
        items && (items->getGridEh() != rg_Subjs || l.subjGridSection() != subjSection_)) {
        // The items' column widths are kept per pledge kind (gold or other).
        if (items->getGridEh() != rg_Subjs) items->bindGridEh(rg_Subjs);
        subjSection_ = l.subjGridSection();
        items->loadColumnWidths(utl::SettingsFile::userIniFileName(), subjSection_);
    }
    placeServices();
    syncDocuments();
    applyAccess();
    updating_ = false;
}

void TPenaltyOrderEditForm::applyAccess() {
    const TolvLogic::ContractAccess a = logic_->access();
    for (QLineEdit* e : {NumEdit}) e->setReadOnly(!a.edit);
    for (QWidget* w : std::initializer_list<QWidget*>{ClientEdit, ed_deposType, PlaceEdit})
        w->setEnabled(a.edit || w == ClientEdit_Imported);
    ClientEdit_Imported->setEnabled(true);
    for (ui::NumberEdit* e : {static_cast<ui::NumberEdit*>(DepositSumEdit), DayPercEdit, PercEdit,
                              PenaltyPercEdit, static_cast<ui::NumberEdit*>(e_Storage)})
        e->setReadOnly(!a.edit);
    NoteMemo->setReadOnly(!a.edit);
    rg_Subjs->setEnabled(a.edit);
    for (QWidget* w :
         std::initializer_list<QWidget*>{combo_penaltyDays, b_Storage, grbox_AddServices, bt_Round, btn_Save})
        w->setEnabled(a.edit);
    DateEdit->setEnabled(a.full);
    ce_minAccrualDays->setReadOnly(!a.full);
    ce_ExceedDays->setReadOnly(!a.full);
    for (QCheckBox* c : {chBx_isCalcPercWithPenalty, chBx_isPenaltyCalcFromRetSum, chBx_IsPrivInExceed})
        c->setEnabled(a.full);
    chbox_CalcExchange->setEnabled(a.calcExchange);
    chbox_CalcExchangeIfIncrease->setEnabled(a.calcExchangeIfIncrease);
    DollarPriceEdit->setReadOnly(a.dollarReadOnly);
    setLook(DepositSumEdit, !a.edit, logic_->depositSumLook());
    for (QWidget* w : std::initializer_list<QWidget*>{DayPercEdit, PercEdit, PenaltyPercEdit, NoteMemo})
        setLook(w, !a.edit);
    setLook(ce_minAccrualDays, !a.full);
    setLook(ce_ExceedDays, !a.full);
    setLook(DollarPriceEdit, a.dollarReadOnly, logic_->dollarLook());
    setLook(NumEdit, !a.edit);
    setLook(e_Storage, !a.edit);
    setLook(ce_Total, true);
    setLook(SubjPriceEdit, true);
    bt_EditForce->setVisible(a.forceOffered);
}

void TPenaltyOrderEditForm::placeServices() {
    TolvLogic::NewContractService* services = logic_->services();
    if (services == framedServices_) return;
    if (!servicesFrame) {
        servicesFrame = new TFr_AddServicesList(this, logic_->transaction(), grbox_AddServices, services);
    } else {
        servicesFrame->setServices(services);
    }
    framedServices_ = services;
}

ReportSys::ReportEvnt* TPenaltyOrderEditForm::eventOf(const TolvLogic::ContractDocument& d) const {
    if (d.suffix.isEmpty()) return systemEvent(d.code);
    return d.code == QStringLiteral("CB_WRECEIPT") ? servicesReceipt_.get() : servicesExpense_.get();
}

void TPenaltyOrderEditForm::syncDocuments() {
    const std::vector<TolvLogic::ContractDocument>& wanted = logic_->documents();
    for (const auto& d : shownDocuments_) {
        if (std::find(wanted.begin(), wanted.end(), d) == wanted.end())
            reportList->removeEvent(d.code, d.suffix);
    }
    for (const auto& d : wanted) {
        if (std::find(shownDocuments_.begin(), shownDocuments_.end(), d) == shownDocuments_.end())
            reportList->addEvent(eventOf(d), d.caption, d.suffix);
    }
    shownDocuments_ = wanted;
}

// ---- pickers --------------------------------------------------------------------------------------

void TPenaltyOrderEditForm::ClientEditButtonClick() {
    // The directory reads and writes in a transaction of its own, never in the dialog's.
    TolvLogic::TClients clients(config_.getDatabase());
    ufb::TBookForm form(this, QStringLiteral("TPenaltyOrderEditForm::ClientEditButtonClick"));
    if (!form.showBook(1, &clients, QString(), true,
                       logic_->contract()->getContractValue(Contract::cCLIENT_ID),
                       QStringLiteral("CLIENT_ID")))
        return;
    logic_->setClient(form.pickedValues[QStringLiteral("CLIENT_ID")].toInt(),
                      form.pickedValues[QStringLiteral("CLIENT_NAME")].toText());
}

void TPenaltyOrderEditForm::ClientEdit_ImportedButtonClick() {
    TFClientInfo card(this, *logic_->contract());
    card.showModal();
}

void TPenaltyOrderEditForm::PlaceEditButtonClick() {
    TolvLogic::TPlaces places(config_.getDatabase());
    ufb::TBookForm form(this, QStringLiteral("TPenaltyOrderEditForm::PlaceEditButtonClick"));
    if (!form.showBook(1, &places, QString(), true,
                       logic_->contract()->getDepositValue(Contract::dDEPOSIT_PLACE),
                       QStringLiteral("PLACE_ID")))
        return;
    logic_->setPlace(form.pickedValues[QStringLiteral("PLACE_ID")].toInt());
}

void TPenaltyOrderEditForm::ed_deposTypeButtonClick() {
    TolvLogic::TDepositTypes types(config_.getDatabase());
    ufb::TBookForm form(this, QStringLiteral("TPenaltyOrderEditForm::ed_deposTypeButtonClick"));
    if (!form.showBook(1, &types, QStringLiteral("Тип залога"), false,
                       logic_->contract()->getIdDepositeType(), QStringLiteral("ID")))
        return;
    logic_->setDepositType(form.pickedValues[QStringLiteral("ID")].toInt());
}

void TPenaltyOrderEditForm::bt_RoundClick() {
    logic_->roundDepositSum();
}

void TPenaltyOrderEditForm::bt_ForceEditClick() {
    logic_->confirmForcedEdit();
}

void TPenaltyOrderEditForm::ce_StorageButtonClick() {
    // The types in a read of their own, never in the editor's transaction.
    TolvLogic::StorageTypes types(config_.getDatabase());
    TolvLogic::StorageTerms terms = storageTerms();
    if (!scEditStorageTerms(this, terms, types.getNamesText(QStringLiteral("|")), storageTexts(*this))) return;
    logic_->setStorage(terms.type, terms.value, terms.minDays, terms.startWithPenalty);
}

TolvLogic::StorageTerms TPenaltyOrderEditForm::storageTerms() const {
    return {logic_->storageType(), logic_->storageValue(), logic_->storageMinDays(),
            logic_->storageStartWithPenalty()};
}

// ---- save -----------------------------------------------------------------------------------------

void TPenaltyOrderEditForm::btn_SaveClick() {
    ui::runGuarded([this] {
        ContractEditor::SaveResult result = ContractEditor::SaveResult::NotWritten;
        try {
            result = logic_->save();
        } catch (const ContractFieldError& e) {
            QWidget* fields[] = {NumEdit,          DateEdit,        ClientEdit, combo_Filial,
                                 rg_Subjs,         SubjPriceEdit,   e_Storage,  PercEdit,
                                 PenaltyPercEdit,  DollarPriceEdit, PlaceEdit,  ed_deposType,
                                 combo_penaltyDays};
            fields[e.field()]->setFocus();
            showState();
            throw;
        }
        showState();
        if (result != ContractEditor::SaveResult::Saved) return;
        // The contract is committed: a failing document neither undoes nor hides it.
        try {
            printDocuments(logic_->savedContractId());
            reportList->printChecked();
            reportList->clear();
        } catch (const std::exception& e) {
            const auto* ours = dynamic_cast<const core::Exception*>(&e);
            ui::showError(ours ? ours->message() : QString::fromLocal8Bit(e.what()));
        }
        setModalResult(ui::ModalResult::Ok);
    });
}

void TPenaltyOrderEditForm::printDocuments(int contractId) {
    using TolvReports::DocumentIds;
    const QString suffix = tx("IDS_24");
    const struct {
        const char* code;
        QString suffix;
        const char* orderCode;
        ReportSys::ReportEvnt* event;
    } orders[] = {
        {"CB_WEXPENSE", QString(), "EXPENSE_DEPOSIT", systemEvent(QStringLiteral("CB_WEXPENSE"))},
        {"CB_WRECEIPT", suffix, "RECEIPT_SERVICE", servicesReceipt_.get()},
        {"CB_WEXPENSE", suffix, "EXPENSE_SERVICE", servicesExpense_.get()},
    };
    for (const auto& o : orders) {
        if (!reportList->containsEvent(QString::fromLatin1(o.code), o.suffix)) continue;
        TolvReports::fillEventParams(o.event, DocumentIds{.contractId = contractId,
                                                          .operationId = -1,
                                                          .warrantId = 0,
                                                          .warrantCode = QString::fromLatin1(o.orderCode)});
    }
    for (const char* code : {"CNTR_OPEN", "CNTR_OPEN_GOLD"}) {
        if (reportList->containsEvent(QString::fromLatin1(code)))
            TolvReports::fillEventParams(reportList->getEvent(QString::fromLatin1(code)),
                                         DocumentIds{.contractId = contractId});
    }
}

void TPenaltyOrderEditForm::formClose() {
    const QString ini = utl::SettingsFile::userIniFileName();
    utl::DbGridUtl::saveFormGridsLayout(this, QString(), ini);
    if (auto* items = logic_->contract()->getSubjects(); items && !subjSection_.isEmpty())
        items->saveColumnWidths(ini, subjSection_);
}

void TPenaltyOrderEditForm::bt_CancelClick() {
    if (logic_->transaction() && logic_->transaction()->inTransaction()) {
        ui::runGuarded([this] { logic_->transaction()->rollback(); });
    }
    setModalResult(ui::ModalResult::Cancel);
}

}  // namespace TolvMain
