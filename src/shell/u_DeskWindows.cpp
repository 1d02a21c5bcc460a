#include "u_DeskWindows.h"

#include <QVBoxLayout>

#include "PenaltyInfoFrameUnit.h"
#include "PenaltyOperationEdit.h"
#include "f_Main.h"
#include "u_ContractDialogs.h"

namespace TolvMain {

void installDeskWindows() {
    ContractDialogs& d = contractDialogs();
    d.scNewOperation = [](int contractId, core::DateTime date, KassRegister::FiscalRegister* fr) {
        return static_cast<int>(TAddPenaltyOpForm::scAddOperation(contractId, date, fr));
    };
    d.scEditOperation = [](int contractId, int opId) {
        return static_cast<int>(TAddPenaltyOpForm::scEditOperation(contractId, opId));
    };
    d.createContractInfoFrame = [](QWidget* place, grid::DataSource* contracts) {
        // Made with the global lists, so the dialog saves through the lists of this connection.
        TAddPenaltyOpForm::setVersionConfig(globalVersionConfig);
        TAddPenaltyOpForm::setExceptionHandler([](const std::exception_ptr& error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                if (FMain) FMain->ApplicationEvents1Exception(e);
            }
        });
        auto* frame = new TPenaltyContractInfoFrame(place, contracts);
        if (!place->layout()) {
            auto* layout = new QVBoxLayout(place);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        place->layout()->addWidget(frame);
        frame->show();
        return ContractInfoFrame{frame, [frame] { frame->refreshDebt(); }, [frame] { frame->clearDebt(); }};
    };
}

}  // namespace TolvMain
