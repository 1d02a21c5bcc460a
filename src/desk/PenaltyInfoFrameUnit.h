#pragma once
// The contract debt frame of the main window: the number, the client and the debt on a chosen date of
// the contract selected in the contract list (the current row of the list's data source), and the
// dollar rate of its branch on that date when dollar indexing is in use.

#include <QFrame>
#include <QMetaObject>

#include "platform/core/DateTime.h"

class QLabel;
class QPushButton;

namespace data {
class Dataset;
}
namespace grid {
class DataSource;
}
namespace ui {
class DateEdit;
}

// An amount of the desk's debt panels: bold, right-aligned, ". . ." until it is filled.
QLabel* newAmountLabel(QWidget* parent, const char* name, int minimumWidth);

class TPenaltyContractInfoFrame : public QFrame {
    Q_OBJECT
public:
    // An empty frame in the parent over the main window's contract list source (not owned).
    TPenaltyContractInfoFrame(QWidget* parent, grid::DataSource* contracts);
    ~TPenaltyContractInfoFrame() override;

    // Everything again from the current row.
    virtual void refreshDebt();
    // ". . ." in the five amounts.
    void clearDebt();
    void showRate(int branchId);
    void showRateControls(bool visible);
    void bt_ExchangeClick();
    // The date the debt is shown for (0 when the field is empty).
    core::DateTime debtDate() const;
    int rateBranchId() const { return rateBranchId_; }

    QLabel* dbl_ContractNum;
    QLabel* dbl_Client;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* l_Storage;
    QLabel* TotalLabel;
    ui::DateEdit* DebtDateEdit;
    QLabel* l_Exchange;
    QLabel* st_Exchange;
    QPushButton* bt_Exchange;

private:
    void DebtDateEditChange();
    // The data-aware labels follow the current row of whichever dataset the source holds.
    void followRow();
    void showRowTexts();
    data::Dataset* rows() const;

    grid::DataSource* contracts_;
    data::Dataset* followed_ = nullptr;
    QMetaObject::Connection rowMoved_;
    QMetaObject::Connection rowsReset_;
    QMetaObject::Connection rowEdited_;
    int rateBranchId_ = 0;
    bool refreshing_ = false;
};
