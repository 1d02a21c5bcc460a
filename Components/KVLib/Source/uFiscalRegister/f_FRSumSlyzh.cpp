#include "f_FRSumSlyzh.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "kv_Exception.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "kv_frCommon.h"
#include "platform/ui/CurrencyEdit.h"

namespace KassRegister {

namespace {}  // namespace

TFRSumSlyzh::TFRSumSlyzh(FiscalRegister& fr, int mode)
    : ui::Form(QStringLiteral("FRSumSlyzh")), fr_(fr), mode_(mode) {
    resize(300, 130);
    l_EnterSumm = new QLabel(this);
    l_EnterSumm->setObjectName(QStringLiteral("l_EnterSumm"));
    ced_FRSum = new ui::CurrencyEdit(this);
    ced_FRSum->setObjectName(QStringLiteral("ced_FRSum"));
    ced_FRSum->setRange(0, 99999999.99);
    // The form's own format: the configured currency name is not taken here.
    ced_FRSum->setDisplayFormat(QStringLiteral(",0.00 грн.'.';-,0.00 грн.'.'"));
    ced_FRSum->setToolTip(kvtr::tr("f_FRSumSlyzh.ced_FRSum.Hint", u"Сумма финансового кредита"));
    ed_Text = new QLineEdit(this);
    ed_Text->setObjectName(QStringLiteral("ed_Text"));
    ed_Text->setInputMask(QStringLiteral("9999;_"));
    ed_Text->hide();
    bt_OK = new QPushButton(kvtr::tr("f_FRSumSlyzh.bt_OK.Caption", u"Печать"), this);
    bt_OK->setObjectName(QStringLiteral("bt_OK"));
    bt_Cancel = new QPushButton(kvtr::tr("f_FRSumSlyzh.bt_Cancel.Caption", u"Отмена"), this);
    bt_Cancel->setObjectName(QStringLiteral("bt_Cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bt_OK);
    buttons->addWidget(bt_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(l_EnterSumm);
    layout->addWidget(ced_FRSum);
    layout->addWidget(ed_Text);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setDefaultButton(bt_OK);
    setCancelButton(bt_Cancel);
    connect(bt_OK, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(bt_Cancel, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });

    switch (mode) {
        case 0:
        case 1:
            setWindowTitle(mode == 0 ? kvtr::tr("f_FRSumSlyzh.Caption1", u"Служебное внесение")
                                     : kvtr::tr("f_FRSumSlyzh.Caption2", u"Служебное изъятие"));
            l_EnterSumm->setText(kvtr::tr("f_FRSumSlyzh.l_EnterSumm.Caption", u"Введите сумму"));
            break;
        case 2:
            setWindowTitle(kvtr::tr("f_FRSumSlyzh.Caption3", u"Возвратный чек"));
            l_EnterSumm->setText(
                kvtr::tr("f_FRSumSlyzh.l_EnterSumm.Caption1", u"Введите номер чека,кот. нужно возвратить"));
            ced_FRSum->hide();
            ed_Text->show();
            break;
        case 3:
            setWindowTitle(QStringLiteral("Пароль"));
            l_EnterSumm->setText(kvtr::tr("f_FRSumSlyzh.l_EnterSumm.Caption2", u"Введите пароль к ФР"));
            ced_FRSum->hide();
            ed_Text->setInputMask(QString());
            ed_Text->setMaxLength(10);
            ed_Text->setEchoMode(QLineEdit::Password);
            ed_Text->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
            ed_Text->show();
            bt_OK->setText(QStringLiteral("OK"));
            break;
        default:
            break;
    }
}

void TFRSumSlyzh::okClicked() {
    // A failure is reported as the application reports any; the dialog closes all the same.
    ui::runGuarded([this] {
        switch (mode_) {
            case 0:
            case 1:
                fr_.printSluzhKassa(Money100::toHundredths(ced_FRSum->value()), mode_ == 1);
                break;
            case 2: {
                bool ok = false;
                const int number = ed_Text->text().trimmed().toInt(&ok);
                if (!ok)
                    throw core::Exception(
                        QStringLiteral("'%1' is not a valid integer value").arg(ed_Text->text()));
                fr_.fiscalSetReturn(number);
                break;
            }
            default:
                password_ = ed_Text->text();
                break;
        }
    });
    setModalResult(ui::ModalResult::Ok);
}

void TFRSumSlyzh::scShowSlysh(FiscalRegister& fr, int mode) {
    if (mode < 0 || mode > 2)
        throw core::Exception(
            kvtr::tr("f_FRSumSlyzh.scShowSlysh.Exception", u"Неподдерживаемый режим показа формы") +
            utl::placeTrailer(QStringLiteral("TFRSumSlyzh::scShowSlysh"), QStringLiteral("f_FRSumSlyzh"),
                              77));
    TFRSumSlyzh dialog(fr, mode);
    dialog.showModal();
}

std::optional<QString> TFRSumSlyzh::askPassword(FiscalRegister& fr) {
    TFRSumSlyzh dialog(fr, 3);
    if (dialog.showModal() != ui::ModalResult::Ok) return std::nullopt;
    return dialog.password_;
}

QString TFRSumSlyzh::scShowPassword(FiscalRegister& fr) {
    const std::optional<QString> typed = askPassword(fr);
    if (!typed) throw FRNoSignal(noSignalText(), &fr);
    return *typed;
}

}  // namespace KassRegister
