#include "f_StorageTerms.h"

#include <QAbstractButton>

#include "PenaltyDirectories.h"
#include "kvF_DynPropsEdit.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/Form.h"

namespace TolvMain {

using TolvLogic::StorageTerms;
using TolvLogic::StorageTexts;
using namespace utl::DynProps;

bool scEditStorageTerms(QWidget* owner, StorageTerms& terms, const QString& typeNames,
                        const StorageTexts& texts) {
    TFKVDynPropsEdit dialog(owner, 6, texts.dialogCaption);
    DynPropsEdit& props = dialog.props();
    props.add<ControlPrmsComboBox>(QStringLiteral("cb_StorageParam"), texts.typesCaption, typeNames,
                                   terms.type - 1);
    props.add<ControlPrmsInt>(QStringLiteral("e_minStorageDays"), texts.minDaysCaption, terms.minDays,
                              texts.minDaysHint);
    props.add<ControlPrmsCheckBox>(QStringLiteral("cb_isStorageStartWPen"), texts.startCaption,
                                   terms.startWithPenalty);
    props.add<ControlPrmsFloat>(QStringLiteral("e_StorageVal"), texts.valueCaption, 2, terms.value,
                                texts.valueHint);
    props.build();
    if (dialog.showModal() != ui::ModalResult::Ok) return false;
    StorageTerms chosen;
    chosen.type = props.getInt(QStringLiteral("cb_StorageParam")) + 1;
    chosen.value = props.getFloat(QStringLiteral("e_StorageVal"));
    chosen.minDays = props.getInt(QStringLiteral("e_minStorageDays"));
    chosen.startWithPenalty = props.getBool(QStringLiteral("cb_isStorageStartWPen"));
    terms = chosen;
    return true;
}

namespace {

struct Message {
    const char* key;
    QString StorageTexts::*text;
    const char16_t* ukrainian;
};

const Message kMessages[] = {
    {"IDS_5", &StorageTexts::dialogCaption, u"Параметри зберігання"},
    {"IDS_10", &StorageTexts::typeLine, u"Тип зберігання: "},
    {"IDS_11", &StorageTexts::typesCaption, u"Типи розрахунку зберігання"},
    {"IDS_12", &StorageTexts::rateLine, u"Ставка: "},
    {"IDS_13", &StorageTexts::minDaysCaption, u"Мін. термін нарахування"},
    {"IDS_14", &StorageTexts::minDaysHint, u"Мін. термін нарахування оплати зберігання, діб"},
    {"IDS_15", &StorageTexts::minDaysLine, u"Мін. термін нарахувань: "},
    {"IDS_16", &StorageTexts::startCaption, u"Враховувати зберігання при нарахуванні пені"},
    {"IDS_17", &StorageTexts::startLine, u"Нараховувати при старті пені: "},
    {"IDS_18", &StorageTexts::valueCaption, u"Значення"},
    {"IDS_19", &StorageTexts::valueHint, u"Розмір оплати зберігання (% або сума)"},
    {"IDS_21", &StorageTexts::yes, u"Так"},
    {"IDS_22", &StorageTexts::no, u"Ні"},
};

}  // namespace

void addStorageMessages(ui::Form& form) {
    const StorageTexts russian;
    for (const Message& m : kMessages)
        form.addMessage(QString::fromLatin1(m.key), russian.*m.text, QString::fromUtf16(m.ukrainian));
}

StorageTexts storageTexts(const ui::Form& form) {
    StorageTexts texts;
    for (const Message& m : kMessages) {
        const QString text = form.message(QString::fromLatin1(m.key));
        if (!text.isEmpty()) texts.*m.text = text;
    }
    return texts;
}

StorageFeeField::StorageFeeField(ui::CurrencyEdit* e_Storage, QAbstractButton* b_Storage,
                                 TolvLogic::TPenaltyContractInfo& contract,
                                 TolvLogic::StorageTypes& storageTypes, StorageTerms& terms, QObject* parent)
    : QObject(parent),
      e_Storage_(e_Storage),
      b_Storage_(b_Storage),
      contract_(contract),
      storageTypes_(storageTypes),
      terms_(terms) {
    connect(e_Storage, &ui::CurrencyEdit::valueChanged, this, [this] {
        if (!showing_) ui::runGuarded([this] { e_StorageChange(); });
    });
    connect(b_Storage, &QAbstractButton::clicked, this,
            [this] { ui::runGuarded([this] { ce_StorageButtonClick(); }); });
}

void StorageFeeField::showStorage() {
    const int fee = TolvLogic::writeStorageTerms(contract_, terms_);
    if (!e_Storage_) return;
    showing_ = true;
    // Left alone when it already shows the fee, so a sum being typed keeps its text and cursor.
    if (e_Storage_->hundredths() != fee) e_Storage_->setHundredths(fee);
    showing_ = false;
    e_Storage_->setToolTip(TolvLogic::storageHint(terms_, texts_));
}

void StorageFeeField::e_StorageChange() {
    terms_.type = 1;
    terms_.value = e_Storage_->value();
    try {
        showStorage();
    } catch (const core::Exception& e) {
        terms_.value = 0;
        showing_ = true;
        e_Storage_->setValue(0);
        showing_ = false;
        showStorage();
        emit termsChanged();
        ui::showError(e.message());
        return;
    }
    emit termsChanged();
}

bool StorageFeeField::ce_StorageButtonClick() {
    const QString names = storageTypes_.getNamesText(QStringLiteral("|"));
    if (!scEditStorageTerms(e_Storage_ ? e_Storage_->window() : nullptr, terms_, names, texts_)) return false;
    showStorage();
    emit termsChanged();
    return true;
}

}  // namespace TolvMain
