#include "Book.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "kvF_SetGridColumns.h"
#include "kv_BookPick.h"
#include "kv_DataSetWrapper.h"
#include "kv_DbGridUtl.h"
#include "kv_Exception.h"
#include "kv_FbUtil.h"
#include "kv_QueryWrapper.h"
#include "kv_settingsFile.h"
#include "platform/fb/Error.h"
#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"

namespace ufb {

namespace {

const QString kSection = QStringLiteral("TFDSWrapperBook");

// The sort expression that replaces a column's field name in searches; the no-sort marker names no
// column, so such a column searches by its field.
QString searchName(const grid::Column& c, const DataSetWrapper& w) {
    return c.sortExpression.isEmpty() || c.sortExpression == w.noSortMarker ? c.fieldName : c.sortExpression;
}

bool editing(const data::Dataset& ds) {
    return ds.state() == data::DatasetState::Edit || ds.state() == data::DatasetState::Insert;
}

}  // namespace

TBookForm::TBookForm(QWidget* owner, const QString& key)
    : ui::Form(QStringLiteral("BookForm"), owner,
               Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint),
      storageKey(key) {
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);
    setSizeGripEnabled(true);

    // The list, with the columns button over its top right corner and the key hints at its right.
    DBGrid1 = new ui::DbGrid(grid::GridKind::Eh, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(&DataSource1);
    DBGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DBGrid1->setShowHint(true);
    pnl_BtnSetGrid = new QFrame;
    pnl_BtnSetGrid->setObjectName(QStringLiteral("pnl_BtnSetGrid"));
    auto* btnLayout = new QHBoxLayout(pnl_BtnSetGrid);
    btnLayout->setContentsMargins(0, 0, 0, 0);
    bt_SetGrid = new QToolButton(pnl_BtnSetGrid);
    bt_SetGrid->setObjectName(QStringLiteral("bt_SetGrid"));
    bt_SetGrid->setAutoRaise(true);
    bt_SetGrid->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    bt_SetGrid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    btnLayout->addWidget(bt_SetGrid);
    DBGrid1->addScrollBarWidget(pnl_BtnSetGrid, Qt::AlignTop);

    auto* hints = new QWidget(this);
    hints->setFixedWidth(125);
    auto* hintsLayout = new QVBoxLayout(hints);
    hintsLayout->setContentsMargins(6, 0, 0, 0);
    QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4};
    for (int i = 0; i < 4; ++i) {
        *labels[i] = new QLabel(hints);
        (*labels[i])->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        hintsLayout->addWidget(*labels[i]);
    }
    hintsLayout->addStretch(1);

    // The search box and the mode group share the strip above the buttons.
    gr_BoxSerach = new QGroupBox(this);
    gr_BoxSerach->setObjectName(QStringLiteral("gr_BoxSerach"));
    Label5 = new QLabel(gr_BoxSerach);
    Label5->setObjectName(QStringLiteral("Label5"));
    FieldsCombo = new QComboBox(gr_BoxSerach);
    FieldsCombo->setObjectName(QStringLiteral("FieldsCombo"));
    FieldsCombo->setEditable(true);
    FieldsCombo->setInsertPolicy(QComboBox::NoInsert);
    FieldsCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    FieldsCombo->setMinimumContentsLength(8);
    Label6 = new QLabel(gr_BoxSerach);
    Label6->setObjectName(QStringLiteral("Label6"));
    FieldValueEdit = new QLineEdit(gr_BoxSerach);
    FieldValueEdit->setObjectName(QStringLiteral("FieldValueEdit"));
    Label5->setBuddy(FieldsCombo);
    Label6->setBuddy(FieldValueEdit);
    auto* searchLayout = new QGridLayout(gr_BoxSerach);
    searchLayout->setContentsMargins(6, 4, 6, 6);
    searchLayout->setVerticalSpacing(4);
    searchLayout->addWidget(Label5, 0, 0);
    searchLayout->addWidget(FieldsCombo, 0, 1);
    searchLayout->addWidget(Label6, 1, 0);
    searchLayout->addWidget(FieldValueEdit, 1, 1);
    searchLayout->setColumnStretch(1, 1);

    rg_Mode = new QGroupBox(this);
    rg_Mode->setObjectName(QStringLiteral("rg_Mode"));
    rg_ModeItem0 = new QRadioButton(rg_Mode);
    rg_ModeItem0->setObjectName(QStringLiteral("rg_ModeItem0"));
    rg_ModeItem1 = new QRadioButton(rg_Mode);
    rg_ModeItem1->setObjectName(QStringLiteral("rg_ModeItem1"));
    rg_ModeItems = new QButtonGroup(this);
    rg_ModeItems->addButton(rg_ModeItem0, 0);
    rg_ModeItems->addButton(rg_ModeItem1, 1);
    auto* modeLayout = new QVBoxLayout(rg_Mode);
    modeLayout->setContentsMargins(6, 4, 6, 6);
    modeLayout->addWidget(rg_ModeItem0);
    modeLayout->addWidget(rg_ModeItem1);
    modeLayout->addStretch(1);

    EditorAct = new QAction(this);
    EditorAct->setObjectName(QStringLiteral("EditorAct"));
    EditorAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    ViewAct = new QAction(this);
    ViewAct->setObjectName(QStringLiteral("ViewAct"));
    ViewAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    for (QAction* a : {EditorAct, ViewAct}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    btn_OK = new QPushButton(this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    bt_Cancel = new QPushButton(this);
    bt_Cancel->setObjectName(QStringLiteral("bt_Cancel"));
    for (QPushButton* b : {btn_OK, bt_Cancel}) b->setMinimumWidth(90);

    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(DBGrid1, 1);
    top->addWidget(hints);
    auto* strip = new QHBoxLayout;
    strip->addWidget(gr_BoxSerach, 1);
    strip->addWidget(rg_Mode);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_OK);
    buttons->addWidget(bt_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addLayout(top, 1);
    layout->addLayout(strip);
    layout->addLayout(buttons);

    setMinimumWidth(444);
    resize(498, 431);

    // The form's translation table.
    addCaption(this, "windowTitle", QStringLiteral("Справочник"), QStringLiteral("Довідник"));
    addCaption(bt_SetGrid, "toolTip", QStringLiteral("Настройка колонок таблицы"),
               QStringLiteral("Настроювання колонок таблиці"));
    addCaption(Label1, "text", QStringLiteral("Вставить: Down, Ins"), QStringLiteral("Вставити: Down, Ins"));
    addCaption(Label2, "text", QStringLiteral("Удалить: Ctrl+Del"), QStringLiteral("Вилучити: Ctrl+Del"));
    addCaption(Label3, "text", QStringLiteral("Редакт: Enter, F2"), QStringLiteral("Редаг: Enter, F2"));
    addCaption(Label4, "text", QStringLiteral("Отмена: Esc"), QStringLiteral("Скасувати: Esc"));
    addCaption(gr_BoxSerach, "title", QStringLiteral("Поиск"), QStringLiteral("Пошук"));
    addCaption(Label5, "text", QStringLiteral("Поле"), QStringLiteral("Поле"));
    addCaption(Label6, "text", QStringLiteral("Значение"), QStringLiteral("Значення"));
    addCaption(rg_Mode, "title", QStringLiteral("Режим"), QStringLiteral("Режим"));
    addCaption(rg_ModeItem0, "text", QStringLiteral("Редактор [Ctrl+E]"),
               QStringLiteral("Редактор [Ctrl+E]"));
    addCaption(rg_ModeItem1, "text", QStringLiteral("Просмотр [Ctrl+W]"),
               QStringLiteral("Перегляд [Ctrl+W]"));
    addCaption(EditorAct, "text", QStringLiteral("Редактор"), QStringLiteral("Редактор"));
    addCaption(ViewAct, "text", QStringLiteral("Просмотр"), QStringLiteral("Перегляд"));
    addCaption(btn_OK, "text", QStringLiteral("ОК/Выбрать"), QStringLiteral("OK/Вибрати"));
    addCaption(bt_Cancel, "text", QStringLiteral("Отмена"), QStringLiteral("Скасувати"));
    addMessage(QStringLiteral("IDS_0"), QStringLiteral("Справочник"), QStringLiteral("Довідник"));
    addMessage(QStringLiteral("IDS_1"), QStringLiteral("Любое(текст)"), QStringLiteral("Будьяке (текст)"));
    addMessage(
        QStringLiteral("IDS_2"),
        QStringLiteral(
            "Нельзя удалить текущую запись, так как иформация по ней \\nиспользуется в других записях."),
        QStringLiteral("Неможливо вилучити записи, бо вони використовуються в iнших записах."));
    addMessage(QStringLiteral("IDS_12"), QStringLiteral("ОК"), QStringLiteral("OK"));
    addMessage(QStringLiteral("IDS_13"), QStringLiteral("Выбрать"), QStringLiteral("Вибрати"));
    applyLanguage();

    setCancelButton(bt_Cancel);
    setDefaultButton(nullptr);  // Enter confirms only from the grid and the search text
    filterOptions_.caseInsensitive = true;
    filterOptions_.noPartialCompare = false;

    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);
    connect(rg_ModeItems, &QButtonGroup::idClicked, this,
            [this](int) { ui::runGuarded([this] { rg_ModeClick(); }); });
    connect(EditorAct, &QAction::triggered, this, [this] { ui::runGuarded([this] { selectMode(0); }); });
    connect(ViewAct, &QAction::triggered, this, [this] { ui::runGuarded([this] { selectMode(1); }); });
    connect(btn_OK, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { btn_OKClick(); }); });
    connect(bt_Cancel, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_CancelClick(); }); });
    connect(bt_SetGrid, &QToolButton::clicked, this,
            [this] { ui::runGuarded([this] { bt_SetGridClick(); }); });
    connect(FieldsCombo, &QComboBox::currentTextChanged, this,
            [this] { ui::runGuarded([this] { quickSearch(); }); });
    connect(FieldValueEdit, &QLineEdit::textChanged, this,
            [this] { ui::runGuarded([this] { quickSearch(); }); });
    connect(FieldValueEdit, &QLineEdit::returnPressed, this, [this] {
        ui::runGuarded([this] {
            if (showMode()) btn_OKClick();
        });
    });
}

TBookForm::~TBookForm() {
    // The hook goes before the grid it stands on.
    gridHandler.reset();
}

// ---- Interfaces -----------------------------------------------------------------------------------

bool TBookForm::showBook(int mode, DataSetWrapper* w, const QString& caption, bool canChangeMode,
                         const core::Variant& keyValue, const QString& keyField) {
    setMode(mode);
    enableModeChange(canChangeMode);
    setWrapper(w, keyField, keyValue);
    setWindowTitle(caption.isEmpty() ? message(QStringLiteral("IDS_0")) : caption);
    showModal();
    return picked;
}

void TBookForm::installPicker() {
    setBookPicker([](const BookPick& pick) -> PickedRow {
        TBookForm form(nullptr, pick.storageKey);
        if (!form.showBook(1, pick.wrapper, pick.caption, false, pick.keyValue, pick.keyField)) return std::nullopt;
        return form.pickedValues;
    });
}

void TBookForm::setMode(int mode) {
    if (mode != 0 && mode != 1) {
        throw utl::KVException(
            kSection, 1,
            utl::placeTrailer(QStringLiteral("TBookForm::setMode"), QStringLiteral("Book"), 354));
    }
    selectMode(mode);
}

bool TBookForm::showMode() const {
    switch (modeItem()) {
        case 0:
            return false;
        case 1:
            return true;
        default:
            throw utl::KVException(
                kSection, 1,
                utl::placeTrailer(QStringLiteral("TBookForm::showMode"), QStringLiteral("Book"), 371));
    }
}

void TBookForm::enableModeChange(bool enable) {
    rg_Mode->setEnabled(enable);
    EditorAct->setEnabled(enable);
    ViewAct->setEnabled(enable);
}

void TBookForm::setWrapper(DataSetWrapper* w, const QString& keyField, const core::Variant& keyValue) {
    wrapper = w;
    w->bindGridEh(DBGrid1);
    data::Dataset* ds = DataSource1.dataSet();
    if (!ds->active()) {
        closeDatasetOnExit = true;
        w->open();
    }
    // The columns button only when some column may be hidden: not every column's field is required.
    bool anyOptional = false;
    for (const grid::Column& c : DBGrid1->columns()) {
        if (!ds->fieldByName(c.fieldName).required()) anyOptional = true;
    }
    pnl_BtnSetGrid->setVisible(anyOptional);
    if (!keyValue.isUnassigned()) ds->locate(keyField, keyValue);
}

// ---- Modes ----------------------------------------------------------------------------------------

int TBookForm::modeItem() const {
    return rg_ModeItems->checkedId();
}

void TBookForm::selectMode(int item) {
    QAbstractButton* b = rg_ModeItems->button(item);
    if (!b) return;
    {
        const QSignalBlocker block(rg_ModeItems);
        b->setChecked(true);
    }
    rg_ModeClick();
}

void TBookForm::rg_ModeClick() {
    if (modeItem() == 0) {
        btn_OK->setText(message(QStringLiteral("IDS_12")));
        rowSelect_ = false;
        DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
        DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
        DBGrid1->setReadOnly(false);
    } else if (modeItem() == 1) {
        btn_OK->setText(message(QStringLiteral("IDS_13")));
        try {
            applyEdits();
        } catch (...) {
            // A row that cannot be posted keeps the list in editing.
            const QSignalBlocker block(rg_ModeItems);
            rg_ModeItem0->setChecked(true);
            btn_OK->setText(message(QStringLiteral("IDS_12")));
            throw;
        }
        rowSelect_ = true;
        DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
        DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
        DBGrid1->setReadOnly(true);
    }
    if (isVisible()) DBGrid1->setFocus();
}

// ---- Saving, cancelling, confirming ---------------------------------------------------------------

bool TBookForm::applyEdits() {
    data::Dataset* ds = DataSource1.dataSet();
    if (!ds || !ds->active()) return true;
    const int recNo = ds->recNo();
    if (editing(*ds)) ds->post();  // a row that cannot be posted fails the click; the form stays open
    auto* query = dynamic_cast<fb::Query*>(ds);
    fb::Transaction* transaction = query ? query->transaction() : nullptr;
    bool saved = true;
    try {
        if (query && query->cachedUpdates()) query->applyUpdates();
        if (transaction && transaction->inTransaction()) transaction->commitRetaining();
    } catch (const fb::Error& e) {
        if (transaction && transaction->inTransaction()) transaction->rollbackRetaining();
        // Reopening drops the refused changes, as closing a dataset drops its cached updates.
        if (query->cachedUpdates()) query->cancelUpdates();
        const QString text =
            e.gdsCode() == fb::gds::ForeignKey
                ? message(QStringLiteral("IDS_2")) + QStringLiteral("\n\nТекст ошибки:\n") + e.message()
                : e.message();
        ui::dialogs().message(text, ui::MsgType::Error, ui::Button::Ok, QString());
        saved = false;
    }
    ds->close();
    ds->open();
    if (recNo > 0) ds->setRecNo(recNo);
    return saved;
}

void TBookForm::bt_CancelClick() {
    data::Dataset* ds = DataSource1.dataSet();
    // Only an editing list can hold changes to undo; a list shown for picking keeps its transaction.
    if (ds && modeItem() != 1) {
        if (ds->active() && editing(*ds)) ds->cancel();
        if (auto* query = dynamic_cast<fb::Query*>(ds)) {
            if (query->cachedUpdates()) query->cancelUpdates();
            fb::Transaction* transaction = query->transaction();
            if (transaction && transaction->inTransaction()) transaction->rollbackRetaining();
        }
        ds->open();
    }
    setModalResult(ui::ModalResult::Cancel);
}

void TBookForm::btn_OKClick() {
    if (showMode()) {
        data::Dataset* ds = DataSource1.dataSet();
        if (!ds || ds->isEmpty()) return;
        picked = true;
        setModalResult(ui::ModalResult::Ok);
        return;
    }
    if (applyEdits()) setModalResult(ui::ModalResult::Ok);
}

void TBookForm::pickAndClose() {
    picked = true;
    setModalResult(ui::ModalResult::Ok);
}

bool TBookForm::eventFilter(QObject* watched, QEvent* event) {
    if (rowSelect_) {
        if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
            ui::runGuarded([this] { pickAndClose(); });
            return true;
        }
        if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                ui::runGuarded([this] { pickAndClose(); });
                return true;
            }
        }
    }
    return ui::Form::eventFilter(watched, event);
}

// ---- Quick search ---------------------------------------------------------------------------------

void TBookForm::quickSearch() {
    data::Dataset* ds = DataSource1.dataSet();
    if (!ds || !wrapper) return;
    ds->setFiltered(false);
    auto* query = dynamic_cast<QueryWrapper*>(wrapper);
    if (query) {
        query->clearFilter();
        query->close();
        query->open();
    }
    // Upper-cased by the locale's rules; its quotes doubled, so that "Дем'яненко" searches too.
    const QString value = udb::quoteSql(FieldValueEdit->text().toUpper());

    QString condition;
    const int item =
        FieldsCombo->findText(FieldsCombo->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (item == 0) {
        // Any text column.
        QStringList terms;
        for (const QString& name : searchFields) {
            const data::Field* f = ds->findField(name);
            if (f && f->kind() != data::FieldKind::Data) continue;
            terms << QStringLiteral("UPCASE(") + name + QStringLiteral(") LIKE '%") + value +
                         QStringLiteral("%'");
        }
        condition = terms.join(QStringLiteral(" or "));
    } else {
        const QString text = FieldsCombo->currentText();
        for (const grid::Column& c : DBGrid1->columns()) {
            if (c.title != text) continue;
            const data::Field* f = ds->findField(c.fieldName);
            const bool isDate = f && f->dataType() == data::DataType::Date;
            const QString name = searchName(c, *wrapper);
            if (name.isEmpty()) break;
            condition = QStringLiteral("UPCASE(") + name + QStringLiteral(") ");
            condition += isDate ? QStringLiteral("= '") + value + u'\''
                                : QStringLiteral(" LIKE '%") + value + QStringLiteral("%'");
            break;
        }
    }
    if (condition.isEmpty()) return;

    if (query) {
        try {
            query->addFilter(condition);
            query->close();
            query->open();
        } catch (...) {
            query->clearFilter();
            query->close();
            query->open();
            throw;
        }
        return;
    }
    ds->setFilter(condition, filterOptions_);
    ds->setFiltered(true);
}

void TBookForm::bt_SetGridClick() {
    QStringList required;
    if (data::Dataset* ds = DataSource1.dataSet()) {
        for (int i = 0; i < ds->fieldCount(); ++i) {
            if (ds->field(i)->required()) required << ds->field(i)->fieldName();
        }
    }
    required.sort(Qt::CaseInsensitive);
    TFSetGridColumns::scExecute(DBGrid1, required.join(QStringLiteral(", ")), QString());
}

// ---- Showing and closing --------------------------------------------------------------------------

void TBookForm::formShow() {
    // As wide as the columns need, within the screen.
    int wanted = 130;
    for (const grid::Column& c : DBGrid1->columns()) wanted += c.width;
    const QScreen* s = screen();
    if (s) wanted = std::min(wanted, s->geometry().width() - 50);
    resize(std::max(wanted, minimumWidth()), height());
    layout()->activate();
    if (s && !testAttribute(Qt::WA_Moved)) move(s->availableGeometry().center() - rect().center());

    data::Dataset* ds = DataSource1.dataSet();
    {
        const QSignalBlocker block(FieldsCombo);
        FieldsCombo->clear();
        FieldsCombo->addItem(message(QStringLiteral("IDS_1")));
        for (const grid::Column& c : DBGrid1->columns()) FieldsCombo->addItem(c.title);
        FieldsCombo->setCurrentIndex(0);
    }
    searchFields.clear();
    for (const grid::Column& c : DBGrid1->columns()) {
        const data::Field* f = ds ? ds->findField(c.fieldName) : nullptr;
        if (f && f->dataType() == data::DataType::String && wrapper) searchFields << searchName(c, *wrapper);
    }
    if (ds) ds->setFilter(ds->filter(), filterOptions_);

    if (!storageKey.isEmpty()) {
        const QString ini = utl::SettingsFile::userIniFileName();
        const os::IniFile file(ini);
        const QString section = kSection + storageKey;
        const int w = file.readInt(section, QStringLiteral("FormWidth"), 0);
        const int h = file.readInt(section, QStringLiteral("FormHeight"), 0);
        const int left = file.readInt(section, QStringLiteral("FormLeft"), 0);
        const int top = file.readInt(section, QStringLiteral("FormTop"), 0);
        resize(w != 0 ? w : width(), h != 0 ? h : height());
        if (left != 0 || top != 0) move(left != 0 ? left : x(), top != 0 ? top : y());
        utl::DbGridUtl::restoreGridLayout(*DBGrid1, storageKey, ini);
    }
    pnl_BtnSetGrid->setFixedSize(DBGrid1->verticalScrollBar()->sizeHint().width(),
                                 std::max(16, DBGrid1->horizontalHeader()->sizeHint().height()));
    gridHandler = std::make_unique<GridMessageHandler>(DBGrid1);
}

void TBookForm::formClose() {
    data::Dataset* ds = DataSource1.dataSet();
    if (ds) {
        if (ds->isEmpty()) {
            closeDatasetOnExit = true;
            picked = false;
        }
        for (int i = 0; i < ds->fieldCount(); ++i)
            pickedValues[ds->field(i)->fieldName()] = ds->field(i)->value();
        if (ds->active()) {
            if (ds->filtered()) ds->setFiltered(false);
            if (auto* query = dynamic_cast<QueryWrapper*>(wrapper)) query->clearFilter();
        }
        if (closeDatasetOnExit && wrapper) wrapper->close();
    }
    if (storageKey.isEmpty()) return;
    // A per-user file that cannot be written is reported, and the form still closes.
    ui::runGuarded([this] {
        const QString ini = utl::SettingsFile::userIniFileName();
        const os::IniFile file(ini);
        const QString section = kSection + storageKey;
        file.writeInt(section, QStringLiteral("FormWidth"), width());
        file.writeInt(section, QStringLiteral("FormHeight"), height());
        file.writeInt(section, QStringLiteral("FormLeft"), x());
        file.writeInt(section, QStringLiteral("FormTop"), y());
        utl::DbGridUtl::saveGridLayout(*DBGrid1, storageKey, ini);
    });
}

}  // namespace ufb
