// The main window's contract list: which list the state filter shows, the search panel's conditions,
// binding and reloading the grid, the pause before the per-contract work, the enabled states of the
// contract and operation actions, the row colours, the client and agent pickers and the grid gestures.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "Book.h"
#include "PenaltyContracts.h"
#include "TClients.h"
#include "U_LoggedUser.h"
#include "U_Zayavlenie.h"
#include "f_Main.h"
#include "kvF_SetGridColumns.h"
#include "kv_DbGridUtl.h"
#include "kv_FormHelpers.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "u_Act.h"
#include "platform/fb/Database.h"
#include "platform/grid/GridView.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "u_ContractListRules.h"
#include "u_VersionConfig.h"

namespace TolvMain {

using TolvLogic::TPenaltyContracts;

namespace {

constexpr quint32 kArchiveColour = 0xE3E3E3;  // the light 3-D colour of the platform
constexpr quint32 kImportColour = 0xA6CAF0;   // sky blue

// Hands the keys of a grid to the window before the grid acts on them.
class KeyFilter : public QObject {
public:
    KeyFilter(QObject* parent, std::function<bool(QKeyEvent*)> onKey)
        : QObject(parent), onKey_(std::move(onKey)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && onKey_(static_cast<QKeyEvent*>(event))) return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QKeyEvent*)> onKey_;
};

bool isEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

int intOf(data::Dataset* set, const QString& field, int none) {
    if (!set || !set->active() || set->isEmpty()) return none;
    data::Field* f = set->findField(field);
    return f && !f->isNull() ? f->asInteger() : none;
}


}  // namespace

void TFMain::setupContractList() {
    connect(timeForCalcPercents, &QTimer::timeout, this,
            [this] { guarded([this] { timeForCalcPercentsTimer(); }); });
    connect(bt_Search, &QPushButton::clicked, this, [this] { guarded([this] { openContractList(); }); });
    connect(bt_DefaultFilter, &QPushButton::clicked, this, [this] { resetFilterPanel(); });
    // The Enter key in the number, client and agent fields searches.
    for (QLineEdit* edit : {NumFilterEdit, FIOFilterEdit, AgentFilterEdit})
        connect(edit, &QLineEdit::returnPressed, this, [this] { guarded([this] { openContractList(); }); });
    // Any change of the text returns to the name condition: the picked key no longer matches it.
    connect(FIOFilterEdit, &QLineEdit::textChanged, this, [this] { clientFilterId = -1; });
    connect(AgentFilterEdit, &QLineEdit::textChanged, this, [this] { agentFilterId = -1; });
    connect(bt_Client, &QPushButton::clicked, this, [this] { guarded([this] { bt_ClientClick(); }); });
    connect(bt_Agent, &QPushButton::clicked, this, [this] { guarded([this] { bt_AgentClick(); }); });
    connect(bt_SetGrid, &QPushButton::clicked, this, [this] {
        guarded([this] {
            ufb::TFSetGridColumns::scExecute(gr_Contracts, QStringLiteral("CONTRACT_NUM, FILIAL_NUMBER"),
                                             QString());
        });
    });

    // Gestures go through the actions, so they do only what the menu would allow.
    const std::pair<ui::DbGrid*, const char*> openers[] = {
        {gr_Contracts, "EditContractAct"}, {gr_Ops, "EditOpAct"}, {gr_Sales, "AddSaleAct"}};
    for (const auto& [grid, name] : openers) {
        grid->setReadOnly(true);
        const QString actionName = QString::fromLatin1(name);
        connect(grid, &QAbstractItemView::doubleClicked, this,
                [this, actionName] { triggerAction(actionName); });
        grid->installEventFilter(new KeyFilter(grid, [this, grid, actionName](QKeyEvent* e) {
            if (isEnter(e)) {
                triggerAction(actionName);
                return true;
            }
            if (grid == gr_Ops && e->text() == QStringLiteral(".")) {
                triggerAction(QStringLiteral("DeleteOpAct"));
                return true;
            }
            return false;
        }));
    }
    gr_Contracts->onCellStyle = [this](int row, const grid::Column& column, grid::CellStyle& style) {
        gr_ContractsGetCellParams(row, column, style);
    };
}

void TFMain::triggerAction(const QString& name) {
    QAction* a = action(name);
    if (a && a->isEnabled() && a->isVisible()) a->trigger();
}

// ---- the lists --------------------------------------------------------------------------------------

TPenaltyContracts* TFMain::shownContractList() const {
    TolvLogic::TVersionConfig& lists = *globalVersionConfig;
    data::Dataset* shown = ContractsDS->dataSet();
    for (TPenaltyContracts* list : {static_cast<TPenaltyContracts*>(lists.getDebitors()),
                                    static_cast<TPenaltyContracts*>(lists.getInActs())})
        if (shown == list->getDataSet()) return list;
    return lists.getContracts();
}

int TFMain::currentContractId() const {
    return intOf(ContractsDS->dataSet(), QStringLiteral("CONTRACT_ID"), 0);
}

void TFMain::applyContractFilter(TPenaltyContracts* list) {
    list->clearFilter();
    // The texts reach the statement only through the list's filters, which quote them; "%" and "_"
    // typed by the user stay wildcards.
    const QString number = NumFilterEdit->text().trimmed();
    if (!number.isEmpty()) list->filterByNumber(number);
    if (!FIOFilterEdit->text().isEmpty()) {
        if (clientFilterId == -1)
            list->filterByClientName(FIOFilterEdit->text());
        else
            list->filterByClientId(clientFilterId);
    }
    if (!AgentFilterEdit->text().isEmpty()) {
        if (agentFilterId == -1)
            list->filterByAgentName(AgentFilterEdit->text());
        else
            list->filterByAgentId(agentFilterId);
    }
    if (!DateFilterEdit->isEmpty()) list->filterByDate(DateFilterEdit->date());
    static const int kStates[] = {-1, TolvLogic::csOPENED, TolvLogic::csCLOSED, TolvLogic::csONSALE,
                                  TolvLogic::csSALED};
    const int item = cb_contrFilter->currentIndex();
    if (item >= 1 && item <= 4) list->filterByState(kStates[item]);
    if (item == 6) list->filterWithApplication();
    const core::Variant branch = combo_FilialFilter->keyValue();
    if (!branch.isEmpty() && branch.toInt() != 0) list->filterByFilial(branch.toInt());
    if (!chBx_showArchive->isChecked()) list->filterNotArchived();
}

void TFMain::selectContractList() {
    TolvLogic::TVersionConfig& lists = *globalVersionConfig;
    if (isDebtorsFilter()) {
        lists.getDebitors()->setDebtDate(workDate());
        bindContractList(lists.getDebitors());
    } else if (isInActFilter()) {
        bindContractList(lists.getInActs());
    } else {
        bindContractList(lists.getContracts());
    }
}

void TFMain::bindContractList(TPenaltyContracts* list) {
    TolvLogic::TVersionConfig& lists = *globalVersionConfig;
    const bool bound = ContractsDS->dataSet() == list->getDataSet() && list->getGridEh() == gr_Contracts &&
                       !gr_Contracts->columns().empty();
    if (!bound) {
        const QString ini = utl::SettingsFile::userIniFileName();
        if (!gr_Contracts->columns().empty())
            utl::DbGridUtl::saveGridLayout(*gr_Contracts, contractGridSuffix(), ini);
        lists.getContracts()->close();
        lists.getDebitors()->close();
        lists.getInActs()->close();
        list->bindGridEh(gr_Contracts);
        utl::DbGridUtl::restoreGridLayout(*gr_Contracts, contractGridSuffix(), ini);
    }
    // The details follow the list shown.
    lists.getOperations()->setContracts(list);
    lists.getSales()->setContracts(list);
    if (lists.getOperations()->getGridEh() != gr_Ops || gr_Ops->columns().empty()) {
        lists.getOperations()->bindGridEh(gr_Ops);
        lists.getSales()->bindGridEh(gr_Sales);
        restoreDetailGridLayouts();
    }
    watchDataSets();
}

void TFMain::watchDataSets() {
    const auto watch = [this](data::Dataset* set, QPointer<data::Dataset>& watched,
                              QMetaObject::Connection* links, void (TFMain::*handler)()) {
        if (set == watched) return;
        for (int i = 0; i < 3; ++i) disconnect(links[i]);
        watched = set;
        if (!set) return;
        const auto changed = [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
        links[0] = connect(set, &data::Dataset::currentChanged, this, changed);
        links[1] = connect(set, &data::Dataset::layoutReset, this, changed);
        links[2] = connect(set, &data::Dataset::stateChanged, this, changed);
    };
    watch(ContractsDS->dataSet(), watchedContracts_, contractsLinks_, &TFMain::ContractsDSDataChange);
    watch(OpsDS->dataSet(), watchedOps_, opsLinks_, &TFMain::OpsDSDataChange);
}

void TFMain::openContractList() {
    step(QStringLiteral("openContractList"));
    if (!listsMade_ || !globalVersionConfig) return;
    const utl::AutoScreenCursor hourglass;
    selectContractList();
    TPenaltyContracts* list = shownContractList();
    applyContractFilter(list);
    list->reopen();
    openDetails();
}

void TFMain::reloadAtContract(int contractId) {
    if (!listsMade_ || !globalVersionConfig) return;
    if (contractId != -1) {
        TPenaltyContracts* list = globalVersionConfig->getContracts();
        bindContractList(list);
        list->clearFilter();
        list->filterById(contractId);
        list->reopen();
    } else {
        // The list bound to the grid, whichever it is: a changed contract leaves the debtors too.
        shownContractList()->reopen();
    }
    openDetails();
    recalcDebt();
}

void TFMain::openDetails() {
    TolvLogic::TVersionConfig& lists = *globalVersionConfig;
    const int id = currentContractId();
    const core::Variant key = id ? core::Variant(id) : core::Variant::null();
    lists.getOperations()->setContractId(key);
    lists.getSales()->setContractId(key);
    lists.getOperations()->reopen();
    data::Dataset* ops = lists.getOperations()->getDataSet();
    if (ops->active()) ops->last();
    lists.getSales()->reopen();
}

void TFMain::resetFilterPanel() {
    NumFilterEdit->clear();
    combo_FilialFilter->setKeyValue(0);
    FIOFilterEdit->clear();
    clientFilterId = -1;
    DateFilterEdit->clear();
    AgentFilterEdit->clear();
    agentFilterId = -1;
    cb_contrFilter->setCurrentIndex(1);
    chBx_showArchive->setChecked(false);
}

// ---- the pause before the per-contract work -----------------------------------------------------------

void TFMain::ContractsDSDataChange() {
    // The lists report their closing while they are freed: nothing to follow then.
    if (!listsMade_ || !globalVersionConfig) return;
    timeForCalcPercents->stop();
    timeForCalcPercents->start();
    clearSums();
    // The data labels over the details: number and client of the selected row.
    data::Dataset* set = ContractsDS->dataSet();
    const bool row = set && set->active() && set->recNo() > 0;
    DogNText->setText(row ? set->fieldByName(QStringLiteral("CONTRACT_NUM")).asString() : QString());
    DBText1->setText(row ? set->fieldByName(QStringLiteral("CLIENT_NAME")).asString() : QString());
    // The details of the contract left behind go at once: nothing may act on them until the selected
    // contract's are shown.
    globalVersionConfig->getOperations()->close();
    globalVersionConfig->getSales()->close();
}

void TFMain::timeForCalcPercentsTimer() {
    timeForCalcPercents->stop();
    if (!listsMade_ || !globalVersionConfig || !getZarvelDb()->connected()) return;
    globalVersionConfig->getOperations()->close();
    applyContractActions(currentContractId());
    recalcDebt();
    openDetails();
}

// ---- the enabled states -------------------------------------------------------------------------------

void TFMain::enableAction(QAction* a, bool value) {
    a->setEnabled(enabledByRights(value, a->property("Tag").toInt(), VuxSecur::isMaster()));
}

void TFMain::updateContractActions(int contractId) {
    step(QStringLiteral("updateContractActions"));
    applyContractActions(contractId);
}

void TFMain::updateOperationActions(int opId) {
    step(QStringLiteral("updateOperationActions"));
    applyOperationActions(opId);
}

void TFMain::applyContractActions(int contractId) {
    ContractFacts facts;
    if (contractId != 0) {
        const TolvLogic::TPenaltyContractInfo contract(contractId, nullptr);
        using C = TolvLogic::TPenaltyContractInfo;
        facts.selected = true;
        facts.archived = contract.getContractValue(C::cIS_ARCHIVE).toInt() != 0;
        facts.state = contract.getContractValue(C::cCONTRACT_STATE).toInt();
        facts.hasApplication = TolvLogic::Zayavlenie::scExists(contractId);
        const int actId = TolvLogic::TPenaltyInActs::scGetContractActId(contractId);
        facts.inAct = actId != -1;
        if (facts.inAct) facts.wareMoved = TolvLogic::Act::scGetWareFrom(actId) || TolvLogic::Act::scGetWareTo(actId);
        facts.inParcel = TolvLogic::TPenaltyInActs::scGetContractParcelId(contractId) != -1;
    }
    for (const ActionState& s : contractActionStates(facts)) enableAction(action(s.name), s.enabled);
    loadAddServices(contractId);
}

void TFMain::applyOperationActions(int opId) {
    OperationFacts facts;
    facts.opId = opId;
    facts.contractState = intOf(ContractsDS->dataSet(), QStringLiteral("CONTRACT_STATE"), 255);
    if (opId != 0) {
        TolvLogic::TPenaltyOperationInfo operation(opId, false);
        if (operation.Select() > 0)
            facts.inAct = TolvLogic::TPenaltyInActs::scIsContractInAct(
                operation.getValue(TolvLogic::TPenaltyOperationInfo::oDEPOSIT_ID).toInt());
    }
    for (QAction* a : actionList) {
        if (a->property("category").toString() != QStringLiteral("Операции") ||
            a->objectName() == QLatin1String("AddOpAct"))
            continue;
        enableAction(a, operationActionEnabled(a->objectName(), facts));
    }
}

void TFMain::OpsDSDataChange() {
    if (!listsMade_ || !globalVersionConfig) return;
    // An open and its move to the last row report several changes; the states follow the row once.
    const int opId = intOf(OpsDS->dataSet(), QStringLiteral("OP_ID"), 0);
    const int state = intOf(ContractsDS->dataSet(), QStringLiteral("CONTRACT_STATE"), 255);
    if (opId != 0 && opId == shownOpId_ && state == shownOpState_) return;
    shownOpId_ = opId;
    shownOpState_ = state;
    applyOperationActions(opId);
}

// ---- colours, pickers -------------------------------------------------------------------------------

void TFMain::gr_ContractsGetCellParams(int row, const grid::Column& column, grid::CellStyle& style) {
    data::Dataset* set = ContractsDS->dataSet();
    if (!set || row < 0 || row >= set->recordCount()) return;
    const auto flag = [set, row](const char* name) {
        const data::Field* f = set->findField(QString::fromLatin1(name));
        return f && set->valueAt(row, f->index()).toInt() != 0;
    };
    const quint32 text = gr_Contracts->palette().color(QPalette::Text).rgb() & 0xFFFFFF;
    if (flag("IS_ARCHIVE")) {
        style.background = kArchiveColour;
        style.text = text;
    }
    if (column.fieldName == QLatin1String("FILIAL_NUMBER") && flag("IS_IMPORT")) {
        style.background = kImportColour;
        style.text = text;
    }
}

void TFMain::bt_ClientClick() {
    ufb::TBookForm form(this, QStringLiteral("TFMain::bt_ClientClick"));
    const bool byName = clientFilterId == -1;
    if (!form.showBook(1, globalClients, QString(), true,
                       byName ? core::Variant(FIOFilterEdit->text()) : core::Variant(clientFilterId),
                       byName ? QStringLiteral("CLIENT_NAME") : QStringLiteral("CLIENT_ID")))
        return;
    // The text first: its change resets the picked key.
    FIOFilterEdit->setText(form.pickedValues[QStringLiteral("CLIENT_NAME")].toText());
    clientFilterId = form.pickedValues[QStringLiteral("CLIENT_ID")].toInt();
}

void TFMain::bt_AgentClick() {
    ufb::TBookForm form(this, QStringLiteral("TFMain::bt_AgentClick"));
    const bool byName = agentFilterId == -1;
    if (!form.showBook(1, globalAgents, QString(), false,
                       byName ? core::Variant(AgentFilterEdit->text()) : core::Variant(agentFilterId),
                       byName ? QStringLiteral("AGENT_NAME") : QStringLiteral("AGENT_ID")))
        return;
    AgentFilterEdit->setText(form.pickedValues[QStringLiteral("AGENT_NAME")].toText());
    agentFilterId = form.pickedValues[QStringLiteral("AGENT_ID")].toInt();
}

}  // namespace TolvMain
