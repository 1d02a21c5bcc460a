#include "f_ClientInfo.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "PenaltyContracts.h"
#include "kv_settingsFile.h"

namespace {

using Contract = TolvLogic::TPenaltyContractInfo;

// Read-only, on the tooltip background, so that the card never looks editable.
QLineEdit* readOnlyEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    edit->setPalette(p);
    return edit;
}

}  // namespace

TFClientInfo::TFClientInfo(QWidget* owner, const TolvLogic::TPenaltyContractInfo& contract)
    : ui::Form(
          QStringLiteral("FClientInfo"), owner,
          Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    addCaption(this, "windowTitle", QStringLiteral("Информация о клиенте"),
               QStringLiteral("Інформація про клієнта"));

    auto* layout = new QVBoxLayout(this);
    auto group = [this, layout](const char* name, const QString& ru, const QString& uk) {
        auto* box = new QGroupBox(this);
        box->setObjectName(QString::fromLatin1(name));
        addCaption(box, "title", ru, uk);
        layout->addWidget(box);
        return box;
    };
    auto row = [this](QGroupBox* box, QFormLayout* form, const char* name, const QString& ru,
                      const QString& uk) {
        QLineEdit* edit = readOnlyEdit(box, name);
        auto* label = new QLabel(box);
        addCaption(label, "text", ru, uk);
        label->setBuddy(edit);
        form->addRow(label, edit);
        return edit;
    };

    QGroupBox* client = group("gb_client", QStringLiteral("Клиент"), QStringLiteral("Клієнт"));
    auto* clientForm = new QFormLayout(client);
    ed_clientName =
        row(client, clientForm, "ed_clientName", QStringLiteral("Ф.И.О."), QStringLiteral("П.І.Б."));
    ed_clientAddress =
        row(client, clientForm, "ed_clientAddress", QStringLiteral("Адрес"), QStringLiteral("Адреса"));
    ed_clientInn = row(client, clientForm, "ed_clientInn", QStringLiteral("ИНН"), QStringLiteral("ІПН"));
    ed_clientPhone =
        row(client, clientForm, "ed_clientPhone", QStringLiteral("Телефон"), QStringLiteral("Телефон"));

    QGroupBox* passport = group("gb_passport", QStringLiteral("Паспорт"), QStringLiteral("Паспорт"));
    auto* passportForm = new QFormLayout(passport);
    ed_clientPassportSN =
        row(passport, passportForm, "ed_clientPassportSN", QStringLiteral("Серия"), QStringLiteral("Серія"));
    ed_clientPassportNum =
        row(passport, passportForm, "ed_clientPassportNum", QStringLiteral("Номер"), QStringLiteral("Номер"));
    ed_clientPassportInfo = row(passport, passportForm, "ed_clientPassportInfo", QStringLiteral("Кем выдан"),
                                QStringLiteral("Ким виданий"));
    ed_clientPassportDate = row(passport, passportForm, "ed_clientPassportDate",
                                QStringLiteral("Дата выдачи"), QStringLiteral("Дата видачі"));

    QGroupBox* note = group("gb_note", QStringLiteral("Примечание"), QStringLiteral("Примітка"));
    auto* noteLayout = new QVBoxLayout(note);
    memo_clientInfo = new QPlainTextEdit(note);
    memo_clientInfo->setObjectName(QStringLiteral("memo_clientInfo"));
    memo_clientInfo->setReadOnly(true);
    memo_clientInfo->setFixedHeight(60);
    QPalette p = memo_clientInfo->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    memo_clientInfo->setPalette(p);
    noteLayout->addWidget(memo_clientInfo);

    bt_Ok = new QPushButton(QStringLiteral("OK"), this);
    bt_Ok->setObjectName(QStringLiteral("bt_Ok"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bt_Ok);
    layout->addLayout(buttons);
    connect(bt_Ok, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Ok); });
    setDefaultButton(bt_Ok);
    // Escape answers OK too: the card has nothing to cancel.
    setCancelButton(bt_Ok);
    setFocusProxy(bt_Ok);
    bt_Ok->setFocus();

    // A contract of this branch has no import record: the card stays empty.
    if (contract.isImport()) fill(contract);

    applyLanguage();
    resize(380, sizeHint().height());
    setFixedSize(size());
    setPlacementStorage(utl::SettingsFile::userIniFileName(), QStringLiteral("TFClientInfo"));
}

void TFClientInfo::fill(const TolvLogic::TPenaltyContractInfo& contract) {
    const auto value = [&contract](int index) { return contract.getImportValue(index); };
    ed_clientName->setText(value(Contract::iCLIENT_NAME).toText());
    ed_clientAddress->setText(value(Contract::iCLIENT_ADDRESS).toText());
    const auto copyNonNull = [&value](QLineEdit* edit, int index) {
        const core::Variant v = value(index);
        if (!v.isEmpty()) edit->setText(v.toText());
    };
    copyNonNull(ed_clientPhone, Contract::iCLIENT_PHONE);
    copyNonNull(ed_clientInn, Contract::iCLIENT_INN);
    copyNonNull(ed_clientPassportSN, Contract::iCLIENT_PASSPORT_SN);
    copyNonNull(ed_clientPassportNum, Contract::iCLIENT_PASSPORT_NUM);
    copyNonNull(ed_clientPassportInfo, Contract::iCLIENT_PASSPORT_INFO);
    copyNonNull(ed_clientPassportDate, Contract::iCLIENT_PASSPORT_DATE);
    const core::Variant info = value(Contract::iCLIENT_INFO);
    if (!info.isEmpty()) memo_clientInfo->setPlainText(info.toText().left(255));
}
