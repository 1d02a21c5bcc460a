#pragma once
// The dollar rate of one day for one branch: the rate to set, the branch's rate history of a period
// (shown on demand) with its export to Excel. The rate cannot be changed once contracts indexed to the
// dollar, or their operations, exist on or after that day in that branch.

#include <QSize>
#include <memory>

#include "platform/core/DateTime.h"
#include "platform/grid/GridView.h"
#include "platform/ui/Form.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;

namespace TolvLogic {
class TExchangeHistory;
class TExchangeInfo;
}  // namespace TolvLogic
namespace ui {
class DbGrid;
class NumberEdit;
}  // namespace ui

class TFExchange : public ui::Form {
    Q_OBJECT
public:
    TFExchange(QWidget* owner, core::DateTime date, int filialId);
    ~TFExchange() override;

    // Shows the window modally for the branch and day; OK when a rate was stored.
    static ui::ModalResult scExecute(int filialId, core::DateTime date);
    // The day's rate in the edit, the date and the branch in the header: what scExecute shows.
    void fill();

    bool isLocked() const { return locked_; }
    TolvLogic::TExchangeHistory& history() { return *history_; }

    QFrame* p_Header;
    QLabel* l_DateVal;
    QLabel* l_FilialName;
    QFrame* p_Exchange;
    ui::NumberEdit* rxed_Exchange;
    QCheckBox* chbx_ExchangeHistory;
    QPushButton* bt_Ok;
    QPushButton* bt_Cancel;
    QFrame* p_Warrnings;
    QLabel* l_Warrning;
    QFrame* p_History;
    QComboBox* cBx_Month;
    QDateEdit* deBeg;
    QDateEdit* deEnd;
    QPushButton* bt_Show;
    QPushButton* bt_ExpToExcel;
    ui::DbGrid* greh_ExchangeHistory;

    // The designed size of the window with its history shown.
    static constexpr int kDesignWidth = 318;
    static constexpr int kDesignHeight = 470;

protected:
    void formClose() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void bt_OkClick();
    void cBx_MonthChange();
    void bt_ShowClick();
    void bt_ExpToExcelClick();
    void chbx_ExchangeHistoryClick();
    void showHistory(bool show);
    void layoutFilialLabel();
    // Contracts indexed to the dollar dated on or after the day in the branch, or operations of such
    // contracts on or after it.
    bool isRateLocked() const;

    int filialId_;
    core::DateTime date_;
    std::unique_ptr<TolvLogic::TExchangeInfo> exchange_;
    std::unique_ptr<TolvLogic::TExchangeHistory> history_;
    grid::DataSource historySource_;
    bool locked_ = false;
    // The window's width and the history part's height while the history is hidden.
    QSize hiddenHistory_;
    QString filialText_;
    int headerHeight_ = 0;
    int exchangeHeight_ = 0;
    int filialLineHeight_ = 0;
    int filialGrowth_ = 0;
    bool layingOut_ = false;
};
