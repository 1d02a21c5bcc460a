#include "PenaltyInfoFrameUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "f_Exchange.h"
#include "kv_FbDbIni.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/grid/GridView.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/Translations.h"
#include "u_Exchange.h"
#include "u_PercCalc.h"
#include "u_filials.h"

namespace {

using core::DateTime;

const QString kNothing = QStringLiteral(". . .");

QString amountText(int hundredths) {
    return core::formatFixed(static_cast<double>(hundredths) / 100.0, 2);
}

// The frame's own texts; it is no dialog, so it keeps them in a table of its own.
ui::Translations& texts() {
    static ui::Translations* table = [] {
        auto* t = new ui::Translations;
        t->addMessage(QStringLiteral("IDS_0"), QStringLiteral("Курс $ (Филиал - "),
                      QStringLiteral("Курс $ (Філія - "));
        t->addMessage(
            QStringLiteral("IDS_1"),
            QStringLiteral(
                "Невозможно определить филиал, для которого выводить курс доллара США.\\nУбедитесь, "
                "что выбран договор либо \\nустановлен текущий филиал в меню "),
            QStringLiteral("Неможливо визначити філію, для якої виводити курс долара США.\\nПереконайтеся, "
                           "що обрано договір або \\nвстановлено поточну філію в меню "));
        t->addMessage(QStringLiteral("menuDirs"), QStringLiteral("Справочники"), QStringLiteral("Довідники"));
        t->addMessage(QStringLiteral("menuBranch"), QStringLiteral("Текущий филиал"),
                      QStringLiteral("Поточна філія"));
        return t;
    }();
    return *table;
}

QString message(const char* key) {
    return ui::Translations::decodeEscapes(texts().message(QString::fromLatin1(key)));
}

}  // namespace

QLabel* newAmountLabel(QWidget* parent, const char* name, int minimumWidth) {
    auto* label = new QLabel(kNothing, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(minimumWidth);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

TPenaltyContractInfoFrame::TPenaltyContractInfoFrame(QWidget* parent, grid::DataSource* contracts)
    : QFrame(parent), contracts_(contracts) {
    setObjectName(QStringLiteral("PenaltyContractInfoFrame"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto* grid = new QGridLayout(this);
    auto caption = [this](const QString& ru, const QString& uk, bool bold = false) {
        auto* l = new QLabel(this);
        l->setText(ui::Translations::language() == 2 ? uk : ru);
        if (bold) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
        }
        return l;
    };

    dbl_ContractNum = new QLabel(this);
    dbl_ContractNum->setObjectName(QStringLiteral("dbl_ContractNum"));
    QFont bold = dbl_ContractNum->font();
    bold.setBold(true);
    dbl_ContractNum->setFont(bold);
    dbl_Client = new QLabel(this);
    dbl_Client->setObjectName(QStringLiteral("dbl_Client"));
    QFont larger = bold;
    larger.setPointSizeF(bold.pointSizeF() * 1.25);
    dbl_Client->setFont(larger);
    grid->addWidget(caption(QStringLiteral("Договор"), QStringLiteral("Договір")), 0, 0);
    grid->addWidget(dbl_ContractNum, 0, 1);
    grid->addWidget(caption(QStringLiteral("Клиент"), QStringLiteral("Клієнт")), 1, 0);
    grid->addWidget(dbl_Client, 1, 1, 1, 3);

    Label1 = newAmountLabel(this, "Label1", 90);
    Label2 = newAmountLabel(this, "Label2", 90);
    Label3 = newAmountLabel(this, "Label3", 90);
    l_Storage = newAmountLabel(this, "l_Storage", 90);
    TotalLabel = newAmountLabel(this, "TotalLabel", 90);
    grid->addWidget(caption(QStringLiteral("Осн сумма"), QStringLiteral("Осн. сума")), 2, 0);
    grid->addWidget(Label1, 2, 1);
    grid->addWidget(caption(QStringLiteral("Проценты"), QStringLiteral("Відсотки")), 3, 0);
    grid->addWidget(Label2, 3, 1);
    grid->addWidget(caption(QStringLiteral("Пеня"), QStringLiteral("Пеня")), 4, 0);
    grid->addWidget(Label3, 4, 1);
    grid->addWidget(caption(QStringLiteral("Хранение"), QStringLiteral("Зберігання")), 5, 0);
    grid->addWidget(l_Storage, 5, 1);
    grid->addWidget(caption(QStringLiteral("Итого"), QStringLiteral("Разом"), true), 6, 0);
    grid->addWidget(TotalLabel, 6, 1);

    DebtDateEdit = new ui::DateEdit(this);
    DebtDateEdit->setObjectName(QStringLiteral("DebtDateEdit"));
    grid->addWidget(caption(QStringLiteral("Данные на дату"), QStringLiteral("Дані на дату")), 2, 2);
    grid->addWidget(DebtDateEdit, 2, 3);

    l_Exchange = new QLabel(QStringLiteral("Курс $ ()"), this);
    l_Exchange->setObjectName(QStringLiteral("l_Exchange"));
    st_Exchange = new QLabel(QStringLiteral(" 0,0000"), this);
    st_Exchange->setObjectName(QStringLiteral("st_Exchange"));
    st_Exchange->setFrameShape(QFrame::Panel);
    st_Exchange->setFrameShadow(QFrame::Sunken);
    bt_Exchange = new QPushButton(QStringLiteral("..."), this);
    bt_Exchange->setObjectName(QStringLiteral("bt_Exchange"));
    bt_Exchange->setFixedWidth(28);
    bt_Exchange->setToolTip(ui::Translations::language() == 2 ? QStringLiteral("Встановити значення курсу")
                                                              : QStringLiteral("Установить значение курса"));
    grid->addWidget(l_Exchange, 4, 2);
    auto* rate = new QHBoxLayout;
    rate->addWidget(st_Exchange);
    rate->addWidget(bt_Exchange);
    grid->addLayout(rate, 4, 3);
    grid->setColumnStretch(4, 1);
    showRateControls(false);

    connect(DebtDateEdit, &ui::DateEdit::changed, this, [this] { DebtDateEditChange(); });
    connect(bt_Exchange, &QPushButton::clicked, this,
            [this] { ui::runGuarded([this] { bt_ExchangeClick(); }); });
    followRow();
}

TPenaltyContractInfoFrame::~TPenaltyContractInfoFrame() = default;

data::Dataset* TPenaltyContractInfoFrame::rows() const {
    data::Dataset* ds = contracts_ ? contracts_->dataSet() : nullptr;
    return ds && ds->active() && !ds->isEmpty() ? ds : nullptr;
}

void TPenaltyContractInfoFrame::followRow() {
    data::Dataset* ds = contracts_ ? contracts_->dataSet() : nullptr;
    if (ds != followed_) {
        disconnect(rowMoved_);
        disconnect(rowsReset_);
        disconnect(rowEdited_);
        followed_ = ds;
        if (ds) {
            rowMoved_ = connect(ds, &data::Dataset::currentChanged, this, [this] { showRowTexts(); });
            rowsReset_ = connect(ds, &data::Dataset::layoutReset, this, [this] { showRowTexts(); });
            rowEdited_ = connect(ds, &data::Dataset::rowChanged, this, [this] { showRowTexts(); });
        }
    }
    showRowTexts();
}

void TPenaltyContractInfoFrame::showRowTexts() {
    data::Dataset* ds = rows();
    dbl_ContractNum->setText(ds ? ds->fieldByName(QStringLiteral("CONTRACT_NUM")).asString() : QString());
    dbl_Client->setText(ds ? ds->fieldByName(QStringLiteral("CLIENT_NAME")).asString() : QString());
}

core::DateTime TPenaltyContractInfoFrame::debtDate() const {
    return DebtDateEdit->date();
}

void TPenaltyContractInfoFrame::clearDebt() {
    for (QLabel* l : {Label1, Label2, Label3, l_Storage, TotalLabel}) l->setText(kNothing);
}

void TPenaltyContractInfoFrame::refreshDebt() {
    if (refreshing_) return;
    refreshing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{refreshing_};

    followRow();
    if (DebtDateEdit->date().dayNumber() == 0) DebtDateEdit->setDate(DateTime::today());
    data::Dataset* ds = rows();
    const auto value = [ds](const char* name) {
        return ds ? ds->fieldByName(QString::fromLatin1(name)).value() : core::Variant::null();
    };
    const bool calcExchange =
        udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("CalcExchange"), false);
    const core::Variant indexed = value("IS_USD_EXCHANGE");
    if (calcExchange || (!indexed.isEmpty() && indexed.toInt() == 1)) {
        const core::Variant branch = value("FILIAL_ID");
        showRate(branch.isEmpty() ? 0 : branch.toInt());
    } else {
        showRateControls(false);
    }
    const core::Variant contractId = value("CONTRACT_ID");
    if (contractId.isEmpty()) {
        clearDebt();
        return;
    }
    DateTime date = DebtDateEdit->date().datePart();
    const DateTime contractDate = value("CONTRACT_DATE").toDateTime().datePart();
    if (date <= contractDate) date = contractDate;
    TolvLogic::PercCalc calc(contractId.toInt(), nullptr);
    const TolvLogic::DebtSums debt = calc.getDebt(date, false, true);
    Label1->setText(amountText(debt.base));
    l_Storage->setText(amountText(debt.storage));
    Label2->setText(amountText(debt.perc));
    Label3->setText(amountText(debt.penalty));
    TotalLabel->setText(amountText(debt.getTotal()));
}

void TPenaltyContractInfoFrame::showRate(int branchId) {
    if (st_Exchange->isHidden()) showRateControls(true);
    if (branchId == 0) branchId = TolvLogic::FilialsDir::scGetCurentFilialId(false);
    if (branchId == 0) {
        st_Exchange->setText(u' ' + core::formatFixed(0.0, 4));
        st_Exchange->setStyleSheet(QStringLiteral("color: red"));
        return;
    }
    rateBranchId_ = branchId;
    double rate = 1.0;
    const TolvLogic::TExchangeInfo exchange(branchId, DebtDateEdit->date().datePart());
    if (exchange.findRate(rate, DebtDateEdit->date().datePart())) {
        st_Exchange->setStyleSheet(QStringLiteral("color: black"));
        st_Exchange->setToolTip(QString());
    } else {
        st_Exchange->setStyleSheet(QStringLiteral("color: blue"));
        st_Exchange->setToolTip(
            ui::Translations::language() == 2
                ? QStringLiteral("На цей день курс не задано, взято курс попереднього дня")
                : QStringLiteral("На данный день курс не задан, взят курс предыдущего дня"));
    }
    l_Exchange->setText(message("IDS_0") +
                        QString::number(TolvLogic::FilialsDir::scGetFilialNumber(branchId)) + u')');
    st_Exchange->setText(u' ' + core::formatFixed(rate, 4));
}

void TPenaltyContractInfoFrame::showRateControls(bool visible) {
    st_Exchange->setVisible(visible);
    bt_Exchange->setVisible(visible);
    l_Exchange->setVisible(visible);
}

void TPenaltyContractInfoFrame::bt_ExchangeClick() {
    data::Dataset* ds = rows();
    const core::Variant branch = ds ? ds->fieldByName(QStringLiteral("FILIAL_ID")).value() : core::Variant();
    const bool rowBranch = !branch.isEmpty() && branch.toInt() != 0;
    if (!rowBranch && TolvLogic::FilialsDir::scGetCurentFilialId(false) == 0) {
        ui::showWarning(message("IDS_1") + u'"' + message("menuDirs") + QStringLiteral("\"->\"") +
                        message("menuBranch") + QStringLiteral("\". "));
        return;
    }
    if (rateBranchId_ == 0) showRate(rowBranch ? branch.toInt() : 0);
    if (TFExchange::scExecute(rateBranchId_, DebtDateEdit->date().datePart()) == ui::ModalResult::Ok) {
        TolvLogic::PercCalc::scClearCache(-1);
        refreshDebt();
    }
}

void TPenaltyContractInfoFrame::DebtDateEditChange() {
    ui::runGuarded([this] { refreshDebt(); });
}
