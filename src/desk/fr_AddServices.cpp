#include "fr_AddServices.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "Book.h"
#include "kvF_SetGridColumns.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "u_AddServices.h"

namespace {

// The frame's own texts: Russian, Ukrainian.
struct Text {
    const char16_t* russian;
    const char16_t* ukrainian;
};

QString translated(const Text& t) {
    return QString::fromUtf16(ui::Form::language() == ui::kLanguageUkrainian ? t.ukrainian : t.russian);
}

const Text kIds0{u"Справочник доп.услуг", u"Довідник дод.послуг"};
const Text kIds1{u"Удалить доп.услугу", u"Видалити дод.послугу"};
const Text kAddHint{u"Добавить услугу из справочника доп.услуг", u"Додати послугу з довідника дод.послуг"};
const Text kDeleteHint{u"Удалить услугу", u"Видалити послугу"};

QToolButton* speedButton(QWidget* parent, const char* name, const QString& glyph, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    b->setFixedSize(23, 21);
    b->setText(glyph);
    b->setToolTip(hint);
    return b;
}

}  // namespace

TFr_AddServicesList::TFr_AddServicesList(QWidget* owner, fb::Transaction* transaction, QWidget* parent,
                                         TolvLogic::AddServices* services)
    : QFrame(parent ? parent : owner), transaction_(transaction) {
    setObjectName(QStringLiteral("Fr_AddServicesList"));
    if (parent) {
        if (!parent->layout()) {
            auto* holder = new QVBoxLayout(parent);
            holder->setContentsMargins(2, 2, 2, 2);
        }
        parent->layout()->addWidget(this);
    }

    p_Grid = new QFrame(this);
    p_Grid->setObjectName(QStringLiteral("p_Grid"));
    gr_Prices = new ui::DbGrid(grid::GridKind::Eh, p_Grid);
    gr_Prices->setObjectName(QStringLiteral("gr_Prices"));
    gr_Prices->setDataSource(&DataSource1);
    gr_Prices->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* gridLayout = new QVBoxLayout(p_Grid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(gr_Prices);

    p_Buttons = new QFrame(this);
    p_Buttons->setObjectName(QStringLiteral("p_Buttons"));
    p_Buttons->setFixedWidth(26);
    b_AddService = speedButton(p_Buttons, "b_AddService", QStringLiteral("+"), translated(kAddHint));
    b_DeleteService = speedButton(p_Buttons, "b_DeleteService", QStringLiteral("−"), translated(kDeleteHint));
    auto* buttons = new QVBoxLayout(p_Buttons);
    buttons->setContentsMargins(2, 0, 1, 0);
    buttons->setSpacing(2);
    buttons->addWidget(b_AddService);
    buttons->addWidget(b_DeleteService);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(p_Grid, 1);
    layout->addWidget(p_Buttons);

    connect(b_AddService, &QToolButton::clicked, this,
            [this] { ui::runGuarded([this] { b_AddServiceClick(); }); });
    connect(b_DeleteService, &QToolButton::clicked, this,
            [this] { ui::runGuarded([this] { b_DeleteServiceClick(); }); });
    setServices(services);
}

TFr_AddServicesList::~TFr_AddServicesList() {
    gr_Prices->setFooterRowCount(0);
    release();
    directory_.reset();
}

QString TFr_AddServicesList::message(const QString& key) const {
    if (key == QLatin1String("IDS_0")) return translated(kIds0);
    if (key == QLatin1String("IDS_1")) return translated(kIds1);
    return QString();
}

void TFr_AddServicesList::release() {
    // The list outlives the frame (it is the dialog's): it must stop speaking to this grid.
    if (services_) services_->unbindGrid();
    services_ = nullptr;
}

void TFr_AddServicesList::setServices(TolvLogic::AddServices* services) {
    if (services != services_) release();
    services_ = services;
    services_->bindGridEh(gr_Prices);
    directory_.reset();
    // A transaction of its own: the directory form commits it when the user edits the directory.
    directory_ = std::make_unique<TolvLogic::DirAddServices>(services_->getEvent(), nullptr);
}

void TFr_AddServicesList::b_AddServiceClick() {
    ufb::TBookForm form(nullptr, QStringLiteral("TFr_AddServicesList::b_AddServiceClick"));
    if (!form.showBook(1, directory_.get(), message(QStringLiteral("IDS_0")), true, core::Variant(),
                       QStringLiteral("ID"))) {
        return;
    }
    services_->addService(form.pickedValues[QStringLiteral("ID")].toInt(),
                          form.pickedValues[QStringLiteral("NAME")].toText());
}

void TFr_AddServicesList::b_DeleteServiceClick() {
    data::Dataset* ds = services_ ? services_->getDataSet() : nullptr;
    if (!ds || !ds->active() || ds->recNo() < 1) return;
    const QString name = ds->fieldByName(QStringLiteral("NAME")).asString();
    if (!ui::askYesNo(message(QStringLiteral("IDS_1")) + QStringLiteral(" '") + name + QStringLiteral("'?")))
        return;
    services_->deleteService(-1);
}

void TFr_AddServicesList::bt_SetGridClick() {
    ufb::TFSetGridColumns::scExecute(gr_Prices, QString(), QString());
}
