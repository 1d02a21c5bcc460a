#include "f_ExchangeInfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include "PenaltyContracts.h"
#include "kv_Money100.h"
#include "platform/core/Formats.h"
#include "u_Exchange.h"
#include "u_PercCalc.h"

using TolvLogic::TPenaltyContractInfo;

TFExchangeInfo::TFExchangeInfo(QWidget* owner, std::unique_ptr<TPenaltyContractInfo> contract,
                               core::DateTime date, int contractId)
    : ui::Form(QStringLiteral("FExchangeInfo"), owner,
               Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      contract_(std::move(contract)),
      date_(date) {
    if (!contract_) contract_ = std::make_unique<TPenaltyContractInfo>(contractId, nullptr);
    addCaption(this, "windowTitle", QStringLiteral("Проценты с учетом курса доллара"),
               QStringLiteral("Відсотки з урахуванням курсу долара"));

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    int row = 0;
    auto line = [this, grid, &row](const char* name, const char* valueName, const QString& ru,
                                   const QString& uk, QLabel*& value) {
        auto* caption = new QLabel(this);
        caption->setObjectName(QString::fromLatin1(name));
        addCaption(caption, "text", ru, uk);
        value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(valueName));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1);
        ++row;
        return caption;
    };
    l_CreditDays =
        line("l_CreditDays", "l_CreditDaysVal", QStringLiteral("Фактический срок пользования кредитом, дн"),
             QStringLiteral("Фактичний строк користування кредитом, дн"), l_CreditDaysVal);
    l_FirstExchange =
        line("l_FirstExchange", "l_FirstExchangeVal", QStringLiteral("Курс на момент оформления кредита"),
             QStringLiteral("Курс на момент укладання договору"), l_FirstExchangeVal);
    l_CurExchange = line("l_CurExchange", "l_CurExchangeVal", QStringLiteral("Текущий курс"),
                         QStringLiteral("Поточний курс"), l_CurExchangeVal);
    l_PercExchange =
        line("l_PercExchange", "l_PercExchangeVal", QStringLiteral("Суточный процент с учетом курса, %"),
             QStringLiteral("Добовий відсоток з урахуванням курсу, %"), l_PercExchangeVal);

    spbt_Fix = new QToolButton(this);
    spbt_Fix->setObjectName(QStringLiteral("spbt_Fix"));
    spbt_Fix->setCheckable(true);
    spbt_Fix->setAutoRaise(true);
    spbt_Fix->setIcon(style()->standardIcon(QStyle::SP_TitleBarShadeButton));
    addCaption(spbt_Fix, "toolTip", QStringLiteral("Закрепить положение формы"),
               QStringLiteral("Зафіксувати розташування форми"));
    grid->addWidget(spbt_Fix, 0, 2, Qt::AlignTop | Qt::AlignRight);
    connect(spbt_Fix, &QToolButton::clicked, this, [this] { spbt_FixClick(); });
    setFixed(false);

    applyLanguage();
}

TFExchangeInfo::~TFExchangeInfo() = default;

void TFExchangeInfo::setDate(core::DateTime date) {
    date_ = date;
}

void TFExchangeInfo::refresh() {
    const TPenaltyContractInfo& c = *contract_;
    const core::DateTime d = date_.datePart();

    // The days of the current period as the debt calculation charges them: the contract's own day is
    // charged, while a payment's day belongs to the period the payment closes.
    const core::DateTime lastPayment = c.findOpDate(d, false, true);
    const int start =
        lastPayment.isZero()
            ? c.getContractValue(TPenaltyContractInfo::cCONTRACT_DATE).toDateTime().dayNumber() - 1
            : lastPayment.dayNumber();
    l_CreditDaysVal->setText(QString::number(d.dayNumber() - start));

    const core::Variant price = c.getDepositValue(TPenaltyContractInfo::dDOLLAR_PRICE);
    l_FirstExchangeVal->setText(
        core::formatFixed(Money100::fromTenThousandths(price.isEmpty() ? 0 : price.toInt64()), 4));

    // The rate of the first payment on or after the day, as the indexation takes it.
    const core::DateTime payment = c.findOpDate(d, true, true);
    const core::DateTime rateDay = payment.isZero() ? d : payment.datePart();
    const TolvLogic::TExchangeInfo exchange(c.getContractValue(TPenaltyContractInfo::cFILIAL_ID).toInt(),
                                            rateDay);
    double rate = 1.0;
    const bool own = exchange.findRate(rate, rateDay);
    l_CurExchangeVal->setText(core::formatFixed(rate, 4));
    QPalette p = l_CurExchangeVal->palette();
    p.setColor(QPalette::WindowText, own ? QColor(Qt::black) : QColor(Qt::blue));
    l_CurExchangeVal->setPalette(p);

    l_PercExchangeVal->setText(
        core::formatFixed(static_cast<double>(TolvLogic::PercCalc::scGetDayRate(c, d)), 2));
}

void TFExchangeInfo::setFixed(bool fixed) {
    fixed_ = fixed;
    spbt_Fix->setChecked(!fixed);
}

void TFExchangeInfo::spbt_FixClick() {
    setFixed(!spbt_Fix->isChecked());
}

void TFExchangeInfo::formShow() {
    refresh();
}
