// The main window's actions on the selected contract and its operations: new and edited contracts,
// payments, the last operation's edit and deletion, deleting contracts, the steps of a sale, archive,
// deferral applications, and reopening or closing a contract by hand. The desk's windows are reached
// through the contract dialogs the program installs.

#include <QAction>
#include <algorithm>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "U_LoggedUser.h"
#include "U_Zayavlenie.h"
#include "f_Main.h"
#include "kv_DbGridUtl.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_FormHelpers.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/grid/GridView.h"
#include "platform/ui/DbGrid.h"
#include "u_PercCalc.h"
#include "u_VersionConfig.h"

namespace TolvMain {

using TolvLogic::TPenaltyContractInfo;

namespace {

constexpr int kStateOpen = 0;
constexpr int kStateClosed = 1;
constexpr int kStateSold = 2;
constexpr int kStateOnSale = 3;

int language() {
    return ui::Translations::language();
}

data::Dataset* activeRows(const std::unique_ptr<grid::DataSource>& source) {
    data::Dataset* set = source ? source->dataSet() : nullptr;
    if (!set || !set->active() || set->isEmpty()) return nullptr;
    return set;
}

void setArchived(int contractId, bool archived) {
    // Committed on its own, before the list is reloaded.
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set IS_ARCHIVE = %1 where CONTRACT_ID = %2")
                     .arg(archived ? 1 : 0)
                     .arg(contractId));
}

}  // namespace

void TFMain::addContractActTexts() {
    const struct {
        const char* key;
        const char* ru;
        const char* uk;
    } texts[] = {
        {"IDS_3", "Удалить операцию?", "Видалити операцію?"},
        {"IDS_4", "Данный договор выставлен на реализацию.\\nПроводить операции по нему нельзя.",
         "Цей договір виставлено на реалізацію.\\nПроводити операції по ньому не можна."},
        {"IDS_24", "Удалить выбранные договоры?", "Видалити вибрані договори?"},
        {"IDS_25", "Удаление договоров", "Видалення договорів"},
        {"IDS_26", "Удаление договора №", "Видалення договору №"},
        {"IDS_27", "Принудительно открыть договор?", "Примусово відкрити договір?"},
        {"IDS_28", "Принудительно закрыть договор?", "Примусово закрити договір?"},
        {"IDS_40", "Импортированный договор нельзя выставить на реализацию",
         "Імпортований договір не можна виставити на реалізацію"},
        {"IDS_41", "Удалить договор №", "Видалити договір №"},
        {"IDS_44", "Для договора составлено заявление на отсрочку до ",
         "Для договору складено заяву на відстрочку до "},
        {"IDS_45", "\\n Удалить заявление и выставить договор на реализацию?",
         "\\n Видалити заяву та виставити договір на реалізацію?"},
        {"IDS_46", "Импортированный договор нелья снять с реализации",
         "Імпортований договір не можна зняти з реалізації"},
        {"IDS_56", "Отправить открытый договор в архив?", "Відправити відкритий договір в архів?"},
        {"IDS_58", "Невозможно отправить открытый договор в архив.",
         "Неможливо відправити відкритий договір в архів."},
        {"IDS_59", "Заявление на отсрочку можно составить только для открытого договора",
         "Заяву на відстрочку можна скласти лише для відкритого договору"},
        {"IDS_80",
         "Данный договор реализован.\\nВ случае смены состояния запись о реализации будет удалена.\\n"
         "Договор перейдет в состояние \"Выставлен на реализацию\".\\nПродолжить?",
         "Цей договір реалізовано.\\nУ разі зміни стану запис про реалізацію буде видалено.\\n"
         "Договір перейде до стану \"Виставлено на реалізацію\".\\nПродовжити?"},
        {"IDS_90", "Импортированный договор нельзя открыть", "Імпортований договір не можна відкрити"},
        {"IDS_94",
         "Операция не последняя.\\nУдаление и редактирование доступно только для последней операции.",
         "Операція не остання.\\nВидалення та редагування доступне лише для останньої операції."},
    };
    for (const auto& t : texts)
        texts_.addMessage(QString::fromLatin1(t.key), QString::fromUtf8(t.ru), QString::fromUtf8(t.uk));
}

void TFMain::connectContractActions() {
    const std::pair<const char*, void (TFMain::*)()> handlers[] = {
        {"CreateContractAct", &TFMain::CreateContractActExecute},
        {"EditContractAct", &TFMain::EditContractActExecute},
        {"DeleteContractAct", &TFMain::DeleteContractActExecute},
        {"AddOpAct", &TFMain::AddOpActExecute},
        {"EditOpAct", &TFMain::EditOpActExecute},
        {"DeleteOpAct", &TFMain::DeleteOpActExecute},
        {"AddToSaleAct", &TFMain::AddToSaleActExecute},
        {"DeleteToSaleAct", &TFMain::DeleteToSaleActExecute},
        {"AddSaleAct", &TFMain::AddSaleActExecute},
        {"SendToArchive", &TFMain::SendToArchiveExecute},
        {"GetFormArchive", &TFMain::GetFormArchiveExecute},
        {"ZayavlAct", &TFMain::ZayavlActExecute},
        {"ZayavlDelAct", &TFMain::ZayavlDelActExecute},
        {"a_ReopenContractManual", &TFMain::a_ReopenContractManualExecute},
        {"a_CloseContractManual", &TFMain::a_CloseContractManualExecute},
    };
    // What escapes a handler goes to the application's exception handler.
    for (const auto& [name, handler] : handlers)
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

int TFMain::selectedField(const QString& name) const {
    data::Dataset* rows = activeRows(ContractsDS);
    if (!rows) return -1;
    data::Field* f = rows->findField(name);
    return f ? f->asInteger() : -1;
}

int TFMain::selectedContractId() const {
    return selectedField(QStringLiteral("CONTRACT_ID"));
}

// ---- The debt frame and the services, through the program's parts ----

void TFMain::createContractInfoFrame() {
    delete infoFrame_.widget;
    infoFrame_ = {};
    if (contractDialogs().createContractInfoFrame)
        infoFrame_ = contractDialogs().createContractInfoFrame(InfoFramePlace, ContractsDS.get());
    // The side panel widens to hold its frame whole.
    QWidget* side = InfoFramePlace->parentWidget();
    if (infoFrame_.widget && side)
        side->setFixedWidth(std::max(side->width(), infoFrame_.widget->minimumSizeHint().width()));
}

void TFMain::clearSums() {
    if (infoFrame_.clearSums) infoFrame_.clearSums();
}

void TFMain::loadAddServices(int contractId) {
    if (contractDialogs().loadAddServices) contractDialogs().loadAddServices(contractId);
}

// ---- Contracts ----

void TFMain::CreateContractActExecute() {
    const int id = callDialog(contractDialogs().scNewContract, action(QStringLiteral("CreateContractAct"))->text(),
                              language(), workDate(), fiscalRegister.get());
    if (id != -1) reloadAtContract(id);
}

void TFMain::EditContractActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    const int result = callDialog(contractDialogs().scEditContract,
                                  action(QStringLiteral("EditContractAct"))->text(), language(), id, workDate());
    if (result != mrCancel) reloadAtContract(id);
}

void TFMain::DeleteContractActExecute() {
    utl::AutoScreenCursor hourglass;
    deleteSelectedContracts();
}

void TFMain::deleteSelectedContracts() {
    const std::set<int> ids = utl::DbGridUtl::getSelectedIds(*gr_Contracts, QStringLiteral("CONTRACT_ID"));
    if (ids.empty()) return;
    data::Dataset* rows = ContractsDS->dataSet();
    int recNo = 0;
    QString question;
    if (ids.size() == 1) {
        question = message(QStringLiteral("IDS_41")) + TolvLogic::TPenaltyContracts::NumberById(*ids.begin()) +
                   QStringLiteral("?");
        recNo = rows->recNo();
    } else {
        question = message(QStringLiteral("IDS_24"));
    }
    if (!ui::askYesNo(question)) return;

    {
        // One transaction for the whole batch: the first refusal deletes none of them.
        std::unique_ptr<fb::Transaction> transaction = udb::createTransaction(getZarvelDb());
        transaction->start();
        std::unique_ptr<ui::ProgressWindow> progress = ui::createProgressWindow(this);
        try {
            progress->init(message(QStringLiteral("IDS_25")), static_cast<int>(ids.size()), true);
            for (const int id : ids) {
                TPenaltyContractInfo contract(id, transaction.get());
                progress->step(message(QStringLiteral("IDS_26")) +
                               contract.getContractValue(TPenaltyContractInfo::cCONTRACT_NUM).toText());
                contract.remove();
            }
            gr_Contracts->clearSelectedBookmarks();
            transaction->commit();
        } catch (...) {
            if (transaction->inTransaction()) transaction->rollback();
            throw;
        }
    }
    reloadAtContract(-1);
    if (ids.size() == 1 && rows == ContractsDS->dataSet() && !rows->isEmpty()) rows->setRecNo(recNo);
}

// ---- Operations ----

void TFMain::AddOpActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    TPenaltyContractInfo contract(id, nullptr);
    // The window's own refusals hold even when the enabled states have not caught up yet.
    if (selectedField(QStringLiteral("CONTRACT_STATE")) == kStateOnSale)
        throw core::Exception(message(QStringLiteral("IDS_4")));
    if (selectedField(QStringLiteral("IS_IMPORT")) != 0) return;
    contract.checkAllowedOperation(TolvLogic::caNEWOPERATION);
    const int result = callDialog(contractDialogs().scNewOperation, action(QStringLiteral("AddOpAct"))->text(),
                                  language(), id, workDate(), fiscalRegister.get());
    if (result != mrCancel) reloadAtContract(id);
}

void TFMain::EditOpActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    TPenaltyContractInfo contract(id, nullptr);
    data::Dataset* ops = activeRows(OpsDS);
    if (!ops) return;
    const int recNo = ops->recNo();
    const int result =
        callDialog(contractDialogs().scEditOperation, action(QStringLiteral("EditOpAct"))->text(), language(), id,
                   ops->fieldByName(QStringLiteral("OP_ID")).asInteger());
    if (result == mrCancel) return;
    reloadAtContract(id);
    if (data::Dataset* reopened = activeRows(OpsDS)) reopened->setRecNo(recNo);
}

void TFMain::DeleteOpActExecute() {
    const int id = selectedContractId();
    if (id == -1 || selectedField(QStringLiteral("IS_IMPORT")) != 0) return;
    data::Dataset* ops = activeRows(OpsDS);
    if (!ops) return;
    const int opId = ops->fieldByName(QStringLiteral("OP_ID")).asInteger();
    if (TolvLogic::PercCalcOperations(id, -1).getLastOpId() != opId) {
        ui::showWarning(message(QStringLiteral("IDS_94")));
        return;
    }
    if (!ui::askYesNo(message(QStringLiteral("IDS_3")))) return;
    TolvLogic::TPenaltyOperationInfo operation;
    operation.setValue(TolvLogic::TPenaltyOperationInfo::oOP_ID, opId);
    globalVersionConfig->getOperations()->deleteOperation(operation, nullptr);
    // The contract list stays as it is: only what the operation touched is shown again.
    reopenOperations(true);
    recalcDebt();
    loadAddServices(id);
}

// ---- Sale ----

void TFMain::AddToSaleActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    if (selectedField(QStringLiteral("IS_IMPORT")) != 0) {
        ui::showWarning(message(QStringLiteral("IDS_40")));
        return;
    }
    TPenaltyContractInfo contract(id, nullptr);
    contract.checkAllowedOperation(TolvLogic::caONSALE);
    bool dropApplication = false;
    if (TolvLogic::Zayavlenie::scExists(id)) {
        TolvLogic::Zayavlenie application(id);
        application.Select();
        const QString until = core::dateToStr(application.GetField(TolvLogic::Zayavlenie::zDATE_TO).toDateTime());
        if (!ui::askYesNo(message(QStringLiteral("IDS_44")) + until + message(QStringLiteral("IDS_45")))) return;
        dropApplication = true;
    }
    const int result = callDialog(contractDialogs().TToSaleForm, action(QStringLiteral("AddToSaleAct"))->text(),
                                  language(), static_cast<QWidget*>(this), workDate(), id);
    if (result != mrOk) return;
    // Only a pledge actually put on sale loses its deferral: a cancelled dialog keeps both.
    if (dropApplication) {
        TolvLogic::Zayavlenie application(id);
        application.Delete();
    }
    reloadAtContract(id);
}

void TFMain::DeleteToSaleActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    if (selectedField(QStringLiteral("IS_IMPORT")) != 0) {
        ui::showWarning(message(QStringLiteral("IDS_46")));
        return;
    }
    TPenaltyContractInfo contract(id, nullptr);
    contract.checkAllowedOperation(TolvLogic::caOFFSALE);
    const int result =
        callDialog(contractDialogs().scTakeOffSale, action(QStringLiteral("DeleteToSaleAct"))->text(), language(),
                   id, globalVersionConfig->getDebitors()->getDebtDate(), fiscalRegister.get());
    if (result == mrOk) reloadAtContract(id);
}

void TFMain::AddSaleActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    const int result = callDialog(contractDialogs().scShowSale, action(QStringLiteral("AddSaleAct"))->text(),
                                  language(), static_cast<QWidget*>(this), id, workDate());
    if (result == mrOk) reloadAtContract(id);
}

// ---- Archive ----

void TFMain::SendToArchiveExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    TPenaltyContractInfo contract(id, nullptr);
    if (contract.getContractValue(TPenaltyContractInfo::cIS_ARCHIVE).toInt() != 0) return;
    if (contract.getContractValue(TPenaltyContractInfo::cCONTRACT_STATE).toInt() != kStateOpen) {
        setArchived(id, true);
    } else if (VuxSecur::isMaster()) {
        if (ui::askOkCancel(message(QStringLiteral("IDS_56")))) setArchived(id, true);
    } else {
        ui::showWarning(message(QStringLiteral("IDS_58")));
    }
    reloadAtContract(id);
}

void TFMain::GetFormArchiveExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    TPenaltyContractInfo contract(id, nullptr);
    if (contract.getContractValue(TPenaltyContractInfo::cIS_ARCHIVE).toInt() == 0) return;
    setArchived(id, false);
    reloadAtContract(id);
}

// ---- Deferral ----

void TFMain::ZayavlActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    const int recNo = ContractsDS->dataSet()->recNo();
    if (selectedField(QStringLiteral("CONTRACT_STATE")) != kStateOpen)
        ui::showInfo(message(QStringLiteral("IDS_59")));
    else
        callDialog(contractDialogs().scShowZayavlenie, action(QStringLiteral("ZayavlAct"))->text(), language(), id,
                   workDate());
    reloadAtContract(-1);
    if (data::Dataset* rows = activeRows(ContractsDS)) rows->setRecNo(recNo);
}

void TFMain::ZayavlDelActExecute() {
    const int id = selectedContractId();
    if (id == -1) return;
    const int recNo = ContractsDS->dataSet()->recNo();
    TolvLogic::Zayavlenie::scDelZayav(id);
    reloadAtContract(-1);
    if (data::Dataset* rows = activeRows(ContractsDS)) rows->setRecNo(recNo);
}

// ---- By hand ----

void TFMain::a_ReopenContractManualExecute() {
    if (!action(QStringLiteral("a_ReopenContractManual"))->isEnabled()) return;
    const int id = selectedContractId();
    if (id == -1) return;
    if (!ui::askYesNo(message(QStringLiteral("IDS_27")))) return;
    if (selectedField(QStringLiteral("IS_IMPORT")) != 0) {
        ui::showWarning(message(QStringLiteral("IDS_90")));
        return;
    }
    TPenaltyContractInfo contract(id, nullptr);
    contract.checkAllowedOperation(TolvLogic::caREOPEN);
    const int state = contract.getContractValue(TPenaltyContractInfo::cCONTRACT_STATE).toInt();
    if (state == kStateClosed) {
        globalVersionConfig->getContracts()->reopenContract(id, workDate(), nullptr);
    } else if (state == kStateSold) {
        if (!ui::askYesNo(message(QStringLiteral("IDS_80")))) return;
        globalVersionConfig->getContracts()->returnToSale(id, nullptr);
    }
    reloadAtContract(id);
}

void TFMain::a_CloseContractManualExecute() {
    if (!action(QStringLiteral("a_CloseContractManual"))->isEnabled()) return;
    const int id = selectedContractId();
    if (id == -1) return;
    if (!ui::askYesNo(message(QStringLiteral("IDS_28")))) return;
    // The state, the close date and the day's cash orders, in a transaction of its own.
    globalVersionConfig->getContracts()->closeContract(id, workDate(), nullptr, nullptr);
    reloadAtContract(id);
}

// ---- Reload after an action ----

void TFMain::reopenOperations(bool toLast) {
    TolvLogic::TPenaltyOperations* ops = globalVersionConfig->getOperations();
    ops->close();
    ops->setContractId(selectedContractId());
    ops->open();
    OpsDS->setDataSet(ops->getDataSet());
    if (toLast && !OpsDS->dataSet()->isEmpty()) OpsDS->dataSet()->last();
}

}  // namespace TolvMain
