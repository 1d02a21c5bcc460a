#include "WarrantEdit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "PenaltyWarrantTemplates.h"
#include "PenaltyWarrants.h"
#include "U_LoggedUser.h"
#include "Warrantcalculation.h"
#include "kv_BookPick.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_ModalMinimize.h"
#include "platform/core/Exception.h"
#include "platform/fb/Transaction.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "u_filials.h"

using core::Variant;
using TolvLogic::WarrantCalculationManager;
using TolvLogic::WarrantInfo;

TFWarrantEdit::TFWarrantEdit(QWidget* owner)
    : ui::Form(QStringLiteral("FWarrantEdit"), owner,
               Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint),
      order_(std::make_unique<WarrantInfo>()) {
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(font().pointSize());
    setFont(tahoma);
    addCaption(this, "windowTitle", QStringLiteral("Добавить ордер"), QStringLiteral("Додати ордер"));

    auto label = [this](const QString& ru, const QString& uk) {
        auto* l = new QLabel(this);
        addCaption(l, "text", ru, uk);
        return l;
    };
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    // Top: number and date side by side, then type and sum.
    auto* top = new QGridLayout;
    ed_Number = new QLineEdit(this);
    named(ed_Number, "ed_Number");
    de_Date = new ui::DateEdit(this);
    named(de_Date, "de_Date");
    cb_Type = new QComboBox(this);
    named(cb_Type, "cb_Type");
    ce_Sum = new ui::CurrencyEdit(this);
    named(ce_Sum, "ce_Sum");
    top->addWidget(label(QStringLiteral("Номер документа"), QStringLiteral("Номер документу")), 0, 0);
    top->addWidget(label(QStringLiteral("Дата составления"), QStringLiteral("Дата складання")), 0, 1);
    top->addWidget(ed_Number, 1, 0);
    top->addWidget(de_Date, 1, 1);
    top->addWidget(label(QStringLiteral("Тип ордера"), QStringLiteral("Тип ордеру")), 2, 0);
    top->addWidget(label(QStringLiteral("Сумма"), QStringLiteral("Сума")), 2, 1);
    top->addWidget(cb_Type, 3, 0);
    top->addWidget(ce_Sum, 3, 1);

    // Middle: ground, account, party, attachment, identity data.
    auto* middle = new QVBoxLayout;
    ed_Foundation = new ui::ButtonEdit(this);
    named(ed_Foundation, "ed_Foundation");
    ed_AccountNumber = new QLineEdit(this);
    named(ed_AccountNumber, "ed_AccountNumber");
    ed_OperationSubject = new QLineEdit(this);
    named(ed_OperationSubject, "ed_OperationSubject");
    ed_Addition = new QLineEdit(this);
    named(ed_Addition, "ed_Addition");
    ed_IdentificationData = new QLineEdit(this);
    named(ed_IdentificationData, "ed_IdentificationData");
    lab_OperationSubject =
        label(QStringLiteral("Выдать / принять от"), QStringLiteral("Видати / прийнято від"));
    named(lab_OperationSubject, "lab_OperationSubject");
    lab_IdentificationData = label(QStringLiteral("Наименование, номер, дата и место выдачи документа,\n"
                                                  "который удостоверяет личность получателя"),
                                   QStringLiteral("Найменування, номер, дата та місце видачі\n"
                                                  "документу, який засвідчує особу одержувача"));
    middle->addWidget(label(QStringLiteral("Основание"), QStringLiteral("Підстава")));
    middle->addWidget(ed_Foundation);
    middle->addWidget(label(QStringLiteral("Корреспондирующий счет, субсчет"),
                            QStringLiteral("Кореспондуючий рахунок, субрахунок")));
    middle->addWidget(ed_AccountNumber);
    middle->addWidget(lab_OperationSubject);
    middle->addWidget(ed_OperationSubject);
    middle->addWidget(label(QStringLiteral("Приложение"), QStringLiteral("Додаток")));
    middle->addWidget(ed_Addition);
    middle->addWidget(lab_IdentificationData);
    middle->addWidget(ed_IdentificationData);

    // Bottom: the buttons on the form's colour.
    pnl_algn_1 = new QWidget(this);
    named(pnl_algn_1, "pnl_algn_1");
    pnl_algn_1->setAutoFillBackground(true);
    pnl_algn_1->setPalette(palette());
    auto* bottom = new QHBoxLayout(pnl_algn_1);
    bt_AddChange = new QPushButton(pnl_algn_1);
    named(bt_AddChange, "bt_AddChange");
    addCaption(bt_AddChange, "text", QStringLiteral("Добавить"), QStringLiteral("Додати"));
    bt_Cancel = new QPushButton(pnl_algn_1);
    named(bt_Cancel, "bt_Cancel");
    addCaption(bt_Cancel, "text", QStringLiteral("Отмена"), QStringLiteral("Скасувати"));
    bottom->addStretch();
    bottom->addWidget(bt_AddChange);
    bottom->addWidget(bt_Cancel);
    setDefaultButton(bt_AddChange);
    setCancelButton(bt_Cancel);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(middle);
    all->addWidget(pnl_algn_1);

    setTabOrder(ed_Number, de_Date);
    setTabOrder(de_Date, cb_Type);
    setTabOrder(cb_Type, ce_Sum);
    setTabOrder(ce_Sum, ed_Foundation);
    setTabOrder(ed_Foundation, ed_AccountNumber);
    setTabOrder(ed_AccountNumber, ed_OperationSubject);
    setTabOrder(ed_OperationSubject, ed_Addition);
    setTabOrder(ed_Addition, ed_IdentificationData);
    setTabOrder(ed_IdentificationData, bt_AddChange);
    setTabOrder(bt_AddChange, bt_Cancel);

    addMessage(QStringLiteral("IDS_0"), QStringLiteral("Принято от"), QStringLiteral("Прийнято від"));
    addMessage(QStringLiteral("IDS_1"), QStringLiteral("Выдать"), QStringLiteral("Видати"));
    addMessage(QStringLiteral("IDS_2"), QStringLiteral("Редактировать ордер"),
               QStringLiteral("Редагувати ордер"));
    addMessage(QStringLiteral("IDS_3"), QStringLiteral("Сохранить"), QStringLiteral("Зберігти"));
    addMessage(QStringLiteral("IDS_4"), QStringLiteral("Ошибка открытия ордера!"),
               QStringLiteral("Помилка відкриття ордеру!"));
    addMessage(QStringLiteral("IDS_5"), QStringLiteral("Не указан номер ордера"),
               QStringLiteral("Не вказано номеру ордеру"));
    addMessage(QStringLiteral("IDS_6"), QStringLiteral("Не указана дата ордера"),
               QStringLiteral("Не вказано дати ордеру"));
    addMessage(QStringLiteral("IDS_7"), QStringLiteral("Не указана сумма ордера"),
               QStringLiteral("Не вказано суми ордеру"));
    addMessage(QStringLiteral("IDS_9"), QStringLiteral("Не указано от кого принято или кому выдано"),
               QStringLiteral("Не вказано від кого прийнято чи кому видано"));
    addMessage(QStringLiteral("IDS_10"), QStringLiteral("Не указано основание"),
               QStringLiteral("Не зазначена підстава"));
    addMessage(QStringLiteral("IDS_11"),
               QStringLiteral("Не указана информация, которая удостоверяет личность получателя"),
               QStringLiteral("Не зазначена інформація, яка засвідчує особу одержувача"));
    addMessage(QStringLiteral("IDS_12"), QStringLiteral("Справочник типов ордеров"),
               QStringLiteral("Довідник типів ордерів"));
    addMessage(QStringLiteral("cb_Type.0"), QStringLiteral("Приходный"), QStringLiteral("Прибутковий"));
    addMessage(QStringLiteral("cb_Type.1"), QStringLiteral("Расходный"), QStringLiteral("Видатковий"));
    applyLanguage();
    cb_Type->addItems({message(QStringLiteral("cb_Type.0")), message(QStringLiteral("cb_Type.1"))});
    cb_Type->setCurrentIndex(0);

    de_Date->setEnabled(TolvMain::VuxSecur::isMaster() || TolvLogic::CashSettings::canAgentSeeCashDate());
    connect(cb_Type, &QComboBox::currentIndexChanged, this, [this] { cb_TypeChange(); });
    connect(ed_Foundation, &ui::ButtonEdit::buttonClicked, this,
            [this] { ui::runGuarded([this] { ed_FoundationButtonClick(); }); });
    connect(bt_AddChange, &QPushButton::clicked, this,
            [this] { ui::runGuarded([this] { bt_AddChangeClick(); }); });
    connect(bt_Cancel, &QPushButton::clicked, this, [this] { bt_CancelClick(); });
    utl::hookModalFormMinimize(this);
}

TFWarrantEdit::~TFWarrantEdit() = default;

int TFWarrantEdit::scNewWarrant(core::DateTime date, int branchId) {
    TFWarrantEdit form;
    form.setBranch(branchId);
    form.setNew();
    form.de_Date->setDate(date);
    form.showModal();
    return form.result();
}

int TFWarrantEdit::scEditWarrant(int id) {
    TFWarrantEdit form;
    form.setEdit(id);
    form.showModal();
    return form.result();
}

void TFWarrantEdit::setNew() {
    editMode_ = false;
    order_->SetField(WarrantInfo::wID, -1);
    de_Date->setDate(core::DateTime::today());
    const QSignalBlocker quiet(cb_Type);
    cb_Type->setCurrentIndex(0);
    cb_TypeChange();
}

void TFWarrantEdit::cb_TypeChange() {
    const bool receipt = cb_Type->currentIndex() == 0;
    lab_OperationSubject->setText(message(receipt ? QStringLiteral("IDS_0") : QStringLiteral("IDS_1")));
    lab_IdentificationData->setVisible(!receipt);
    ed_IdentificationData->setVisible(!receipt);
    if (editMode_) return;
    ed_Number->setText(QString::number(receipt ? WarrantCalculationManager::getReceiptNumber(branchId_)
                                               : WarrantCalculationManager::getExpenseNumber(branchId_)));
}

void TFWarrantEdit::setEdit(int id) {
    editMode_ = true;
    setWindowTitle(message(QStringLiteral("IDS_2")));
    bt_AddChange->setText(message(QStringLiteral("IDS_3")));
    if (!order_->loadById(id, nullptr)) throw core::Exception(message(QStringLiteral("IDS_4")));
    const WarrantInfo& w = *order_;
    ed_Number->setText(w.GetField(WarrantInfo::wNUMBER).toText());
    de_Date->setDate(w.GetField(WarrantInfo::wW_DATE).toDateTime());
    {
        const QSignalBlocker quiet(cb_Type);
        cb_Type->setCurrentIndex(w.GetField(WarrantInfo::wW_TYPE).toInt());
    }
    ce_Sum->setHundredths(w.GetField(WarrantInfo::wW_SUM).toInt64());
    ed_AccountNumber->setText(w.GetField(WarrantInfo::wACCOUNT_NUMBER).toText());
    ed_OperationSubject->setText(w.GetField(WarrantInfo::wOPERATION_SUBJECT).toText());
    ed_Foundation->setText(w.GetField(WarrantInfo::wFOUNDATION).toText());
    ed_Addition->setText(w.GetField(WarrantInfo::wADDITION).toText());
    ed_IdentificationData->setText(w.GetField(WarrantInfo::wIDENTIFICATION_DATA).toText());
    branchId_ = w.GetField(WarrantInfo::wID_FILIAL).toInt();
    cb_TypeChange();
    cb_Type->setEnabled(false);
    const bool imported = TolvLogic::FilialsDir::scIsFilialImported(branchId_);
    if (w.isAutomatic() || imported) {
        for (QWidget* c : std::initializer_list<QWidget*>{de_Date, cb_Type, ce_Sum, ed_OperationSubject,
                                                          ed_Foundation, ed_Addition, ed_IdentificationData})
            c->setEnabled(false);
    }
    if (imported) {
        ed_Number->setEnabled(false);
        ed_AccountNumber->setEnabled(false);
    }
}

void TFWarrantEdit::ed_FoundationButtonClick() {
    TolvLogic::DirWarrantes templates(nullptr);
    templates.setTypeFilter(cb_Type->currentIndex(), false);
    const ufb::PickedRow row =
        ufb::pickFromBook(ufb::BookPick{QStringLiteral("TFWarrantEdit::ed_FoundationButtonClick"), &templates,
                                        message(QStringLiteral("IDS_12")), QString(), Variant()});
    if (!row) return;
    auto text = [&row](const char* name) {
        const auto it = row->find(QString::fromLatin1(name));
        return it == row->end() ? QString() : it->second.toText();
    };
    ed_AccountNumber->setText(text("ACCOUNT_NUMBER"));
    ed_OperationSubject->setText(text("OPERATION_SUBJECT"));
    ed_Foundation->setText(text("FOUNDATION"));
}

void TFWarrantEdit::fail(QWidget* control, const char* ids) {
    control->setFocus();
    throw core::Exception(message(QString::fromLatin1(ids)));
}

void TFWarrantEdit::validate() {
    if (ed_Number->text().trimmed().isEmpty()) fail(ed_Number, "IDS_5");
    if (de_Date->isEmpty() || de_Date->date().isZero()) fail(de_Date, "IDS_6");
    if (ce_Sum->hundredths() == 0) fail(ce_Sum, "IDS_7");
    if (ed_OperationSubject->text().trimmed().isEmpty()) fail(ed_OperationSubject, "IDS_9");
    if (ed_Foundation->text().trimmed().isEmpty()) fail(ed_Foundation, "IDS_10");
    if (cb_Type->currentIndex() == 1 && !order_->isAutomatic() &&
        ed_IdentificationData->text().trimmed().isEmpty())
        fail(ed_IdentificationData, "IDS_11");
}

void TFWarrantEdit::save() {
    validate();
    WarrantInfo& w = *order_;
    const int type = cb_Type->currentIndex();
    w.SetField(WarrantInfo::wW_DATE, de_Date->date());
    w.SetField(WarrantInfo::wNUMBER, ed_Number->text());
    w.SetField(WarrantInfo::wW_TYPE, type);
    w.SetField(WarrantInfo::wW_SUM, ce_Sum->hundredths());
    w.SetField(WarrantInfo::wACCOUNT_NUMBER, ed_AccountNumber->text());
    w.SetField(WarrantInfo::wOPERATION_SUBJECT, ed_OperationSubject->text());
    w.SetField(WarrantInfo::wFOUNDATION, ed_Foundation->text());
    w.SetField(WarrantInfo::wADDITION, ed_Addition->text());
    w.SetField(WarrantInfo::wID_FILIAL, branchId_);
    w.SetField(WarrantInfo::wIDENTIFICATION_DATA, type == 1 ? ed_IdentificationData->text() : QString());

    // The insert clears the key for the database to give; a save that fails after it must leave the
    // order new, or the next attempt would update a row that was never stored.
    const Variant keyBefore = w.GetField(WarrantInfo::wID);
    const std::unique_ptr<fb::Transaction> transaction = udb::createTransaction(TolvMain::getZarvelDb());
    try {
        transaction->start();
        w.save(transaction.get());
        if (!editMode_) {
            const QString number = w.GetField(WarrantInfo::wNUMBER).toText();
            if (type == 0) {
                if (number == QString::number(WarrantCalculationManager::getReceiptNumber(branchId_)))
                    WarrantCalculationManager::advanceReceiptNumber(branchId_);
            } else if (number == QString::number(WarrantCalculationManager::getExpenseNumber(branchId_))) {
                WarrantCalculationManager::advanceExpenseNumber(branchId_);
            }
        }
        transaction->commit();
    } catch (...) {
        if (transaction->inTransaction()) transaction->rollback();
        w.SetField(WarrantInfo::wID, keyBefore);
        throw;
    }
}

void TFWarrantEdit::bt_AddChangeClick() {
    save();
    result_ = 1;
    setModalResult(ui::ModalResult::Ok);
}

void TFWarrantEdit::bt_CancelClick() {
    result_ = 0;
    setModalResult(ui::ModalResult::Cancel);
}
