#include "f_ConstParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "PenaltyDirectories.h"
#include "kv_FbDbIni.h"
#include "platform/ui/NumberEdit.h"

namespace {

const QString kDefaults = QStringLiteral("DEFAULTS");

QString key(const char* name) {
    return QString::fromLatin1(name);
}

}  // namespace

TFConstParams::TFConstParams(QWidget* owner)
    : ui::Form(QStringLiteral("FConstParams"), owner,
               Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    addCaption(this, "windowTitle", QStringLiteral("Постоянные параметры"),
               QStringLiteral("Постійні параметри"));

    auto* layout = new QVBoxLayout(this);
    auto* boxes = new QHBoxLayout;
    layout->addLayout(boxes);
    auto group = [this, boxes](const char* name, const QString& ru, const QString& uk) {
        auto* box = new QGroupBox(this);
        box->setObjectName(key(name));
        addCaption(box, "title", ru, uk);
        boxes->addWidget(box, 1, Qt::AlignTop);
        auto* column = new QVBoxLayout(box);
        column->setSpacing(3);
        return box;
    };
    auto label = [this](QGroupBox* box, const QString& ru, const QString& uk) {
        auto* l = new QLabel(box);
        addCaption(l, "text", ru, uk);
        box->layout()->addWidget(l);
        return l;
    };
    auto number = [this, &label](QGroupBox* box, const char* name, int decimals, const QString& ru,
                                 const QString& uk, const QString& hintRu, const QString& hintUk) {
        QLabel* l = label(box, ru, uk);
        auto* edit = new ui::NumberEdit(decimals, box);
        edit->setObjectName(key(name));
        addCaption(edit, "toolTip", hintRu, hintUk);
        l->setBuddy(edit);
        box->layout()->addWidget(edit);
        return edit;
    };
    auto check = [this](QGroupBox* box, const char* name, const QString& ru, const QString& uk) {
        auto* c = new QCheckBox(box);
        c->setObjectName(key(name));
        addCaption(c, "text", ru, uk);
        box->layout()->addWidget(c);
        return c;
    };

    GroupBox1 =
        group("GroupBox1", QStringLiteral("Расчет процентов"), QStringLiteral("Розрахунок відсотків"));
    DayPercEdit =
        number(GroupBox1, "DayPercEdit", 2, QStringLiteral("Процент за сутки, %"),
               QStringLiteral("Відсоток за добу, %"), QStringLiteral("Процентная ставка за сутки, %/сутки"),
               QStringLiteral("Відсоткова ставка за добу, %/добу"));
    PenaltyPercEdit =
        number(GroupBox1, "PenaltyPercEdit", 2, QStringLiteral("Пеня, %"), QStringLiteral("Пеня, %"),
               QStringLiteral("Процентная ставка пени в день, %/день"),
               QStringLiteral("Відсоткова ставка пені в день, %/день"));
    ce_minAccrualDays = number(GroupBox1, "ce_minAccrualDays", 0, QStringLiteral("Мин срок начислений"),
                               QStringLiteral("Мін. строк нарахувань"),
                               QStringLiteral("Минимальный срок начисления процентов по кредиту, сут."),
                               QStringLiteral("Мінімальний строк нарахування відсотків за кредитом, діб"));
    chBx_isCalcPercWithPenalty = check(GroupBox1, "chBx_isCalcPercWithPenalty",
                                       QStringLiteral("Начислять проценты при начислении пени"),
                                       QStringLiteral("Нараховувати відсотки при нарахуванні пені"));
    chBx_isPenaltyCalcFromRetSum =
        check(GroupBox1, "chBx_isPenaltyCalcFromRetSum", QStringLiteral("Расч. пени от суммы возврата"),
              QStringLiteral("Розрах. пені від суми повернення"));
    addCaption(
        chBx_isPenaltyCalcFromRetSum, "toolTip",
        QStringLiteral("Расчет пени производить от суммы возврата (а не от суммы кредита)\nСумма возврата = "
                       "сумма кредита + проценты за срок договора"),
        QStringLiteral("Розрахунок пені проводити від суми повернення (а не від суми кредиту)\nСума "
                       "повернення = сума кредиту + відсотки за строк договору"));

    GroupBox2 =
        group("GroupBox2", QStringLiteral("Расчет хранения"), QStringLiteral("Розрахунок зберігання"));
    QLabel* kindLabel =
        label(GroupBox2, QStringLiteral("Расчет хранения"), QStringLiteral("Розрахунок зберігання"));
    cbox_StorageTypes = new QComboBox(GroupBox2);
    cbox_StorageTypes->setObjectName(QStringLiteral("cbox_StorageTypes"));
    cbox_StorageTypes->setEditable(false);
    kindLabel->setBuddy(cbox_StorageTypes);
    GroupBox2->layout()->addWidget(cbox_StorageTypes);
    cedit_StorageVal = number(GroupBox2, "cedit_StorageVal", 2, QStringLiteral("Значение"),
                              QStringLiteral("Значення"), QStringLiteral("Величина хранения (% или сумма)"),
                              QStringLiteral("Величина зберігання (% або сума)"));
    cedit_MinStorageDays =
        number(GroupBox2, "cedit_MinStorageDays", 0, QStringLiteral("Мин срок начислений"),
               QStringLiteral("Мін. строк нарахувань"),
               QStringLiteral("Минимальный срок начисления хранения по кредиту, сут."),
               QStringLiteral("Мінімальний строк нарахування зберігання за кредитом, діб"));
    chbox_isStorCalcWPen =
        check(GroupBox2, "chbox_isStorCalcWPen", QStringLiteral("Начислять хранение при начислении пени"),
              QStringLiteral("Нараховувати зберігання при нарахуванні пені"));

    b_OK = new QPushButton(this);
    b_OK->setObjectName(QStringLiteral("b_OK"));
    addCaption(b_OK, "text", QStringLiteral("ОК"), QStringLiteral("ОК"));
    b_Cancel = new QPushButton(this);
    b_Cancel->setObjectName(QStringLiteral("b_Cancel"));
    addCaption(b_Cancel, "text", QStringLiteral("Отмена"), QStringLiteral("Відміна"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(b_OK);
    buttons->addWidget(b_Cancel);
    layout->addLayout(buttons);
    connect(b_OK, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { b_OKClick(); }); });
    connect(b_Cancel, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });
    setCancelButton(b_Cancel);

    applyLanguage();
    resize(qMax(460, sizeHint().width()), sizeHint().height());
    setFixedSize(size());
}

void TFConstParams::scExecute() {
    TFConstParams dialog;
    dialog.fill();
    dialog.showModal();
}

void TFConstParams::fill() {
    DayPercEdit->setValue(udb::dbIniReadFloat(kDefaults, key("percent"), 0.0));
    PenaltyPercEdit->setValue(udb::dbIniReadFloat(kDefaults, key("penalty"), 0.0));
    ce_minAccrualDays->setValue(udb::dbIniReadInt(kDefaults, key("minAccrualDays"), 0));
    chBx_isCalcPercWithPenalty->setChecked(udb::dbIniReadBool(kDefaults, key("isCalcPercWithPenalty"), true));
    chBx_isPenaltyCalcFromRetSum->setChecked(
        udb::dbIniReadBool(kDefaults, key("isPenalCalcFromRetSum"), false));

    // The directory ends every name with the separator: the last piece is no kind.
    TolvLogic::StorageTypes kinds;
    QStringList names = kinds.getNamesText(QStringLiteral(";")).split(u';');
    if (!names.isEmpty() && names.last().isEmpty()) names.removeLast();
    cbox_StorageTypes->clear();
    cbox_StorageTypes->addItems(names);
    // Kinds are numbered from 1 in the directory's order; an unknown kind selects nothing.
    cbox_StorageTypes->setCurrentIndex(udb::dbIniReadInt(kDefaults, key("StorageType"), 1) - 1);

    cedit_StorageVal->setValue(udb::dbIniReadFloat(kDefaults, key("StorageVal"), 0.0));
    cedit_MinStorageDays->setValue(udb::dbIniReadInt(kDefaults, key("StorageMinDays"), 0));
    chbox_isStorCalcWPen->setChecked(udb::dbIniReadBool(kDefaults, key("isStorageCalcWPenalty"), true));
}

void TFConstParams::b_OKClick() {
    // What is being typed counts, as the user sees it.
    for (ui::NumberEdit* edit :
         {DayPercEdit, PenaltyPercEdit, ce_minAccrualDays, cedit_StorageVal, cedit_MinStorageDays})
        edit->interpretText();
    udb::dbIniWrite(kDefaults, key("percent"), DayPercEdit->value());
    udb::dbIniWrite(kDefaults, key("penalty"), PenaltyPercEdit->value());
    udb::dbIniWrite(kDefaults, key("minAccrualDays"), qRound(ce_minAccrualDays->value()));
    udb::dbIniWrite(kDefaults, key("isCalcPercWithPenalty"), chBx_isCalcPercWithPenalty->isChecked());
    udb::dbIniWrite(kDefaults, key("isPenalCalcFromRetSum"), chBx_isPenaltyCalcFromRetSum->isChecked());
    udb::dbIniWrite(kDefaults, key("StorageType"), cbox_StorageTypes->currentIndex() + 1);
    udb::dbIniWrite(kDefaults, key("StorageVal"), cedit_StorageVal->value());
    udb::dbIniWrite(kDefaults, key("StorageMinDays"), qRound(cedit_MinStorageDays->value()));
    udb::dbIniWrite(kDefaults, key("isStorageCalcWPenalty"), chbox_isStorCalcWPen->isChecked());
    setModalResult(ui::ModalResult::Ok);
}

void TFConstParams::formShow() {
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}
