#pragma once
// The storage terms in the contract editor: the fee field (e_Storage) that shows the daily fee with a
// summary as its hint and takes a typed fixed fee, and the "..." button (b_Storage) that edits all the
// terms in the dynamic property editor ("Параметры хранения").

#include <QObject>
#include <QPointer>
#include <QString>

#include "u_StorageTerms.h"

class QAbstractButton;
class QWidget;

namespace ui {
class CurrencyEdit;
class Form;
}  // namespace ui

namespace TolvLogic {
class StorageTypes;
}

namespace TolvMain {

// The storage dialog: a choice of the types (names separated by "|"), the minimum days, the
// penalty-start flag and the value, 6 row units a column. True after OK, with the terms replaced;
// Cancel leaves them as they were.
bool scEditStorageTerms(QWidget* owner, TolvLogic::StorageTerms& terms, const QString& typeNames,
                        const TolvLogic::StorageTexts& texts = {});

// The editor's storage texts (IDS_5, IDS_10 to IDS_19, IDS_21, IDS_22) in Russian and Ukrainian,
// added to its table of messages.
void addStorageMessages(ui::Form& form);
// The texts as the form's table holds them in the active language; defaults for keys it lacks.
TolvLogic::StorageTexts storageTexts(const ui::Form& form);

// The fee field and its button over the contract and the terms the editor keeps (both stay the
// caller's and outlive this object).
class StorageFeeField : public QObject {
    Q_OBJECT
public:
    StorageFeeField(ui::CurrencyEdit* e_Storage, QAbstractButton* b_Storage,
                    TolvLogic::TPenaltyContractInfo& contract, TolvLogic::StorageTypes& storageTypes,
                    TolvLogic::StorageTerms& terms, QObject* parent = nullptr);

    void setTexts(const TolvLogic::StorageTexts& texts) { texts_ = texts; }

    // Writes the terms into the contract (which derives the daily fee) and shows the fee and the
    // four-line hint; the field's change handler is off meanwhile.
    void showStorage();
    // A fee typed into the field: a fixed sum of that amount. A sum too large for the contract sets
    // the fee to 0 and shows the error.
    void e_StorageChange();
    // The dialog; on OK the terms it returns are shown. True after OK.
    bool ce_StorageButtonClick();

signals:
    // After the terms changed by typing or by the dialog.
    void termsChanged();

private:
    QPointer<ui::CurrencyEdit> e_Storage_;
    QPointer<QAbstractButton> b_Storage_;
    TolvLogic::TPenaltyContractInfo& contract_;
    TolvLogic::StorageTypes& storageTypes_;
    TolvLogic::StorageTerms& terms_;
    TolvLogic::StorageTexts texts_;
    bool showing_ = false;
};

}  // namespace TolvMain
