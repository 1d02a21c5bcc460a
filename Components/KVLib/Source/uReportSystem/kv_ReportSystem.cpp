#include "kv_ReportSystem.h"

#include <cmath>

#include "kv_DBRecord.h"
#include "kv_Money100.h"
#include "kv_Valuta.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"

namespace ReportSys {

namespace {

// Kept in hundredths of a percent in the database; templates print percents.
bool isStoredPercent(const QString& column) {
    static const QStringList names{QStringLiteral("DEPOSIT_PERC"), QStringLiteral("PENALTY_PERC"),
                                   QStringLiteral("DEPOSIT_DAY_PERC"), QStringLiteral("DEPOSIT_PERC_SUM"),
                                   QStringLiteral("DEPOSIT_DAY_PERC_SUM")};
    return names.contains(column);
}

// Four decimals of a value first taken to ten significant digits.
QString fixed4(double amount) {
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e10) return core::floatToStr(amount);
    return Money100::toStr(QString::number(amount, 'g', 10).toDouble(), 4);
}

}  // namespace

ReportParameters::ReportParameters(const QString& code) : code_(code) {}

void ReportParameters::clear() {
    values_.clear();
    datasets_.clear();
}

QString ReportParameters::valueToText(const core::Variant& value) {
    return value.toText();
}

void ReportParameters::addParam(const QString& name, const core::Variant& value, bool qualify) {
    if (value.isEmpty()) return;
    values_.emplace(qualify ? code_ + QLatin1Char('@') + name : name, valueToText(value));
}

void ReportParameters::addMoneyParam(const QString& name, double amount) {
    const QString fixed = Money100::toStr(amount, 2);
    addParam(name, amount);
    addParam(name + QStringLiteral("_F"), fixed);
    addParam(name + QStringLiteral("_F4"), fixed4(amount));
    addParam(name + QStringLiteral("_T"), utl::Valuta::sumToText(amount, utl::Valuta::getValutaLanguage()));
    addParam(name + QStringLiteral("_E"), amount == 0 ? QString() : QStringLiteral("0"));
    addParam(name + QStringLiteral("_FE"), amount == 0 ? QString() : fixed);
}

void ReportParameters::addRecordFields(const ufb::TDBRecord& record) {
    for (const auto& [column, value] : record.values()) {
        if (isStoredPercent(column) && !value.isEmpty())
            addParam(column, value.toDouble() / 100.0);
        else
            addParam(column, value);
    }
}

void ReportParameters::addDataSet(data::Dataset* dataset) {
    if (dataset) datasets_.push_back(dataset);
}

QStringList ReportParameters::getNames() const {
    QStringList names;
    for (const auto& [name, value] : values_) names << name;
    return names;
}

QString ReportParameters::getValue(const QString& name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? QString() : it->second;
}

QStringList ReportParameters::getDataSetNames() const {
    QStringList names;
    for (const data::Dataset* d : datasets_) names << d->objectName();
    return names;
}

data::Dataset* ReportParameters::getDataSet(const QString& name) const {
    for (data::Dataset* d : datasets_)
        if (d->objectName() == name) return d;
    return nullptr;
}

}  // namespace ReportSys
