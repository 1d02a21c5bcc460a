#include "kv_RtfUtil.h"

#include "kv_ReportSystem.h"
#include "platform/data/Dataset.h"
#include "platform/os/Shell.h"
#include "platform/rtf/RtfEngine.h"

namespace ReportSys {

void addRtfVar(rtf::Engine& engine, const QString& name, const core::Variant& value) {
    if (value.isEmpty() || engine.hasVar(name)) return;
    engine.createVar(name, ReportParameters::valueToText(value));
}

QString executeRtf(rtf::Engine& engine, const std::vector<data::Dataset*>& datasets, bool open) {
    std::vector<rtf::Table> tables;
    tables.reserve(datasets.size());
    for (data::Dataset* d : datasets) {
        rtf::Table t{d->objectName(), d->fieldNames(), {}};
        const int rows = d->active() ? d->recordCount() : 0;
        t.rows.reserve(rows);
        for (int r = 0; r < rows; ++r) {
            QStringList texts;
            for (int f = 0; f < d->fieldCount(); ++f) texts << d->textAt(r, f, true);
            t.rows.push_back(std::move(texts));
        }
        tables.push_back(std::move(t));
    }
    const QString name = engine.execute(tables);
    if (open) os::openDocument(name);
    return name;
}

}  // namespace ReportSys
