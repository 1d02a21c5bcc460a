#include "f_Exchange.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "PenaltyContracts.h"
#include "kvF_xlExportGrid.h"
#include "kv_DateUtl.h"
#include "kv_DbGridUtl.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/fb/Query.h"
#include "platform/os/IniFile.h"
#include "platform/os/Program.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/NumberEdit.h"
#include "u_Exchange.h"
#include "u_filials.h"

using core::DateTime;

namespace {

const QString kSection = QStringLiteral("FExchange");
const QString kCheckedKey = QStringLiteral("chbx_ExchangeHistory->Checked");

QDate toQDate(DateTime d) {
    return d.date();
}

DateTime fromQDate(const QDate& d) {
    return DateTime::fromDate(d);
}

QFrame* panel(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

}  // namespace

TFExchange::TFExchange(QWidget* owner, DateTime date, int filialId)
    : ui::Form(QStringLiteral("FExchange"), owner,
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      filialId_(filialId),
      date_(date.datePart()),
      exchange_(std::make_unique<TolvLogic::TExchangeInfo>(filialId, date.datePart())) {
    addCaption(this, "windowTitle", QStringLiteral("Курс доллара США"), QStringLiteral("Курс долара США"));
    addMessage(QStringLiteral("IDS_9"),
               QStringLiteral("Изменение курса недоступно, так как были заключены договора или проведены "
                              "операции с учетом курса."),
               QStringLiteral("Не можна змінити курс, тому що були укладені договори чи проведені операції з "
                              "обліком курсу."));
    auto caption = [this](QWidget* parent, const QString& ru, const QString& uk) {
        auto* l = new QLabel(parent);
        addCaption(l, "text", ru, uk);
        return l;
    };
    auto button = [this](QWidget* parent, const char* name, const QString& ru, const QString& uk) {
        auto* b = new QPushButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        addCaption(b, "text", ru, uk);
        return b;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    // The day and the branch.
    p_Header = panel(this, "p_Header");
    p_Header->setFrameShape(QFrame::StyledPanel);
    auto* header = new QGridLayout(p_Header);
    header->setContentsMargins(6, 4, 6, 4);
    header->setVerticalSpacing(2);
    header->addWidget(caption(p_Header, QStringLiteral("Дата:"), QStringLiteral("Дата:")), 0, 0);
    l_DateVal = new QLabel(p_Header);
    l_DateVal->setObjectName(QStringLiteral("l_DateVal"));
    header->addWidget(l_DateVal, 0, 1);
    header->addWidget(caption(p_Header, QStringLiteral("Филиал:"), QStringLiteral("Філія:")), 1, 0,
                      Qt::AlignTop);
    l_FilialName = new QLabel(p_Header);
    l_FilialName->setObjectName(QStringLiteral("l_FilialName"));
    l_FilialName->setWordWrap(true);
    l_FilialName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = l_FilialName->font();
    bold.setBold(true);
    l_FilialName->setFont(bold);
    l_DateVal->setFont(bold);
    header->addWidget(l_FilialName, 1, 1);
    header->setColumnStretch(1, 1);
    layout->addWidget(p_Header);

    // The rate with the buttons.
    p_Exchange = panel(this, "p_Exchange");
    auto* rate = new QGridLayout(p_Exchange);
    rate->setContentsMargins(6, 2, 6, 2);
    rate->addWidget(caption(p_Exchange, QStringLiteral("Курс:"), QStringLiteral("Курс:")), 0, 0);
    rxed_Exchange = new ui::NumberEdit(4, p_Exchange);
    rxed_Exchange->setObjectName(QStringLiteral("rxed_Exchange"));
    rxed_Exchange->setDisplayFormat(QStringLiteral(",0.0000##"));
    rxed_Exchange->setMinimumWidth(110);
    rate->addWidget(rxed_Exchange, 0, 1);
    bt_Ok = button(p_Exchange, "bt_Ok", QStringLiteral("OK"), QStringLiteral("OK"));
    bt_Cancel = button(p_Exchange, "bt_Cancel", QStringLiteral("Отмена"), QStringLiteral("Відміна"));
    rate->addWidget(bt_Ok, 0, 3);
    rate->addWidget(bt_Cancel, 1, 3);
    chbx_ExchangeHistory = new QCheckBox(p_Exchange);
    chbx_ExchangeHistory->setObjectName(QStringLiteral("chbx_ExchangeHistory"));
    addCaption(chbx_ExchangeHistory, "text", QStringLiteral("История изменений курса"),
               QStringLiteral("Історія змін курсу"));
    rate->addWidget(chbx_ExchangeHistory, 1, 0, 1, 3);
    rate->setColumnStretch(2, 1);
    layout->addWidget(p_Exchange);

    // The lock message, hidden until the rate is locked.
    p_Warrnings = panel(this, "p_Warrnings");
    p_Warrnings->setFrameShape(QFrame::StyledPanel);
    auto* warning = new QVBoxLayout(p_Warrnings);
    warning->setContentsMargins(6, 4, 6, 4);
    l_Warrning = new QLabel(p_Warrnings);
    l_Warrning->setObjectName(QStringLiteral("l_Warrning"));
    l_Warrning->setWordWrap(true);
    QPalette red = l_Warrning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    l_Warrning->setPalette(red);
    warning->addWidget(l_Warrning);
    p_Warrnings->hide();
    layout->addWidget(p_Warrnings);

    // The history part: the period and the grid.
    p_History = panel(this, "p_History");
    p_History->setMinimumHeight(200);
    auto* history = new QVBoxLayout(p_History);
    history->setContentsMargins(0, 0, 0, 0);
    auto* period = new QGridLayout;
    cBx_Month = new QComboBox(p_History);
    cBx_Month->setObjectName(QStringLiteral("cBx_Month"));
    for (int m = 1; m <= 12; ++m) {
        const QString ru = utl::DateUtl::monthNameRu(m, false);
        const QString uk = utl::DateUtl::monthNameUk(m, false);
        const QString& name = language() == ui::kLanguageUkrainian ? uk : ru;
        cBx_Month->addItem(name.left(1).toUpper() + name.mid(1));
    }
    period->addWidget(cBx_Month, 1, 0);
    period->addWidget(caption(p_History, QStringLiteral("Начальная дата"), QStringLiteral("Початкова дата")),
                      0, 1);
    period->addWidget(caption(p_History, QStringLiteral("Конечная дата"), QStringLiteral("Кінцева дата")), 0,
                      2);
    deBeg = new QDateEdit(p_History);
    deBeg->setObjectName(QStringLiteral("deBeg"));
    deEnd = new QDateEdit(p_History);
    deEnd->setObjectName(QStringLiteral("deEnd"));
    for (QDateEdit* e : {deBeg, deEnd}) {
        e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        e->setCalendarPopup(true);
        e->setMinimumDate(QDate(1900, 1, 1));
    }
    period->addWidget(deBeg, 1, 1);
    period->addWidget(deEnd, 1, 2);
    history->addLayout(period);
    auto* actions = new QHBoxLayout;
    bt_Show = button(p_History, "bt_Show", QStringLiteral("Отобразить"), QStringLiteral("Відобразити"));
    bt_ExpToExcel = button(p_History, "bt_ExpToExcel", QStringLiteral("Экспорт в Excel"),
                           QStringLiteral("Експорт в Excel"));
    actions->addWidget(bt_Show);
    actions->addWidget(bt_ExpToExcel);
    actions->addStretch();
    history->addLayout(actions);
    greh_ExchangeHistory = new ui::DbGrid(grid::GridKind::Eh, p_History);
    greh_ExchangeHistory->setObjectName(QStringLiteral("greh_ExchangeHistory"));
    greh_ExchangeHistory->setReadOnly(true);
    greh_ExchangeHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    greh_ExchangeHistory->verticalHeader()->hide();
    // The history's column widths are designed for an 8-point face.
    QFont small = greh_ExchangeHistory->font();
    small.setPointSize(8);
    greh_ExchangeHistory->setFont(small);
    history->addWidget(greh_ExchangeHistory, 1);
    layout->addWidget(p_History, 1);

    connect(bt_Ok, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_OkClick(); }); });
    connect(bt_Cancel, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });
    connect(bt_Show, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_ShowClick(); }); });
    connect(bt_ExpToExcel, &QPushButton::clicked, this,
            [this] { ui::runGuarded([this] { bt_ExpToExcelClick(); }); });
    setDefaultButton(bt_Ok);
    setCancelButton(bt_Cancel);
    applyLanguage();

    setMinimumWidth(kDesignWidth);
    resize(kDesignWidth, kDesignHeight);
    // Heights as designed, before the branch label may grow them.
    headerHeight_ = p_Header->sizeHint().height();
    exchangeHeight_ = p_Exchange->sizeHint().height();
    p_Header->setFixedHeight(headerHeight_);
    p_Exchange->setFixedHeight(exchangeHeight_);
    filialLineHeight_ = l_FilialName->fontMetrics().lineSpacing();

    // The period: the whole month of the day.
    deBeg->setDate(toQDate(date_));
    cBx_Month->setCurrentIndex(toQDate(date_).month() - 1);
    cBx_MonthChange();
    connect(cBx_Month, &QComboBox::currentIndexChanged, this, [this] { cBx_MonthChange(); });

    history_ = std::make_unique<TolvLogic::TExchangeHistory>(filialId_, fromQDate(deBeg->date()),
                                                             fromQDate(deEnd->date()), date_);
    greh_ExchangeHistory->setDataSource(&historySource_);
    history_->bindGridEh(greh_ExchangeHistory);
    history_->reload();

    const os::IniFile ini(utl::SettingsFile::userIniFileName());
    chbx_ExchangeHistory->setChecked(ini.readBool(kSection, kCheckedKey, false));
    utl::DbGridUtl::restoreFormGridsLayout(this, QString(), ini.path());
    if (chbx_ExchangeHistory->isChecked()) {
        resize(ini.readInt(kSection, QStringLiteral("Width"), kDesignWidth),
               ini.readInt(kSection, QStringLiteral("Height"), kDesignHeight));
    }

    locked_ = isRateLocked();
    if (locked_) {
        bt_Ok->setEnabled(false);
        rxed_Exchange->setReadOnly(true);
        l_Warrning->setText(message(QStringLiteral("IDS_9")));
        const int base = height();
        p_Warrnings->show();
        layout->activate();
        resize(width(), base + p_Warrnings->sizeHint().height() + layout->spacing());
    }

    showHistory(chbx_ExchangeHistory->isChecked());
    connect(chbx_ExchangeHistory, &QCheckBox::toggled, this, [this] { chbx_ExchangeHistoryClick(); });
}

TFExchange::~TFExchange() = default;

ui::ModalResult TFExchange::scExecute(int filialId, DateTime date) {
    TFExchange form(nullptr, date, filialId);
    form.fill();
    return form.showModal();
}

void TFExchange::fill() {
    filialText_ = TolvLogic::FilialInfo(filialId_).getNumberName();
    layoutFilialLabel();
    l_DateVal->setText(core::dateToStr(date_));
    double rate = 1.0;
    exchange_->findRate(rate, DateTime());
    rxed_Exchange->setValue(rate);
}

bool TFExchange::isRateLocked() const {
    TolvLogic::TPenaltyContracts contracts(nullptr, false);
    contracts.filterByFilial(filialId_);
    // Both joins of the list carry the deposit's columns: the condition names its alias.
    contracts.addFilter(QStringLiteral(" C.CONTRACT_DATE>=") + TolvLogic::sqlDate(date_) +
                        QStringLiteral(" and D.IS_USD_EXCHANGE=1"));
    contracts.open();
    const bool anyContract = !contracts.getDataSet()->isEmpty();
    contracts.close();
    if (anyContract) return true;
    ufb::AutoQuery operations(QStringLiteral("select first 1 O.OP_ID from PENALTY_OPERATIONS O"
                                             " join PENALTY_CONTRACTS C on C.CONTRACT_ID = O.DEPOSIT_ID"
                                             " join PENALTY_DEPOSITS D on D.CONTRACT_ID = C.CONTRACT_ID"
                                             " where O.OP_DATE >= ") +
                                  TolvLogic::sqlDate(date_) +
                                  QStringLiteral(" and D.IS_USD_EXCHANGE = 1 and C.FILIAL_ID = ") +
                                  QString::number(filialId_),
                              nullptr);
    operations->open();
    return !operations->isEmpty();
}

void TFExchange::bt_OkClick() {
    rxed_Exchange->interpretText();
    // A refused rate keeps the window open with nothing stored.
    exchange_->setRate(rxed_Exchange->value());
    exchange_->save();
    setModalResult(ui::ModalResult::Ok);
}

void TFExchange::cBx_MonthChange() {
    if (cBx_Month->currentIndex() < 0) return;
    const QDate first(deBeg->date().year(), cBx_Month->currentIndex() + 1, 1);
    deBeg->setDate(first);
    deEnd->setDate(first.addDays(first.daysInMonth() - 1));
}

void TFExchange::bt_ShowClick() {
    history_->setPeriod(fromQDate(deBeg->date()), fromQDate(deEnd->date()));
    history_->reload();
}

void TFExchange::bt_ExpToExcelClick() {
    ufb::QLocatRmb position(1, *history_->getDataSet(), true);
    const QString templateFile = os::programDir() + QStringLiteral("/reports/exchangeList.xlsx");
    const QString folder =
        utl::SettingsFile::readPath(QStringLiteral("WordReports"), QStringLiteral("PATH"), QString());
    const QString output =
        QDir(folder).filePath(QStringLiteral("exchangeList") + utl::DateUtl::dateTimeStamp(DateTime(), true) +
                              QStringLiteral(".xlsx"));
    ufb::TF_xlExportGrid::scExportGrid(greh_ExchangeHistory, templateFile, output, 1, QStringLiteral("$A$1"),
                                       QStringLiteral("$A$2"));
    position.reLocate();
}

void TFExchange::chbx_ExchangeHistoryClick() {
    showHistory(chbx_ExchangeHistory->isChecked());
}

void TFExchange::showHistory(bool show) {
    if (show == p_History->isVisibleTo(this)) return;
    // The part's size as laid out now, also before the window first shows.
    layout()->activate();
    if (!show) {
        hiddenHistory_ = QSize(width(), p_History->height() + layout()->spacing());
        p_History->hide();
        layout()->activate();
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(minimumWidth(), height() - hiddenHistory_.height());
        setMaximumSize(size());
    } else {
        // The height before the part shows: showing it lifts the window to the layout's minimum first.
        const int base = height();
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        p_History->show();
        layout()->activate();
        if (!hiddenHistory_.isEmpty()) resize(hiddenHistory_.width(), base + hiddenHistory_.height());
        hiddenHistory_ = QSize();
    }
}

void TFExchange::layoutFilialLabel() {
    if (layingOut_ || filialText_.isEmpty()) return;
    layingOut_ = true;
    // The label's width as the window lays it out now (also before it shows, and inside a resize).
    layout()->activate();
    p_Header->layout()->activate();
    const QFont font = l_FilialName->font();
    const int fontSize = qMax(1, QFontInfo(font).pixelSize());
    const int labelWidth = qMax(1, l_FilialName->width());
    const int wrapped = l_FilialName->fontMetrics()
                            .boundingRect(QRect(0, 0, labelWidth, 1 << 20), Qt::TextWordWrap, filialText_)
                            .height();
    QString text = filialText_;
    int growth = 0;
    if (wrapped >= 3 * filialLineHeight_) {
        growth = fontSize - 1;
        text = filialText_.left(labelWidth * 2 / fontSize) + QStringLiteral("...");
    }
    l_FilialName->setText(text);
    if (growth != filialGrowth_) {
        const int delta = growth - filialGrowth_;
        filialGrowth_ = growth;
        p_Header->setFixedHeight(headerHeight_ + growth);
        p_Exchange->setFixedHeight(exchangeHeight_ + growth);
        const bool pinned = maximumHeight() < QWIDGETSIZE_MAX;
        if (pinned) setMaximumHeight(maximumHeight() + delta);
        resize(width(), height() + delta);
        if (pinned) setMaximumSize(size());
    }
    layingOut_ = false;
}

void TFExchange::resizeEvent(QResizeEvent* event) {
    ui::Form::resizeEvent(event);
    layoutFilialLabel();
}

void TFExchange::formClose() {
    const os::IniFile ini(utl::SettingsFile::userIniFileName());
    ini.writeBool(kSection, kCheckedKey, chbx_ExchangeHistory->isChecked());
    ini.writeInt(kSection, QStringLiteral("Width"), width());
    ini.writeInt(kSection, QStringLiteral("Height"), height());
    utl::DbGridUtl::saveFormGridsLayout(this, QString(), ini.path());
}
