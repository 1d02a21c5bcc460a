#include "kv_frForms.h"

#include "f_FROplata.h"
#include "f_FRSumSlyzh.h"
#include "kv_frCommon.h"

namespace KassRegister {

namespace {

[[noreturn]] void notInstalled(const QString& window) {
    throw core::Exception(frText(QStringLiteral("kv_fiscalRegister.FiscalRegister.dialogs.Exception"),
                                 QStringLiteral("Окна фискального регистратора не подключены: ")) +
                          window);
}

class RegisterForms : public FRDialogs {
public:
    void showSluzh(FiscalRegister& fr, int mode) override { TFRSumSlyzh::scShowSlysh(fr, mode); }
    // The periodic report and the programming dialogs are not part of this program yet.
    void showZReportPeriod(FiscalRegister&) override { notInstalled(QStringLiteral("showZReportPeriod")); }
    void showSettings(FiscalRegister&) override { notInstalled(QStringLiteral("showSettings")); }
    std::optional<QString> askPassword(FiscalRegister& fr) override { return TFRSumSlyzh::askPassword(fr); }
    bool showPayment(FiscalRegister& fr, const std::vector<FRLine>& lines) override {
        auto* model = dynamic_cast<FRMariya*>(&fr);
        if (!model) notInstalled(QStringLiteral("showPayment"));
        return TFROplata::scShowOplata(*model, lines);
    }
};

}  // namespace

void installFiscalRegisterForms() {
    static RegisterForms forms;
    FiscalRegister::setDialogs(&forms);
}

}  // namespace KassRegister
