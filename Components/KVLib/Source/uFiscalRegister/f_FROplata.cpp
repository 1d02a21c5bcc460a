#include "f_FROplata.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cstdlib>

#include "kv_Money100.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "kv_frCommon.h"
#include "platform/data/Field.h"
#include "platform/data/MemTable.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DbGrid.h"

namespace KassRegister {

namespace {

const QString kMoney = QStringLiteral(",0.00");
// Each list's share of the dialog; a hidden list gives its height back.
constexpr int kGroupHeight = 220;

std::unique_ptr<data::MemTable> makeTable() {
    auto table = std::make_unique<data::MemTable>();
    table->addField(QStringLiteral("NAME"), data::DataType::String, 255);
    table->addField(QStringLiteral("SUMM"), data::DataType::Float);
    table->addField(QStringLiteral("TAX_TYPE"), data::DataType::String, 255);
    table->addField(QStringLiteral("TAX_SUMM"), data::DataType::Float);
    table->addField(QStringLiteral("TOTAL"), data::DataType::Float);
    for (const char* name : {"SUMM", "TAX_SUMM", "TOTAL"})
        table->fieldByName(QString::fromLatin1(name)).setDisplayFormat(kMoney);
    table->open();
    return table;
}

std::vector<grid::Column> columns() {
    auto column = [](const char* field, int width, const char* key, const char16_t* title) {
        grid::Column c;
        c.fieldName = QString::fromLatin1(field);
        c.width = width;
        c.title = kvtr::tr(key, title);
        return c;
    };
    return {column("NAME", 170, "f_FROplata.grid_col_NAME", u"Наименование"),
            column("SUMM", 80, "f_FROplata.grid_col_SUMM", u"Сумма"),
            column("TAX_TYPE", 110, "f_FROplata.grid_col_TAX_TYPE", u"Налож. налог|Тип"),
            column("TAX_SUMM", 90, "f_FROplata.grid_col_TAX_SUMM", u"Налож. налог|Сумма"),
            column("TOTAL", 80, "f_FROplata.grid_col_TOTAL", u"Итого")};
}

ui::CurrencyEdit* moneyEdit(QWidget* parent, const char* name, bool readOnly) {
    auto* edit = new ui::CurrencyEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(0, 99999999.99);
    edit->setReadOnly(readOnly);
    if (readOnly) edit->setFocusPolicy(Qt::NoFocus);
    return edit;
}

}  // namespace

TFROplata::TFROplata(FRMariya& fr, const FiscalRegister::Lines& lines)
    : ui::Form(QStringLiteral("FROplata")), fr_(fr), toPay_(makeTable()), toPayOut_(makeTable()) {
    setWindowTitle(QStringLiteral("Оплата"));
    resize(600, 560);

    auto groupWithGrid = [this](const char* name, ui::DbGrid*& gridOut, const char* gridName) {
        auto* group = new QGroupBox(this);
        group->setObjectName(QString::fromLatin1(name));
        group->setMinimumHeight(kGroupHeight);
        gridOut = new ui::DbGrid(grid::GridKind::Eh, group);
        gridOut->setObjectName(QString::fromLatin1(gridName));
        gridOut->setColumns(columns());
        auto* layout = new QVBoxLayout(group);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(gridOut);
        return group;
    };
    gr_ToPay = groupWithGrid("gr_ToPay", grid_ToPay, "grid_ToPay");
    gr_ToPayOut = groupWithGrid("gr_ToPayOut", grid_ToPayOut, "grid_ToPayOut");

    p_Input = new QFrame(this);
    p_Input->setObjectName(QStringLiteral("p_Input"));
    l_Summa = new QLabel(p_Input);
    l_Summa->setObjectName(QStringLiteral("l_SummaToPay"));
    l_Cash = new QLabel(p_Input);
    l_Cash->setObjectName(QStringLiteral("l_Cash"));
    l_Change = new QLabel(p_Input);
    l_Change->setObjectName(QStringLiteral("l_Change"));
    ced_Summa = moneyEdit(p_Input, "ced_Summa", true);
    ced_Cash = moneyEdit(p_Input, "ced_Cash", false);
    ced_Change = moneyEdit(p_Input, "ced_Change", true);
    // The change shows how much is missing as well.
    ced_Change->setMinimum(-99999999.99);
    auto* input = new QGridLayout(p_Input);
    input->setContentsMargins(4, 4, 4, 4);
    input->addWidget(l_Summa, 0, 0);
    input->addWidget(ced_Summa, 0, 1);
    input->addWidget(l_Cash, 1, 0);
    input->addWidget(ced_Cash, 1, 1);
    input->addWidget(l_Change, 2, 0);
    input->addWidget(ced_Change, 2, 1);

    bt_OK = new QPushButton(QStringLiteral("OK"), this);
    bt_OK->setObjectName(QStringLiteral("bt_OK"));
    bt_Cnacel = new QPushButton(this);
    bt_Cnacel->setObjectName(QStringLiteral("bt_Cnacel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bt_OK);
    buttons->addWidget(bt_Cnacel);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(p_Input);
    bottom->addStretch(1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gr_ToPay, 1);
    layout->addWidget(gr_ToPayOut, 1);
    layout->addLayout(bottom);

    setDefaultButton(bt_OK);
    setCancelButton(bt_Cnacel);
    connect(bt_OK, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(bt_Cnacel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    connect(ced_Cash, &QDoubleSpinBox::valueChanged, this, [this] { cashChanged(); });

    prepare(lines);
}

TFROplata::~TFROplata() {
    // The grids let go of their tables before the tables go.
    grid_ToPay->setDataSource(nullptr);
    grid_ToPayOut->setDataSource(nullptr);
}

bool TFROplata::scShowOplata(FRMariya& fr, const FiscalRegister::Lines& lines) {
    TFROplata dialog(fr, lines);
    dialog.showModal();
    return dialog.result();
}

void TFROplata::addLine(data::MemTable& table, const FRLine& line) {
    const qint64 sum = std::abs(qint64(line.sum));
    qint64 tax = 0;
    QStringList texts;
    for (const int index : {line.taxIndex1, line.taxIndex2}) {
        if (index == 0) continue;
        const NalogsSettings scheme = fr_.getNalog(index);
        if (scheme.type != 1 && scheme.type != 2) continue;
        const qint64 one = Money100::divRoundHalfEven(sum * scheme.rate, 10000);
        tax += scheme.type == 1 ? one : -one;
        texts << (scheme.type == 1 ? QStringLiteral("+") : QStringLiteral("-")) + fr_.nalogCodeByIndx(index) +
                     QLatin1Char(' ') +
                     QStringLiteral("%1.%2%")
                         .arg(scheme.rate / 100)
                         .arg(scheme.rate % 100, 2, 10, QLatin1Char('0'));
    }
    const qint64 total = sum + tax;
    table.append();
    table.fieldByName(QStringLiteral("NAME")).setValue(line.name);
    table.fieldByName(QStringLiteral("SUMM")).setValue(Money100::fromHundredths(double(sum)));
    if (!texts.isEmpty() && tax != 0) {
        table.fieldByName(QStringLiteral("TAX_TYPE")).setValue(texts.join(QStringLiteral("; ")));
        table.fieldByName(QStringLiteral("TAX_SUMM")).setValue(Money100::fromHundredths(double(tax)));
    }
    table.fieldByName(QStringLiteral("TOTAL")).setValue(Money100::fromHundredths(double(total)));
    table.post();
    total_ += line.sum > 0 ? total : -total;
}

void TFROplata::prepare(const FiscalRegister::Lines& lines) {
    l_Cash->setText(kvtr::tr("f_FROplata.l_Cash", u"Наличные"));
    l_Change->setText(kvtr::tr("f_FROplata.l_Change", u"Сдача"));
    bt_Cnacel->setText(kvtr::tr("f_FROplata.bt_Cnacel", u"Отмена"));
    gr_ToPay->setTitle(kvtr::tr("f_FROplata.gr_ToPay", u"К оплате"));
    gr_ToPayOut->setTitle(kvtr::tr("f_FROplata.gr_ToPayOut", u"К выдаче"));
    l_Summa->setText(kvtr::tr("f_FROplata.l_SummaToPay", u"Сумма к оплате"));
    for (ui::CurrencyEdit* edit : {ced_Summa, ced_Cash, ced_Change}) utl::Valuta::applyMoneyFormat(edit, {});

    for (const FRLine& line : lines)
        if (line.sum > 0) addLine(*toPay_, line);
    for (const FRLine& line : lines)
        if (line.sum < 0) addLine(*toPayOut_, line);

    payOut_ = toPay_->isEmpty() || total_ < 0;
    if (payOut_) {
        const int shrink = l_Cash->sizeHint().height() + l_Change->sizeHint().height();
        for (QWidget* w : std::initializer_list<QWidget*>{l_Cash, ced_Cash, l_Change, ced_Change}) w->hide();
        resize(width(), height() - shrink);
        l_Summa->setText(kvtr::tr("f_FROplata.l_SummaToPayOut", u"Сумма к выдаче"));
        bt_OK->setEnabled(true);
    } else {
        bt_OK->setEnabled(false);
    }

    for (auto [table, group, grid, source] :
         {std::tuple{toPay_.get(), gr_ToPay, grid_ToPay, &toPaySource_},
          std::tuple{toPayOut_.get(), gr_ToPayOut, grid_ToPayOut, &toPayOutSource_}}) {
        if (table->isEmpty()) {
            group->hide();
            resize(width(), height() - kGroupHeight);
            continue;
        }
        table->first();
        source->setDataSet(table);
        grid->setDataSource(source);
    }
    ced_Summa->setHundredths(std::abs(total_));
    if (!payOut_) cashChanged();
}

qint64 TFROplata::changeHundredths() const {
    return Money100::toHundredths(ced_Cash->value()) - std::abs(total_);
}

void TFROplata::cashChanged() {
    const qint64 change = changeHundredths();
    ced_Change->setHundredths(change);
    bt_OK->setEnabled(payOut_ || change >= 0);
}

void TFROplata::okClicked() {
    if (!payOut_ && changeHundredths() < 0) return;
    // A register that fails leaves the dialog open and its result as it was.
    ui::runGuarded([this] {
        fr_.closeCheckPayments(payOut_ ? 0 : Money100::toHundredths(ced_Cash->value()), 0, 0, 0);
        result_ = true;
        setModalResult(ui::ModalResult::Ok);
    });
}

void TFROplata::cancelClicked() {
    ui::runGuarded([this] {
        fr_.cancelCheck();
        result_ = false;
        setModalResult(ui::ModalResult::Cancel);
    });
}

}  // namespace KassRegister
