#include "kvF_DynPropsEdit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace utl::DynProps {

TFKVDynPropsEdit::TFKVDynPropsEdit(QWidget* owner, int unitsPerColumn, const QString& caption)
    : ui::Form(QStringLiteral("FKVDynPropsEdit"), owner,
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The rows' panel fills a body of its own, so that it stands alone in its parent's layout while
    // the buttons keep the bottom band.
    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    pnl_Props = new QFrame(body);
    pnl_Props->setObjectName(QStringLiteral("pnl_Props"));
    pnl_Props->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnl_Props->setLineWidth(1);
    pnl_Props->setMidLineWidth(1);
    bodyLayout->addWidget(pnl_Props);
    layout->addWidget(body, 1);

    ButtonsPanel = new QFrame(this);
    ButtonsPanel->setObjectName(QStringLiteral("ButtonsPanel"));
    ButtonsPanel->setFixedHeight(36);
    auto* buttons = new QHBoxLayout(ButtonsPanel);
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->addStretch();
    OkBtn = new QPushButton(ButtonsPanel);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    addCaption(OkBtn, "text", QStringLiteral("OK"), QStringLiteral("OK"));
    CancelBtn = new QPushButton(ButtonsPanel);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    addCaption(CancelBtn, "text", QStringLiteral("Отмена"), QStringLiteral("Скасувати"));
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    layout->addWidget(ButtonsPanel);
    applyLanguage();

    setDefaultButton(OkBtn);
    setCancelButton(CancelBtn);
    connect(OkBtn, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Ok); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Cancel); });

    setMinimumWidth(200);
    resize(200, 74);
    props_ = std::make_unique<DynPropsEdit>(pnl_Props, unitsPerColumn);
}

TFKVDynPropsEdit::~TFKVDynPropsEdit() {
    // The rows go before the panel that holds their controls.
    props_.reset();
}

}  // namespace utl::DynProps
