#include "u_DeskWindows.h"

#include <QLabel>
#include <QVBoxLayout>

#include "PenaltyInfoFrameUnit.h"
#include "PenaltyOperationEdit.h"
#include "f_PenaltyOrderEdit.h"
#include "platform/ui/DateEdit.h"
#include "f_Main.h"
#include "u_ContractDialogs.h"

namespace TolvMain {

void installDeskWindows() {
    ContractDialogs& d = contractDialogs();
    d.scNewContract = [](core::DateTime date, KassRegister::FiscalRegister* fr) {
        return TPenaltyOrderEditForm::scNewContract(date, fr);
    };
    d.scEditContract = [](int contractId, core::DateTime date) {
        return static_cast<int>(TPenaltyOrderEditForm::scEditContract(contractId, date));
    };
    d.scNewOperation = [](int contractId, core::DateTime date, KassRegister::FiscalRegister* fr) {
        return static_cast<int>(TAddPenaltyOpForm::scAddOperation(contractId, date, fr));
    };
    d.scEditOperation = [](int contractId, int opId) {
        return static_cast<int>(TAddPenaltyOpForm::scEditOperation(contractId, opId));
    };
    d.createContractInfoFrame = [](QWidget* place, grid::DataSource* contracts) {
        // Made with the global lists, so the dialogs save through the lists of this connection.
        TAddPenaltyOpForm::setVersionConfig(globalVersionConfig);
        TPenaltyOrderEditForm::setVersionConfig(globalVersionConfig);
        TAddPenaltyOpForm::setExceptionHandler([](const std::exception_ptr& error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                if (FMain) FMain->ApplicationEvents1Exception(e);
            }
        });
        auto* frame = new TPenaltyContractInfoFrame(place, contracts);
        // The side panel is narrow: a long client name is cut rather than squeezing the sums.
        frame->dbl_Client->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        frame->DebtDateEdit->setMinimumWidth(
            frame->DebtDateEdit->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
        if (!place->layout()) {
            auto* layout = new QVBoxLayout(place);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        place->layout()->addWidget(frame);
        frame->show();
        return ContractInfoFrame{frame, [frame] { frame->refreshDebt(); }, [frame] { frame->clearDebt(); },
                                 [frame] { return frame->debtDate(); }};
    };
}

}  // namespace TolvMain
