#include "u_Exchange.h"

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/MemTable.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

using kvtr::tr;

QString column(int index) {
    return QString::fromLatin1(dirExchangeFields[index]);
}

}  // namespace

// ---- TExchangeInfo --------------------------------------------------------------------------------

TExchangeInfo::TExchangeInfo(int filialId, DateTime date)
    : TDBRecord(QStringLiteral("DIR_EXCHANGE"), nullptr), filialId_(filialId), date_(date) {
    SetKey(column(eID_FILIAL), filialId);
    // The day itself, not its text: the text follows the user's date format, which the server does not
    // read.
    SetKey(column(eDATA), date.datePart());
    exists_ = Select() > 0;
}

Variant TExchangeInfo::getValue(int index) const {
    return GetField(column(index), true);
}

void TExchangeInfo::setValue(int index, const Variant& value) {
    SetField(column(index), value);
}

bool TExchangeInfo::findRate(double& rate, DateTime date) const {
    if (exists_) {
        rate = getRate();
        return true;
    }
    const DateTime day = date.dayNumber() == 0 ? date_ : date;
    ufb::AutoQuery q(QStringLiteral("select * from DIR_EXCHANGE where DATA < :DAY and ID_FILIAL = ") +
                         QString::number(filialId_) + QStringLiteral(" order by DATA desc"),
                     nullptr);
    q->setParam(QStringLiteral("DAY"), day.datePart());
    q->open();
    rate =
        q->isEmpty() ? 1.0 : Money100::fromTenThousandths(q->fieldByName(column(eUSD_EXCHANGE)).asLargeInt());
    return false;
}

double TExchangeInfo::getRate() const {
    if (exists_) return Money100::fromTenThousandths(getValue(eUSD_EXCHANGE).toDouble());
    double rate = 1.0;
    findRate(rate, date_);
    return rate;
}

void TExchangeInfo::setRate(double rate) {
    setValue(eUSD_EXCHANGE, Money100::toTenThousandths(rate));
}

void TExchangeInfo::save() {
    const Variant rate = GetField(column(eUSD_EXCHANGE), false);
    if (rate.isEmpty() || rate.toInt64() <= 0) {
        throw core::Exception(
            tr("u_Exchange.TExchangeInfo.save.Exception", u"Курс доллара должен быть больше нуля"));
    }
    if (exists_) {
        Update();
    } else {
        Insert();
        // The row exists now: a second save must not add another row for the same day.
        exists_ = true;
    }
}

// ---- TExchangeHistory -----------------------------------------------------------------------------

TExchangeHistory::TExchangeHistory(int filialId, DateTime beginDate, DateTime endDate, DateTime locateDate)
    : RxMemWrapper(QStringLiteral("ID")),
      filialId_(filialId),
      beginDate_(beginDate),
      endDate_(endDate),
      locateDate_(locateDate) {
    initFields();
}

void TExchangeHistory::initFields() {
    addBooleanField(QStringLiteral("SIGN"));
    addDateField(QStringLiteral("DATA"));
    addFloatField(QStringLiteral("EXCHANGE"), QStringLiteral("0.0000"), QStringLiteral("0.0000"));
    addColumnEh(QStringLiteral("DATA"), 70, tr("field.DATE", u"Дата"));
    addColumnEh(QStringLiteral("EXCHANGE"), 50, tr("field.VALUE", u"Значение"));
}

void TExchangeHistory::setPeriod(DateTime beginDate, DateTime endDate) {
    beginDate_ = beginDate;
    endDate_ = endDate;
}

void TExchangeHistory::reload() {
    data::Dataset& table = *getDataSet();
    data::ControlsDisabled quiet(table);
    table.close();
    table.open();
    for (DateTime day = beginDate_.datePart(); day <= endDate_.datePart(); day = day.addDays(1)) {
        table.append();
        table.fieldByName(QStringLiteral("DATA")).setValue(day);
        const TExchangeInfo info(filialId_, day);
        double rate = 1.0;
        table.fieldByName(QStringLiteral("SIGN")).setValue(info.findRate(rate, DateTime()));
        table.fieldByName(QStringLiteral("EXCHANGE")).setValue(rate);
        table.post();
    }
    table.first();
    if (!locateDate_.isZero()) table.locate(QStringLiteral("DATA"), locateDate_.datePart());
}

TExchangeHistory::Shade TExchangeHistory::onGetCellParams(int row) {
    data::Dataset& table = *getDataSet();
    const Variant sign = table.valueAt(row, table.fieldByName(QStringLiteral("SIGN")).index());
    return !sign.isEmpty() && sign.toBool() ? Shade::Own : Shade::Carried;
}

void TExchangeHistory::assignGridEvents() {
    RxMemWrapper::assignGridEvents();
    for (grid::GridView* g : {getGrid(), getGridEh()}) {
        if (!g) continue;
        g->onCellStyle = [this](int row, const grid::Column&, grid::CellStyle& style) {
            style.text = onGetCellParams(row) == Shade::Own ? 0x000000u : 0x808080u;
        };
    }
}

}  // namespace TolvLogic
