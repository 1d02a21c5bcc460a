#include "f_CashBook.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "CashBook.h"
#include "PenaltyWarrants.h"
#include "U_LoggedUser.h"
#include "WarrantEdit.h"
#include "Warrantcalculation.h"
#include "kv_FormHelpers.h"
#include "kv_ModalMinimize.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "u_filials.h"

using core::Variant;
using TolvLogic::CashPrintEvent;
using TolvLogic::WarrantCalculationManager;

namespace {

const QString kWidthsSection = QStringLiteral("FCashBook_grid_CashBook");

TFCashBook::RegisterOpener& registerOpener() {
    static TFCashBook::RegisterOpener opener;
    return opener;
}

CashPrinting*& cashPrinting() {
    static CashPrinting* printing = nullptr;
    return printing;
}

}  // namespace

TFCashBook::TFCashBook(QWidget* owner)
    : ui::Form(QStringLiteral("FCashBook"), owner,
               Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint) {
    setMinimumSize(780, 440);
    resize(780, 440);
    addCaption(this, "windowTitle", QStringLiteral("Кассовая книга"), QStringLiteral("Касова книга"));

    auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto hint = [](QWidget* w, const char* ru, const char* uk) {
        w->setProperty("hint_ru", QString::fromUtf8(ru));
        w->setProperty("hint_uk", QString::fromUtf8(uk));
    };
    auto button = [&](QWidget* parent, const char* name, const char* ru, const char* uk) {
        auto* b = named(new QPushButton(parent), name);
        addCaption(b, "text", QString::fromUtf8(ru), QString::fromUtf8(uk));
        return b;
    };
    auto label = [&](QWidget* parent, const char* name, const char* ru, const char* uk) {
        auto* l = named(new QLabel(parent), name);
        addCaption(l, "text", QString::fromUtf8(ru), QString::fromUtf8(uk));
        return l;
    };

    // Top: the day with its spin button, the branch, then the two action groups.
    lab_Date = label(this, "lab_Date", "Каса за", "Каса за");
    de_Date = named(new ui::DateEdit(this), "de_Date");
    addCaption(de_Date, "toolTip", QStringLiteral("Дата, за которую отображается кассовая книга"),
               QStringLiteral("Дата, за яку відображається касова книга"));
    sb_Date = named(new QWidget(this), "sb_Date");
    auto* spin = new QVBoxLayout(sb_Date);
    spin->setContentsMargins(0, 0, 0, 0);
    spin->setSpacing(0);
    sb_DateTop = named(new QToolButton(sb_Date), "sb_DateTop");
    sb_DateTop->setArrowType(Qt::UpArrow);
    sb_DateBottom = named(new QToolButton(sb_Date), "sb_DateBottom");
    sb_DateBottom->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {sb_DateTop, sb_DateBottom}) {
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        spin->addWidget(b);
    }
    RxLabel7 = label(this, "RxLabel7", "Филиал", "Філія");
    combo_FilialFilter = named(new ui::LookupCombo(this), "combo_FilialFilter");
    combo_FilialFilter->setKeyField(QStringLiteral("id"));
    combo_FilialFilter->setListField(QStringLiteral("filial"));
    combo_FilialFilter->setMinimumWidth(220);
    addCaption(combo_FilialFilter, "toolTip", QStringLiteral("Филиал, в котором создан договор"),
               QStringLiteral("Філія, в якій створено договір"));

    gbox_Reports = named(new QGroupBox(this), "gbox_Reports");
    addCaption(gbox_Reports, "title", QStringLiteral("Операции с ордерами"), QStringLiteral("Операції з ордерами"));
    btn_Refresh = button(gbox_Reports, "btn_Refresh", "Обновить", "Обновити");
    addCaption(btn_Refresh, "toolTip",
               QStringLiteral("Обновить ифнормацию об автоматических ордерах за текущуюю дату"),
               QStringLiteral("Оновити інформацію про автоматичні ордери за поточну дату"));
    bt_Add = button(gbox_Reports, "bt_Add", "Добавить", "Додати");
    addCaption(bt_Add, "toolTip", QStringLiteral("Добавление нового ручного ордера"),
               QStringLiteral("Додавання нового ручного ордеру"));
    btn_Delete = button(gbox_Reports, "btn_Delete", "Удалить", "Вилучити");
    addCaption(btn_Delete, "toolTip", QStringLiteral("Удаление ордера"), QStringLiteral("Вилучення ордеру"));
    btn_Edit = named(new QPushButton(gbox_Reports), "btn_Edit");
    addCaption(btn_Edit, "toolTip", QStringLiteral("Редактирование ордера"),
               QStringLiteral("Редагування ордеру"));
    btn_Warrs = button(gbox_Reports, "btn_Warrs", "Печать", "Друк");
    auto* reports = new QHBoxLayout(gbox_Reports);
    for (QPushButton* b : {btn_Refresh, bt_Add, btn_Delete, btn_Edit, btn_Warrs}) reports->addWidget(b);

    gbox_CashBook = named(new QGroupBox(this), "gbox_CashBook");
    addCaption(gbox_CashBook, "title", QStringLiteral("Кассовая книга"), QStringLiteral("Касова книга"));
    btn_Cash = button(gbox_CashBook, "btn_Cash", "Печать", "Друк");
    (new QHBoxLayout(gbox_CashBook))->addWidget(btn_Cash);

    btn_Close = button(this, "btn_Close", "Закрыть", "Закрити");
    addCaption(btn_Close, "toolTip", QStringLiteral("Закрыть кассовую книгу"),
               QStringLiteral("Закрити касову книгу"));
    setCancelButton(btn_Close);

    auto* top = new QHBoxLayout;
    top->addWidget(lab_Date);
    top->addWidget(de_Date);
    top->addWidget(sb_Date);
    top->addSpacing(12);
    top->addWidget(RxLabel7);
    top->addWidget(combo_FilialFilter, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(gbox_Reports);
    actions->addWidget(gbox_CashBook);
    actions->addStretch();

    grid_CashBook = named(new ui::DbGrid(grid::GridKind::Eh, this), "grid_CashBook");
    grid_CashBook->setReadOnly(true);
    grid_CashBook->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_CashBook->verticalHeader()->hide();
    grid_CashBook->installEventFilter(this);

    // Bottom: the balances on the form's colour, the close button beside them.
    pnl_algn_1 = named(new QWidget(this), "pnl_algn_1");
    pnl_algn_2 = named(new QWidget(this), "pnl_algn_2");
    for (QWidget* p : {pnl_algn_1, pnl_algn_2}) {
        p->setAutoFillBackground(true);
        p->setPalette(palette());
    }
    lab_Reminder = label(pnl_algn_1, "lab_Reminder", "Остаток на начало дня", "Залишок на початок дня");
    Label2 = label(pnl_algn_1, "Label2", "Приход", "Прибуток");
    Label3 = label(pnl_algn_1, "Label3", "Расход", "Видаток");
    lab_Carrying = label(pnl_algn_1, "lab_Carrying", "Итого за день", "Разом за день");
    ed_Reminder2 = label(pnl_algn_1, "ed_Reminder2", "Остаток на конец дня", "Залишок на кінець дня");
    ce_Reminder = named(new ui::MoneyDisplay(pnl_algn_1), "ce_Reminder");
    ce_CarryingReceipt = named(new ui::MoneyDisplay(pnl_algn_1), "ce_CarryingReceipt");
    addCaption(ce_CarryingReceipt, "toolTip", QStringLiteral("Прибыль за выбранную дату"),
               QStringLiteral("Прибуток за обрану дату"));
    ce_CarryingExpense = named(new ui::MoneyDisplay(pnl_algn_1), "ce_CarryingExpense");
    addCaption(ce_CarryingExpense, "toolTip", QStringLiteral("Убыток за выбранную дату"),
               QStringLiteral("Збиток за обрану дату"));
    ce_Reminder2 = named(new ui::MoneyDisplay(pnl_algn_1), "ce_Reminder2");
    auto* sums = new QGridLayout(pnl_algn_1);
    sums->setContentsMargins(0, 0, 0, 0);
    sums->addWidget(Label2, 0, 1, Qt::AlignHCenter);
    sums->addWidget(Label3, 0, 2, Qt::AlignHCenter);
    sums->addWidget(lab_Reminder, 1, 0);
    sums->addWidget(ce_Reminder, 1, 1);
    sums->addWidget(lab_Carrying, 2, 0);
    sums->addWidget(ce_CarryingReceipt, 2, 1);
    sums->addWidget(ce_CarryingExpense, 2, 2);
    sums->addWidget(ed_Reminder2, 3, 0);
    sums->addWidget(ce_Reminder2, 3, 1);
    for (ui::MoneyDisplay* d : {ce_Reminder, ce_CarryingReceipt, ce_CarryingExpense, ce_Reminder2})
        d->setFixedWidth(120);
    auto* closing = new QVBoxLayout(pnl_algn_2);
    closing->setContentsMargins(0, 0, 0, 0);
    closing->addStretch();
    closing->addWidget(btn_Close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(pnl_algn_1);
    bottom->addStretch();
    bottom->addWidget(pnl_algn_2);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(actions);
    all->addWidget(grid_CashBook, 1);
    all->addLayout(bottom);

    pMenu_Docs = named(new QMenu(this), "pMenu_Docs");

    addMessage(QStringLiteral("IDS_5"), QStringLiteral("Состав"), QStringLiteral("Склад"));
    addMessage(QStringLiteral("IDS_6"), QStringLiteral("Редактировать"), QStringLiteral("Редагувати"));
    addMessage(QStringLiteral("IDS_14"), QStringLiteral("Невозможно удалить автоматически сформированный документ!"),
               QStringLiteral("Неможливо вилучити автоматично сформований документ!"));
    addMessage(QStringLiteral("IDS_15"), QStringLiteral("Удалить ордер?"), QStringLiteral("Вилучити ордер?"));
    addMessage(QStringLiteral("IDS_17"), QStringLiteral("Невозможно инициализировать параметры события-отчета\n"),
               QStringLiteral("Неможливо ініціювати параметри події-звіту \n"));
    addMessage(QStringLiteral("IDS_18"),
               QStringLiteral("Неизвестный вид события-отчета для переданного шаблона отчета: "),
               QStringLiteral("Невідомий вид події-звіту для переданого шаблону звіту:"));
    // The two windows this one reaches through what their layers install.
    addMessage(QStringLiteral("NoRegisterWindow"), QStringLiteral("Окно состава ведомости не подключено"),
               QStringLiteral("Вікно складу відомості не підключено"));
    addMessage(QStringLiteral("NoCashPrinting"), QStringLiteral("Печать кассовых документов не подключена"),
               QStringLiteral("Друк касових документів не підключено"));
    applyLanguage();
    btn_Edit->setText(message(QStringLiteral("IDS_6")));

    // The branches: all of them, the current one chosen without reloading.
    branches_ = std::make_unique<TolvLogic::FilialsDir>();
    branches_->setImportFilter(0);
    branches_->open();
    combo_FilialFilter->setListSource(branches_->getDataSet());
    combo_FilialFilter->setKeyValue(TolvLogic::FilialsDir::scGetCurentFilialId(false));

    auto guarded = [this](void (TFCashBook::*handler)()) {
        return [this, handler] { ui::runGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(combo_FilialFilter, &ui::LookupCombo::keyValueChanged, this, [this, guarded] {
        if (filterAttached_) guarded(&TFCashBook::combo_FilialFilterChange)();
    });
    connect(de_Date, &ui::DateEdit::changed, this, [this, guarded] {
        if (dateAttached_) guarded(&TFCashBook::de_DateChange)();
    });
    filterAttached_ = true;
    dateAttached_ = true;
    connect(sb_DateTop, &QToolButton::clicked, this, guarded(&TFCashBook::sb_DateTopClick));
    connect(sb_DateBottom, &QToolButton::clicked, this, guarded(&TFCashBook::sb_DateBottomClick));
    connect(btn_Refresh, &QPushButton::clicked, this, guarded(&TFCashBook::btn_RefreshClick));
    connect(bt_Add, &QPushButton::clicked, this, guarded(&TFCashBook::bt_AddClick));
    connect(btn_Edit, &QPushButton::clicked, this, guarded(&TFCashBook::btn_EditClick));
    connect(btn_Delete, &QPushButton::clicked, this, guarded(&TFCashBook::btn_DeleteClick));
    connect(btn_Warrs, &QPushButton::clicked, this, guarded(&TFCashBook::btn_WarrsClick));
    connect(btn_Cash, &QPushButton::clicked, this, guarded(&TFCashBook::btn_CashClick));
    connect(btn_Close, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });
    connect(grid_CashBook, &QAbstractItemView::clicked, this, guarded(&TFCashBook::grid_CashBookCellClick));
    connect(grid_CashBook, &QAbstractItemView::doubleClicked, this, guarded(&TFCashBook::btn_EditClick));
    utl::hookModalFormMinimize(this);
}

TFCashBook::~TFCashBook() {
    // The handlers go first: nothing reloads while the lists are taken down.
    filterAttached_ = false;
    dateAttached_ = false;
    grid_CashBook->setDataSource(nullptr);
    sheet_.reset();
    calculation_.reset();
    combo_FilialFilter->setListSource(nullptr);
    branches_.reset();
}

void TFCashBook::scShowCashBook(core::DateTime date) {
    TFCashBook form(QApplication::activeWindow());
    form.de_Date->setDate(date);
    form.setDateEnabled(TolvMain::VuxSecur::isMaster() || TolvLogic::CashSettings::canAgentSeeCashDate());
    form.showModal();
}

TFCashBook::RegisterOpener TFCashBook::setRegisterOpener(RegisterOpener opener) {
    return std::exchange(registerOpener(), std::move(opener));
}

CashPrinting* TFCashBook::setCashPrinting(CashPrinting* printing) {
    return std::exchange(cashPrinting(), printing);
}

void TFCashBook::setDateEnabled(bool enabled) {
    de_Date->setEnabled(enabled);
    sb_Date->setEnabled(enabled);
}

int TFCashBook::branchId() const {
    const Variant key = combo_FilialFilter->keyValue();
    return key.isEmpty() ? 0 : key.toInt();
}

void TFCashBook::saveWidths() const {
    if (sheet_) sheet_->saveColumnWidths(utl::SettingsFile::userIniFileName(), kWidthsSection);
}

void TFCashBook::loadWidths() {
    if (!sheet_) return;
    sheet_->loadColumnWidths(utl::SettingsFile::userIniFileName(), kWidthsSection);
    sheet_->bindGridEh(grid_CashBook);
}

void TFCashBook::reloadCashBook() {
    if (sheet_) {
        saveWidths();
        grid_CashBook->setDataSource(nullptr);
        sheet_.reset();
        calculation_.reset();
    }
    const core::DateTime day = de_Date->date();
    const int branch = branchId();
    sheet_ = std::make_unique<TolvLogic::CashBook>(day, day, branch, false);
    fb::Transaction* transaction = sheet_->getTransaction();
    // None for a method other than 1 and 2; the sums below do not need it.
    calculation_ = WarrantCalculationManager::scCreate(core::DateTime::today(), branch, transaction);
    source_.setDataSet(sheet_->getDataSet());
    grid_CashBook->setDataSource(&source_);
    sheet_->bindGridEh(grid_CashBook);
    loadWidths();

    qint64 receipts = 0;
    qint64 expenses = 0;
    WarrantCalculationManager::getDayTotals(day, branch, receipts, expenses, transaction);
    ce_Reminder->setHundredths(WarrantCalculationManager::getBalanceBefore(day, branch, transaction));
    ce_Reminder2->setHundredths(WarrantCalculationManager::getBalanceBefore(day.addDays(1), branch, transaction));
    ce_CarryingReceipt->setHundredths(receipts);
    ce_CarryingExpense->setHundredths(expenses);
    dayMethod_ = WarrantCalculationManager::getCalculationMethod(day, branch);
    updateButtons();
}

bool TFCashBook::atEnd() const {
    if (!sheet_) return true;
    data::Dataset* ds = sheet_->getDataSet();
    return !ds || !ds->active() || ds->eof();
}

Variant TFCashBook::currentField(const QString& name) const {
    if (atEnd()) return Variant::null();
    return sheet_->getDataSet()->fieldByName(name).value();
}

void TFCashBook::updateButtons() {
    const int branch = branchId();
    bt_Add->setEnabled(branch == 0 || !TolvLogic::FilialsDir::scIsFilialImported(branch));
    btn_Edit->setEnabled(!atEnd() && bt_Add->isEnabled());
    btn_Delete->setEnabled(btn_Edit->isEnabled());
    const Variant dir = currentField(QStringLiteral("ID_DIR_WARRANTES"));
    const bool isRegister = !dir.isEmpty() && dir.toInt() == -1;
    btn_Edit->setText(message(isRegister ? QStringLiteral("IDS_5") : QStringLiteral("IDS_6")));
}

void TFCashBook::formShow() {
    de_DateChange();
    loadWidths();
    updateButtons();
    const int current = TolvLogic::FilialsDir::scGetCurentFilialId(false);
    if (branchId() != current) combo_FilialFilter->setKeyValue(current);
}

void TFCashBook::formClose() {
    saveWidths();
}

bool TFCashBook::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_CashBook && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ui::runGuarded([this] { btn_EditClick(); });
            return true;
        }
    }
    return ui::Form::eventFilter(watched, event);
}

void TFCashBook::de_DateChange() {
    reloadCashBook();
}

void TFCashBook::sb_DateTopClick() {
    de_Date->setDate(de_Date->date().addDays(-1));
}

void TFCashBook::sb_DateBottomClick() {
    de_Date->setDate(de_Date->date().addDays(1));
}

void TFCashBook::combo_FilialFilterChange() {
    reloadCashBook();
}

void TFCashBook::btn_RefreshClick() {
    reloadCashBook();
}

void TFCashBook::grid_CashBookCellClick() {
    updateButtons();
}

void TFCashBook::bt_AddClick() {
    // Reloaded whatever the dialog answers, also when it fails.
    try {
        TFWarrantEdit::scNewWarrant(de_Date->date(), branchId());
    } catch (...) {
        reloadCashBook();
        throw;
    }
    reloadCashBook();
}

void TFCashBook::btn_EditClick() {
    const Variant idValue = currentField(QStringLiteral("ID"));
    const int id = idValue.isEmpty() ? 0 : idValue.toInt();
    if (id < 1) return;
    const Variant dir = currentField(QStringLiteral("ID_DIR_WARRANTES"));
    const bool isRegister = !dir.isEmpty() && dir.toInt() == -1;
    if (dayMethod_ == 1 || !isRegister) {
        TFWarrantEdit::scEditWarrant(id);
    } else {
        const RegisterOpener& opener = registerOpener();
        if (!opener) throw core::Exception(message(QStringLiteral("NoRegisterWindow")));
        opener(id);
    }
    reloadCashBook();
    sheet_->getDataSet()->locate(QStringLiteral("ID"), id);
    updateButtons();
}

void TFCashBook::btn_DeleteClick() {
    if (!currentField(QStringLiteral("ID_DIR_WARRANTES")).isEmpty()) {
        ui::showError(message(QStringLiteral("IDS_14")));
        return;
    }
    if (atEnd()) return;
    if (!ui::askYesNo(message(QStringLiteral("IDS_15")))) return;
    TolvLogic::WarrantInfo order;
    order.SetField(TolvLogic::WarrantInfo::wID, currentField(QStringLiteral("ID")));
    order.deleteById(nullptr);
    reloadCashBook();
}

void TFCashBook::print(const std::vector<CashPrintEvent>& events, QWidget* button) {
    CashPrinting* printing = cashPrinting();
    if (!printing) throw core::Exception(message(QStringLiteral("NoCashPrinting")));
    QStringList codes;
    for (const CashPrintEvent& e : events) codes << e.code;
    printing->showMenu(
        codes,
        [this, events](const QString& code, const QString& name) { fillEventParams(events, code, name); },
        pMenu_Docs, button);
}

void TFCashBook::btn_WarrsClick() {
    if (atEnd()) return;
    utl::AutoScreenCursor hourglass;
    // A row whose order or register is gone meanwhile raises its load error here and prints nothing.
    const CashPrintEvent event = TolvLogic::rowPrintEvent(
        currentField(QStringLiteral("ID")).toInt(), currentField(QStringLiteral("ID_DIR_WARRANTES")),
        dayMethod_, TolvLogic::CashSettings::groupAutoOrdersInRegister());
    print({event}, btn_Warrs);
}

void TFCashBook::btn_CashClick() {
    print(TolvLogic::bookPrintEvents(de_Date->date(), branchId(), TolvLogic::CashSettings::numCashBookSheets()),
          btn_Cash);
}

void TFCashBook::fillEventParams(const std::vector<CashPrintEvent>& events, const QString& eventCode,
                                 const QString& templateName) {
    for (const CashPrintEvent& e : events) {
        if (e.code != eventCode) continue;
        CashPrinting* printing = cashPrinting();
        if (!printing) throw core::Exception(message(QStringLiteral("NoCashPrinting")));
        printing->fillParams(e);
        return;
    }
    throw core::Exception(message(QStringLiteral("IDS_17")) + message(QStringLiteral("IDS_18")) + templateName);
}
