#pragma once
// The services frame: the panel in which a dialog shows the additional services of its event, in a
// grid with a total, where the user edits a row's name and price, adds a service picked from the
// directory of the event and deletes one. Every change goes through the dialog's services list,
// which tells the dialog through its change callback.

#include <QFrame>
#include <memory>

#include "platform/grid/GridView.h"

class QToolButton;

namespace fb {
class Transaction;
}
namespace ui {
class DbGrid;
}
namespace TolvLogic {
class AddServices;
class DirAddServices;
}  // namespace TolvLogic

class TFr_AddServicesList : public QFrame {
public:
    // Placed in the parent when one is given (else in the owner); shows the list at once.
    TFr_AddServicesList(QWidget* owner, fb::Transaction* transaction, QWidget* parent,
                        TolvLogic::AddServices* services);
    ~TFr_AddServicesList() override;

    // Shows another list (the operation dialog switches events); the picker offers its event's
    // services.
    void setServices(TolvLogic::AddServices* services);
    TolvLogic::AddServices* services() const { return services_; }
    TolvLogic::DirAddServices* directory() const { return directory_.get(); }
    // The frame's texts "IDS_0" and "IDS_1" in the interface language.
    QString message(const QString& key) const;

    void b_AddServiceClick();
    void b_DeleteServiceClick();
    void bt_SetGridClick();

    // Components.
    QFrame* p_Grid;
    ui::DbGrid* gr_Prices;
    QFrame* p_Buttons;
    QToolButton* b_AddService;
    QToolButton* b_DeleteService;
    grid::DataSource DataSource1;

private:
    void release();

    // The dialog's. The directory list does not work in it: the directory form commits its list's
    // transaction, which must never commit the dialog's unsaved rows.
    fb::Transaction* transaction_;
    std::unique_ptr<TolvLogic::DirAddServices> directory_;
    TolvLogic::AddServices* services_ = nullptr;
};
