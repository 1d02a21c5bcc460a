#pragma once
// The document system of the library. This unit holds, for now, the parameter group: the values and
// tables a document event hands its templates, as the texts the templates print.

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "platform/core/Variant.h"

namespace data {
class Dataset;
}
namespace ufb {
class TDBRecord;
}

namespace ReportSys {

// One group of template values (COMMON, CONTRACT ...): values by name, the first value of a name kept,
// and the datasets of the template's tables (not owned: the group that fills them owns them).
class ReportParameters {
public:
    explicit ReportParameters(const QString& code);
    virtual ~ReportParameters() = default;

    const QString& getCode() const { return code_; }
    // Forgets all values and datasets; frees none of the datasets.
    void clear();

    // A null or unassigned value adds nothing; qualified names are stored as CODE@NAME.
    void addParam(const QString& name, const core::Variant& value, bool qualify = true);
    // Six values: NAME, NAME_F, NAME_F4, NAME_T (in words), NAME_E, NAME_FE. The amount is in currency
    // units with hundredths as the fraction; it is only formatted, never computed with.
    void addMoneyParam(const QString& name, double amount);
    // Every field of the record under its column name; the stored percentages become percents.
    void addRecordFields(const ufb::TDBRecord& record);
    void addDataSet(data::Dataset* dataset);

    QStringList getNames() const;
    QString getValue(const QString& name) const;
    QStringList getDataSetNames() const;
    // By component name, case-sensitive; nullptr when absent.
    data::Dataset* getDataSet(const QString& name) const;
    std::vector<data::Dataset*> getDataSetArray() const { return datasets_; }
    int getDataSetCount() const { return static_cast<int>(datasets_.size()); }
    bool hasValues() const { return !values_.empty() || !datasets_.empty(); }

    // The text a template prints for a value: dates as the date alone when the time is zero, numbers
    // in the general form with "." as the separator, others as the platform converts them.
    static QString valueToText(const core::Variant& value);

private:
    QString code_;
    std::map<QString, QString> values_;  // ordered by character code
    std::vector<data::Dataset*> datasets_;
};

}  // namespace ReportSys
