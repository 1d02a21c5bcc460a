#pragma once
// The dialog of the constant terms proposed for new contracts (section "DEFAULTS" of the
// database-stored settings): interest, penalty and storage fee with their minimum days and flags.

#include "platform/ui/Form.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

namespace ui {
class NumberEdit;
}

class TFConstParams : public ui::Form {
    Q_OBJECT
public:
    explicit TFConstParams(QWidget* owner = nullptr);

    // Makes the dialog, fills it from the settings and shows it modally; the keys are written by OK.
    static void scExecute();

    // The controls take the stored values (or their defaults) and the storage kinds.
    void fill();
    // Writes the nine keys, each in a transaction of its own, and closes the dialog with OK.
    void b_OKClick();

    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    ui::NumberEdit* DayPercEdit;
    ui::NumberEdit* PenaltyPercEdit;
    ui::NumberEdit* ce_minAccrualDays;
    QCheckBox* chBx_isCalcPercWithPenalty;
    QCheckBox* chBx_isPenaltyCalcFromRetSum;
    QComboBox* cbox_StorageTypes;
    ui::NumberEdit* cedit_StorageVal;
    ui::NumberEdit* cedit_MinStorageDays;
    QCheckBox* chbox_isStorCalcWPen;
    QPushButton* b_OK;
    QPushButton* b_Cancel;

protected:
    void formShow() override;
};
