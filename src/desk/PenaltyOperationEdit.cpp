#include "PenaltyOperationEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMoveEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "PenaltyContracts.h"
#include "PenaltyInfoFrameUnit.h"
#include "f_ClientInfo.h"
#include "f_ExchangeInfo.h"
#include "fr_AddServices.h"
#include "kv_DbGridUtl.h"
#include "kv_FrReportList.h"
#include "kv_ReportSystem.h"
#include "kv_Valuta.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/os/IniFile.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "u_TolvReportSystem.h"
#include "u_VersionConfig.h"

using TolvLogic::OperationFieldError;
using TolvLogic::OperationPayment;
using Contract = TolvLogic::TPenaltyContractInfo;

namespace {

TolvLogic::TVersionConfig* versionConfig = nullptr;
std::function<void(const std::exception_ptr&)> exceptionHandler;

QString tx(const char* id) {
    return OperationPayment::text(id);
}

ReportSys::ReportEvnt* systemEvent(const QString& code) {
    return ReportSys::ReportSystem::instance().getEventByCode(code);
}

const QString kExchangeSection = QStringLiteral("AddPenaltyOpForm");

}  // namespace

void TAddPenaltyOpForm::setVersionConfig(TolvLogic::TVersionConfig* config) {
    versionConfig = config;
}

void TAddPenaltyOpForm::setExceptionHandler(std::function<void(const std::exception_ptr&)> handler) {
    exceptionHandler = std::move(handler);
}

ui::ModalResult TAddPenaltyOpForm::scAddOperation(int contractId, core::DateTime date,
                                                  KassRegister::FiscalRegister* fiscalRegister) {
    return scExecute(contractId, -1, date, fiscalRegister);
}

ui::ModalResult TAddPenaltyOpForm::scEditOperation(int contractId, int opId) {
    return scExecute(contractId, opId, core::DateTime(), nullptr);
}

ui::ModalResult TAddPenaltyOpForm::scExecute(int contractId, int opId, core::DateTime date,
                                             KassRegister::FiscalRegister* fiscalRegister) {
    if (!versionConfig)
        throw core::Exception(QStringLiteral("TAddPenaltyOpForm: the shared lists are not set"));
    TAddPenaltyOpForm form(QApplication::activeWindow(), *versionConfig);
    form.prepare(contractId, opId, date, fiscalRegister);
    return form.showModal();
}

TAddPenaltyOpForm::TAddPenaltyOpForm(QWidget* owner, TolvLogic::TVersionConfig& config)
    : ui::Form(
          QStringLiteral("AddPenaltyOpForm"), owner,
          Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      config_(config) {
    logic_ = std::make_unique<OperationPayment>(config.getDatabase(), config.getOperations(),
                                                config.getContracts());
    build();
    servicesReceipt_ = std::make_unique<ReportEvntCbWReceipt>();
    servicesExpense_ = std::make_unique<ReportEvntCbWExpense>();
    logic_->onServicesReplaced = [this] { onServicesReplaced(); };
    logic_->onServicesChanged = [this] { onServicesChanged(); };
}

TAddPenaltyOpForm::~TAddPenaltyOpForm() {
    // The frame lets go of the list before the logic destroys it; the choice forgets the dialog's own
    // events before they go.
    delete servicesFrame;
    reportList->clear();
    logic_.reset();
}

void TAddPenaltyOpForm::build() {
    addCaption(this, "windowTitle", QStringLiteral("Редактирование операции"),
               QStringLiteral("Редагування операції"));
    auto* layout = new QVBoxLayout(this);
    auto label = [this](QWidget* parent, const QString& ru, const QString& uk) {
        auto* l = new QLabel(parent);
        addCaption(l, "text", ru, uk);
        return l;
    };

    auto* head = new QGridLayout;
    NumEdit = new ui::ButtonEdit(this);
    NumEdit->setObjectName(QStringLiteral("NumEdit"));
    NumEdit->setReadOnly(true);
    head->addWidget(label(this, QStringLiteral("Договор №"), QStringLiteral("Договір №")), 0, 0);
    head->addWidget(NumEdit, 0, 1);
    de_OpDate = new ui::DateEdit(this);
    de_OpDate->setObjectName(QStringLiteral("de_OpDate"));
    de_OpDate->setDate(core::DateTime::today());
    head->addWidget(label(this, QStringLiteral("Дата"), QStringLiteral("Дата")), 0, 2);
    head->addWidget(de_OpDate, 0, 3);

    auto clientRow = [this](QLineEdit*& edit, QToolButton*& button, const char* name) {
        auto* row = new QHBoxLayout;
        edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        button = new QToolButton(this);
        button->setText(QStringLiteral("..."));
        row->addWidget(edit);
        row->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this] { runHandler([this] { openClientCard(); }); });
        return row;
    };
    head->addWidget(label(this, QStringLiteral("Клиент"), QStringLiteral("Клієнт")), 1, 0);
    auto* clients = new QHBoxLayout;
    clients->addLayout(clientRow(edClient, bt_Client, "edClient"));
    clients->addLayout(clientRow(edClientImported, bt_ClientImported, "edClientImported"));
    addCaption(bt_ClientImported, "toolTip", QStringLiteral("Информация о клиенте по договору"),
               QStringLiteral("Інформація про клієнта за договором"));
    edClientImported->hide();
    bt_ClientImported->hide();
    head->addLayout(clients, 1, 1, 1, 3);
    AgentEdit = new QLineEdit(this);
    AgentEdit->setObjectName(QStringLiteral("AgentEdit"));
    AgentEdit->setReadOnly(true);
    head->addWidget(label(this, QStringLiteral("Агент"), QStringLiteral("Агент")), 2, 0);
    head->addWidget(AgentEdit, 2, 1, 1, 3);
    layout->addLayout(head);

    grBx_Op = new QGroupBox(this);
    grBx_Op->setObjectName(QStringLiteral("grBx_Op"));
    addCaption(grBx_Op, "title", QStringLiteral("Операция"), QStringLiteral("Операція"));
    auto* op = new QGridLayout(grBx_Op);
    cb_OpVid = new QComboBox(grBx_Op);
    cb_OpVid->setObjectName(QStringLiteral("cb_OpVid"));
    for (const char* id : {"opVid0", "opVid1", "opVid2", "opVid3"}) cb_OpVid->addItem(tx(id));
    op->addWidget(label(grBx_Op, QStringLiteral("Вид операции"), QStringLiteral("Вид операції")), 0, 0);
    op->addWidget(cb_OpVid, 0, 1, 1, 2);
    SumEdit = new ui::CurrencyEdit(grBx_Op);
    SumEdit->setObjectName(QStringLiteral("SumEdit"));
    SumEdit->setRange(-1e12, 1e12);
    utl::Valuta::applyMoneyFormat(SumEdit, QString());
    op->addWidget(label(grBx_Op, QStringLiteral("Сумма операции"), QStringLiteral("Сума операції")), 1, 0);
    op->addWidget(SumEdit, 1, 1, 1, 2);
    BaseDebtLab = newAmountLabel(grBx_Op, "BaseDebtLab", 120);
    rxL_StorageSum = newAmountLabel(grBx_Op, "rxL_StorageSum", 120);
    PercDebtLab = newAmountLabel(grBx_Op, "PercDebtLab", 120);
    PenaltyDebtLab = newAmountLabel(grBx_Op, "PenaltyDebtLab", 120);
    l_Total = newAmountLabel(grBx_Op, "l_Total", 120);
    spbt_ExchangeInfo = new QToolButton(grBx_Op);
    spbt_ExchangeInfo->setObjectName(QStringLiteral("spbt_ExchangeInfo"));
    spbt_ExchangeInfo->setText(QStringLiteral("?"));
    spbt_ExchangeInfo->setCheckable(true);
    spbt_ExchangeInfo->hide();
    const struct {
        QLabel* value;
        QString ru;
        QString uk;
    } debts[] = {{BaseDebtLab, QStringLiteral("Осн сумма"), QStringLiteral("Осн. сума")},
                 {rxL_StorageSum, QStringLiteral("Хранение"), QStringLiteral("Зберігання")},
                 {PercDebtLab, QStringLiteral("Проценты"), QStringLiteral("Відсотки")},
                 {PenaltyDebtLab, QStringLiteral("Пеня"), QStringLiteral("Пеня")},
                 {l_Total, QStringLiteral("Итого:"), QStringLiteral("Разом:")}};
    int row = 2;
    for (const auto& d : debts) {
        op->addWidget(label(grBx_Op, d.ru, d.uk), row, 0);
        op->addWidget(d.value, row, 1);
        if (d.value == PercDebtLab) op->addWidget(spbt_ExchangeInfo, row, 2);
        ++row;
    }
    chBx_IncldCurDay = new QCheckBox(grBx_Op);
    chBx_IncldCurDay->setObjectName(QStringLiteral("chBx_IncldCurDay"));
    addCaption(chBx_IncldCurDay, "text", QStringLiteral("Учитывать текущий день при погашении процентов"),
               QStringLiteral("Враховувати поточний день при погашенні відсотків"));
    op->addWidget(chBx_IncldCurDay, row, 0, 1, 3);
    layout->addWidget(grBx_Op);

    grbox_AddServices = new QGroupBox(this);
    grbox_AddServices->setObjectName(QStringLiteral("grbox_AddServices"));
    addCaption(grbox_AddServices, "title", QStringLiteral("Дополнительные услуги"),
               QStringLiteral("Додаткові послуги"));
    new QVBoxLayout(grbox_AddServices);
    grbox_AddServices->setMinimumHeight(120);
    layout->addWidget(grbox_AddServices);

    auto* total = new QHBoxLayout;
    l_AllSum = new QLabel(this);
    l_AllSum->setObjectName(QStringLiteral("l_AllSum"));
    l_AllSumVal = new QLabel(this);
    l_AllSumVal->setObjectName(QStringLiteral("l_AllSumVal"));
    QFont bold = l_AllSum->font();
    bold.setBold(true);
    l_AllSum->setFont(bold);
    l_AllSumVal->setFont(bold);
    addCaption(l_AllSum, "text", QStringLiteral("Итого по операции"), QStringLiteral("Разом за операцією"));
    total->addStretch();
    total->addWidget(l_AllSum);
    total->addWidget(l_AllSumVal);
    layout->addLayout(total);

    auto* noteRow = new QHBoxLayout;
    NoteMemo = new QLineEdit(this);
    NoteMemo->setObjectName(QStringLiteral("NoteMemo"));
    noteRow->addWidget(label(this, QStringLiteral("Примечание"), QStringLiteral("Примітка")));
    noteRow->addWidget(NoteMemo);
    layout->addLayout(noteRow);

    gbox_Reports = new QGroupBox(this);
    gbox_Reports->setObjectName(QStringLiteral("gbox_Reports"));
    addCaption(gbox_Reports, "title", QStringLiteral("Печать"), QStringLiteral("Друк"));
    auto* reports = new QVBoxLayout(gbox_Reports);
    reportList = new ReportSys::TFrKVReportList(gbox_Reports, false);
    reportList->setMaximumHeight(90);
    reports->addWidget(reportList);
    reportList->addEvent(systemEvent(QStringLiteral("OP_PAY")));
    layout->addWidget(gbox_Reports);

    auto* buttons = new QHBoxLayout;
    bt_ForceEdit = new QPushButton(QStringLiteral("*"), this);
    bt_ForceEdit->setObjectName(QStringLiteral("bt_ForceEdit"));
    bt_ForceEdit->setFixedWidth(24);
    addCaption(bt_ForceEdit, "toolTip", QStringLiteral("Изменить данные по операции"),
               QStringLiteral("Змінити дані операції"));
    bt_ForceEdit->hide();
    AddBtn = new QPushButton(this);
    AddBtn->setObjectName(QStringLiteral("AddBtn"));
    addCaption(AddBtn, "text", QStringLiteral("Добавить"), QStringLiteral("Додати"));
    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    addCaption(CancelBtn, "text", QStringLiteral("Отмена"), QStringLiteral("Скасувати"));
    buttons->addWidget(bt_ForceEdit);
    buttons->addStretch();
    buttons->addWidget(AddBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    setDefaultButton(AddBtn);
    setCancelButton(CancelBtn);
    applyLanguage();

    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    connect(bt_ForceEdit, &QPushButton::clicked, this,
            [this] { runHandler([this] { bt_ForceEditClick(); }); });
    connect(spbt_ExchangeInfo, &QToolButton::clicked, this, [this] { spbt_ExchangeInfoClick(); });
    connect(de_OpDate, &ui::DateEdit::changed, this, [this] { de_OpDateChange(); });
    connect(chBx_IncldCurDay, &QCheckBox::clicked, this, [this] { chBx_IncldCurDayClick(); });
    connect(cb_OpVid, &QComboBox::currentIndexChanged, this, [this] { cb_OpVidChange(); });
    connect(SumEdit, &ui::CurrencyEdit::valueChanged, this, [this] { SumEditChange(); });
    connect(NoteMemo, &QLineEdit::textEdited, this, [this](const QString& text) { logic_->setNote(text); });
    resize(430, sizeHint().height());
}

// ---- opening --------------------------------------------------------------------------------------

void TAddPenaltyOpForm::prepare(int contractId, int opId, core::DateTime date,
                                KassRegister::FiscalRegister* fiscalRegister) {
    updating_ = true;
    logic_->open(contractId, opId, date, fiscalRegister);
    if (logic_->isNew()) {
        setWindowTitle(tx("IDS_0"));
        reportList->enableRememberChecks();
    } else {
        setWindowTitle(tx("IDS_12"));
        AddBtn->setText(tx("IDS_7"));
    }
    Contract& contract = *logic_->contract();
    NumEdit->setText(logic_->contractNumber());
    if (logic_->isImport()) {
        edClient->hide();
        bt_Client->hide();
        edClientImported->show();
        bt_ClientImported->show();
        edClientImported->setText(logic_->clientName());
        setWindowTitle(tx("IDS_8"));
        de_OpDate->setReadOnly(true);
        NoteMemo->setReadOnly(true);
        grBx_Op->setEnabled(false);
        AddBtn->hide();
        CancelBtn->setText(tx("IDS_9"));
    } else {
        edClient->setText(logic_->clientName());
    }
    AgentEdit->setText(logic_->agentName());

    if (contract.getDepositInt(Contract::dIS_USD_EXCHANGE) == 1) {
        spbt_ExchangeInfo->show();
        exchangeInfo = new TFExchangeInfo(this, nullptr, logic_->opDate(), contractId);
        const os::IniFile ini(utl::SettingsFile::userIniFileName());
        exchangeInfo->setFixed(ini.readBool(kExchangeSection, QStringLiteral("TFExchangeInfoFixed"), false));
        if (exchangeInfo->isFixed()) {
            exchangeInfo->move(
                ini.readInt(kExchangeSection, QStringLiteral("TFExchangeInfoLeft"), x() + width()),
                ini.readInt(kExchangeSection, QStringLiteral("TFExchangeInfoTop"),
                            grBx_Op->mapToGlobal(QPoint(0, 0)).y()));
        }
    }
    if (!logic_->canIncrease()) cb_OpVid->removeItem(TolvLogic::okINCREASE);
    if (!logic_->isNew()) applyEditRights();
    updating_ = false;
    onServicesReplaced();
    showState();
}

void TAddPenaltyOpForm::formShow() {
    utl::DbGridUtl::restoreFormGridsLayout(this, QString(), utl::SettingsFile::userIniFileName());
    if (exchangeInfo) {
        const os::IniFile ini(utl::SettingsFile::userIniFileName());
        const bool visible = ini.readBool(kExchangeSection, QStringLiteral("TFExchangeInfoVisible"), false);
        if (!exchangeInfo->isFixed()) placeExchangeInfo();
        exchangeInfo->setVisible(visible);
        spbt_ExchangeInfo->setChecked(visible);
    }
    if (SumEdit->isEnabled() && grBx_Op->isEnabled()) SumEdit->setFocus();
}

void TAddPenaltyOpForm::formClose() {
    utl::DbGridUtl::saveFormGridsLayout(this, QString(), utl::SettingsFile::userIniFileName());
    if (exchangeInfo) {
        const os::IniFile ini(utl::SettingsFile::userIniFileName());
        ini.writeBool(kExchangeSection, QStringLiteral("TFExchangeInfoVisible"), exchangeInfo->isVisible());
        ini.writeBool(kExchangeSection, QStringLiteral("TFExchangeInfoFixed"), exchangeInfo->isFixed());
        ini.writeInt(kExchangeSection, QStringLiteral("TFExchangeInfoLeft"), exchangeInfo->x());
        ini.writeInt(kExchangeSection, QStringLiteral("TFExchangeInfoTop"), exchangeInfo->y());
        exchangeInfo->hide();
    }
}

void TAddPenaltyOpForm::moveEvent(QMoveEvent* event) {
    ui::Form::moveEvent(event);
    if (exchangeInfo && !exchangeInfo->isFixed()) placeExchangeInfo();
}

void TAddPenaltyOpForm::placeExchangeInfo() {
    exchangeInfo->move(frameGeometry().right() + 1, grBx_Op->mapToGlobal(QPoint(0, 0)).y());
}

void TAddPenaltyOpForm::spbt_ExchangeInfoClick() {
    if (!exchangeInfo) return;
    exchangeInfo->setVisible(!exchangeInfo->isVisible());
    spbt_ExchangeInfo->setChecked(exchangeInfo->isVisible());
}

void TAddPenaltyOpForm::openClientCard() {
    TFClientInfo card(this, *logic_->contract());
    card.showModal();
}

// ---- the controls ---------------------------------------------------------------------------------

void TAddPenaltyOpForm::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        // The application's handler closes a register that does not answer; the error keeps its type.
        const std::exception_ptr error = std::current_exception();
        if (exceptionHandler) {
            exceptionHandler(error);
        } else {
            ui::runGuarded([&error] { std::rethrow_exception(error); });
        }
    }
    showState();
}

void TAddPenaltyOpForm::de_OpDateChange() {
    if (updating_) return;
    runHandler([this] {
        logic_->setDate(de_OpDate->date());
        if (exchangeInfo && exchangeInfo->isVisible()) {
            exchangeInfo->setDate(logic_->opDate());
            exchangeInfo->refresh();
        }
    });
}

void TAddPenaltyOpForm::chBx_IncldCurDayClick() {
    if (updating_) return;
    runHandler([this] { logic_->setIncludeCurDay(chBx_IncldCurDay->isChecked()); });
}

void TAddPenaltyOpForm::cb_OpVidChange() {
    if (updating_) return;
    runHandler([this] { logic_->setKind(cb_OpVid->currentIndex()); });
}

void TAddPenaltyOpForm::SumEditChange() {
    if (updating_) return;
    runHandler([this] { logic_->setSum(SumEdit->value()); });
}

void TAddPenaltyOpForm::showState() {
    if (updating_ || !logic_->contract()) return;
    updating_ = true;
    const OperationPayment& l = *logic_;
    if (l.kind() < cb_OpVid->count()) cb_OpVid->setCurrentIndex(l.kind());
    const double sum = static_cast<double>(l.sum()) / 100.0;
    if (SumEdit->hundredths() != l.sum()) SumEdit->setValue(sum);
    const bool editable = l.isNew() ? !l.isImport() : AddBtn->isEnabled();
    SumEdit->setEnabled(l.sumEnabled() && editable);
    if (de_OpDate->date().datePart() != l.opDate()) de_OpDate->setDate(l.opDate());
    chBx_IncldCurDay->setChecked(l.includeCurDay());
    chBx_IncldCurDay->setVisible(l.kind() != TolvLogic::okINCREASE);
    const TolvLogic::DebtLabels labels = l.labels();
    BaseDebtLab->setText(labels.base);
    rxL_StorageSum->setText(labels.storage);
    PercDebtLab->setText(labels.perc);
    PenaltyDebtLab->setText(labels.penalty);
    l_Total->setText(labels.total);
    if (NoteMemo->text() != l.note()) NoteMemo->setText(l.note());
    l_AllSum->setText(l.operationTotalCaption());
    l_AllSumVal->setText(l.operationTotalValue());
    if (l.documentKind() != shownDocumentKind_) setDocumentEvents(l.documentKind());
    updating_ = false;
}

void TAddPenaltyOpForm::setDocumentEvents(int kind) {
    shownDocumentKind_ = kind;
    const OperationPayment::DocumentEvents events = logic_->documentEvents(kind);
    for (const QString& code : events.removed) reportList->removeEvent(code);
    for (const QString& code : events.added) reportList->addEvent(systemEvent(code));
}

void TAddPenaltyOpForm::onServicesReplaced() {
    if (!servicesFrame) {
        servicesFrame =
            new TFr_AddServicesList(this, logic_->transaction(), grbox_AddServices, logic_->services());
        grbox_AddServices->layout()->addWidget(servicesFrame);
    } else {
        servicesFrame->setServices(logic_->services());
    }
}

void TAddPenaltyOpForm::onServicesChanged() {
    const QString suffix = tx("IDS_1");
    if (logic_->hasServiceReceipts()) {
        reportList->addEvent(servicesReceipt_.get(), suffix, suffix);
    } else {
        reportList->removeEvent(QStringLiteral("CB_WRECEIPT"), suffix);
    }
    if (logic_->hasServiceExpenses()) {
        reportList->addEvent(servicesExpense_.get(), suffix, suffix);
    } else {
        reportList->removeEvent(QStringLiteral("CB_WEXPENSE"), suffix);
    }
    if (!updating_) {
        l_AllSum->setText(logic_->operationTotalCaption());
        l_AllSumVal->setText(logic_->operationTotalValue());
    }
}

void TAddPenaltyOpForm::applyEditRights() {
    const bool can = logic_->canEdit();
    AddBtn->setEnabled(can);
    de_OpDate->setReadOnly(!can);
    SumEdit->setEnabled(can && logic_->sumEnabled());
    grbox_AddServices->setEnabled(can);
    chBx_IncldCurDay->setEnabled(can);
    cb_OpVid->setEnabled(can);
    if (!logic_->forcedEdit()) bt_ForceEdit->setVisible(logic_->offersForcedEdit());
}

void TAddPenaltyOpForm::bt_ForceEditClick() {
    if (logic_->confirmForcedEdit()) applyEditRights();
}

// ---- save -----------------------------------------------------------------------------------------

void TAddPenaltyOpForm::AddBtnClick() {
    runHandler([this] {
        OperationPayment::SaveResult result = OperationPayment::SaveResult::NotWritten;
        try {
            result = logic_->save();
        } catch (const OperationFieldError& e) {
            QWidget* fields[] = {NumEdit, de_OpDate, logic_->isImport() ? edClientImported : edClient,
                                 SumEdit};
            fields[e.field()]->setFocus();
            throw;
        }
        if (result != OperationPayment::SaveResult::Saved) return;
        // The payment is committed: a failing document neither undoes nor hides it.
        try {
            printDocuments(logic_->savedOpId(),
                           logic_->contract()->getContractValue(Contract::cCONTRACT_ID).toInt());
            reportList->printChecked();
        } catch (const std::exception& e) {
            const auto* ours = dynamic_cast<const core::Exception*>(&e);
            ui::showError(tx("IDS_11") + (ours ? ours->message() : QString::fromLocal8Bit(e.what())));
        }
        setModalResult(ui::ModalResult::Ok);
    });
}

void TAddPenaltyOpForm::printDocuments(int opId, int contractId) {
    TolvReports::DocumentIds ids{.contractId = contractId, .operationId = opId};
    for (const char* code : {"OP_PAY", "OP_INC", "CNTR_CLOSE_GOLD", "CNTR_CLOSE"}) {
        if (reportList->containsEvent(QString::fromLatin1(code))) {
            TolvReports::fillEventParams(systemEvent(QString::fromLatin1(code)), ids);
        }
    }
    const QString suffix = tx("IDS_1");
    const struct {
        const char* key;
        QString suffix;
        const char* code;
        ReportSys::ReportEvnt* event;
    } orders[] = {
        {"CB_WRECEIPT", QString(), "RECEIPT_DEPOSIT", systemEvent(QStringLiteral("CB_WRECEIPT"))},
        {"CB_WEXPENSE", QString(), "EXPENSE_DEPOSIT", systemEvent(QStringLiteral("CB_WEXPENSE"))},
        {"CB_WRECEIPT", suffix, "RECEIPT_SERVICE", servicesReceipt_.get()},
        {"CB_WEXPENSE", suffix, "EXPENSE_SERVICE", servicesExpense_.get()},
    };
    for (const auto& o : orders) {
        if (!reportList->containsEvent(QString::fromLatin1(o.key), o.suffix)) continue;
        const int orderId = OperationPayment::automaticOrderId(opId, QString::fromLatin1(o.code));
        if (orderId == -1) continue;
        TolvReports::fillEventParams(o.event,
                                     TolvReports::DocumentIds{.contractId = -1,
                                                              .operationId = opId,
                                                              .warrantId = orderId,
                                                              .warrantCode = QString::fromLatin1(o.code)});
    }
}

void TAddPenaltyOpForm::CancelBtnClick() {
    if (logic_->transaction() && logic_->transaction()->inTransaction()) {
        ui::runGuarded([this] { logic_->transaction()->rollback(); });
    }
    setModalResult(ui::ModalResult::Cancel);
}
