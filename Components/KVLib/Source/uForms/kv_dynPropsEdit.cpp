#include "kv_dynPropsEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

#include "kv_Exception.h"
#include "platform/core/Exception.h"
#include "platform/ui/CurrencyEdit.h"

namespace utl::DynProps {

// ---- rows

ControlPrms::ControlPrms(QString name, QString caption, QString hint)
    : name_(std::move(name)), caption_(std::move(caption)), hint_(std::move(hint)) {}

ControlPrms::~ControlPrms() = default;

int ControlPrms::heightUnits() const {
    const int h = control_ ? control_->height() : 0;
    return std::max(1, h / DynPropsEdit::unitHeight) + (hasLabel() ? 1 : 0);
}

ControlPrmsFloat::ControlPrmsFloat(QString name, QString caption, int decimals, double value, QString hint)
    : ControlPrms(std::move(name), std::move(caption), std::move(hint)), decimals_(decimals), value_(value) {}

QString ControlPrmsFloat::displayFormat(int decimals) {
    const QString one = QStringLiteral(",0.") + QString(decimals, u'0');
    return one + QStringLiteral(";-") + one;
}

QWidget* ControlPrmsFloat::createControl(QWidget* panel) {
    auto* edit = new ui::CurrencyEdit(panel, decimals_);
    edit->setDisplayFormat(displayFormat(decimals_));
    edit->setValue(value_);
    return edit;
}

core::Variant ControlPrmsFloat::getValue() const {
    const auto* edit = qobject_cast<const ui::CurrencyEdit*>(control());
    return edit ? edit->value() : value_;
}

ControlPrmsInt::ControlPrmsInt(QString name, QString caption, int value, QString hint)
    : ControlPrmsFloat(std::move(name), std::move(caption), 0, value, std::move(hint)) {}

ControlPrmsCheckBox::ControlPrmsCheckBox(QString name, QString caption, bool checked, QString hint)
    : ControlPrms(std::move(name), std::move(caption), std::move(hint)), checked_(checked) {}

QWidget* ControlPrmsCheckBox::createControl(QWidget* panel) {
    auto* box = new QCheckBox(caption(), panel);
    box->setChecked(checked_);
    // The caption's width on the window's font and room for the box; never narrower than the style
    // needs, so the caption is not cut.
    const int width = panel->window()->fontMetrics().horizontalAdvance(caption()) + 20;
    box->resize(std::max(width, box->sizeHint().width()), box->sizeHint().height());
    return box;
}

core::Variant ControlPrmsCheckBox::getValue() const {
    const auto* box = qobject_cast<const QCheckBox*>(control());
    return box ? box->isChecked() : checked_;
}

ControlPrmsComboBox::ControlPrmsComboBox(QString name, QString caption, const QString& items, int selected,
                                         QString hint)
    : ControlPrms(std::move(name), std::move(caption), std::move(hint)),
      items_(items.split(u'|')),
      selected_(selected) {
    if (!items_.isEmpty() && items_.last().isEmpty()) items_.removeLast();
}

QWidget* ControlPrmsComboBox::createControl(QWidget* panel) {
    auto* combo = new QComboBox(panel);
    combo->setEditable(false);
    combo->addItems(items_);
    combo->setCurrentIndex(selected_ >= 0 && selected_ < combo->count() ? selected_ : -1);
    return combo;
}

core::Variant ControlPrmsComboBox::getValue() const {
    const auto* combo = qobject_cast<const QComboBox*>(control());
    return combo ? combo->currentIndex() : selected_;
}

// ---- the editor

bool DynPropsEdit::fillsParent(const QWidget* panel) {
    const QWidget* parent = panel ? panel->parentWidget() : nullptr;
    const QLayout* layout = parent ? parent->layout() : nullptr;
    return layout && layout->count() == 1 && layout->itemAt(0)->widget() == panel;
}

DynPropsEdit::DynPropsEdit(QWidget* panel, int unitsPerColumn)
    : panel_(panel), unitsPerColumn_(unitsPerColumn) {
    if (!fillsParent(panel)) {
        throw core::Exception(
            QStringLiteral("Align родительской панели для динамического редактирования свойств должен быть "
                           "alClient"));
    }
}

DynPropsEdit::~DynPropsEdit() {
    while (!rows_.empty()) rows_.pop_back();
}

ControlPrms& DynPropsEdit::add(std::unique_ptr<ControlPrms> row) {
    row->owner_ = this;
    rows_.push_back(std::move(row));
    return *rows_.back();
}

namespace {

// Lays the window out now, from the window down to the panel, so the panel has the size the window
// gives it before it is shown: a hidden window gets no resize events, so its layouts have to be told.
void settle(QWidget* panel) {
    std::vector<QWidget*> chain;
    for (QWidget* w = panel->parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        chain.push_back(w);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (QLayout* layout = (*it)->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
}

}  // namespace

void DynPropsEdit::growWindow(int dw, int dh) {
    QWidget* window = panel_->window();
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(INT_MAX, INT_MAX);
    if (dh > 0 && window->height() + dh < room.height()) {
        const int height = panel_->height() + dh;
        window->resize(window->width(), window->height() + dh);
        panel_->setMinimumHeight(height);
        settle(panel_);
    }
    if (dw > 0 && window->width() + dw < room.width()) {
        const int width = panel_->width() + dw;
        window->resize(window->width() + dw, window->height());
        panel_->setMinimumWidth(width);
        settle(panel_);
    }
}

void DynPropsEdit::build() {
    settle(panel_);
    int widest = 0;
    for (const auto& row : rows_) {
        QWidget* control = row->createControl(panel_);
        if (control->size() != control->sizeHint() && qobject_cast<QCheckBox*>(control) == nullptr)
            control->resize(control->sizeHint());
        control->setObjectName(row->name());
        if (!row->hint().isEmpty()) control->setToolTip(row->hint());
        row->control_ = control;
        widest = std::max(widest, control->width());
    }
    for (const auto& row : rows_) row->control()->resize(widest, row->control()->height());
    columnWidth_ = margin + widest;

    for (const auto& row : rows_) {
        QWidget* control = row->control();
        QLabel* label = nullptr;
        if (row->hasLabel()) {
            label = new QLabel(row->caption(), panel_);
            label->setObjectName(QStringLiteral("label_") + row->name());
            label->adjustSize();
        }
        const int units = row->heightUnits();
        usedUnits_ += units;
        bool newColumn = false;
        int top;
        if (usedUnits_ > unitsPerColumn_) {
            ++currentColumn_;
            usedUnits_ = units;
            top = margin;
            newColumn = true;
        } else {
            top = margin + unitHeight * (usedUnits_ - units);
        }
        const int left = currentColumn_ * columnWidth_ + margin;
        if (label) {
            label->move(left, top);
            control->move(left, top + label->height() + 3);
        } else {
            control->move(left, top);
        }
        const int bottom = control->y() + (newColumn ? margin : units * unitHeight);
        growWindow(std::max(0, left + columnWidth_ - panel_->width()),
                   std::max(0, bottom - panel_->height()));
    }
}

ControlPrms& DynPropsEdit::findControlPrms(const QString& name) const {
    for (const auto& row : rows_) {
        if (row->name() == name) return *row;
    }
    throw core::Exception(QStringLiteral("Параметр не найден. Имя: '") + name + u'\'' +
                          utl::placeTrailer(QStringLiteral("DynPropsEdit::findControlPrms"),
                                            QStringLiteral("kv_dynPropsEdit"), 361));
}

core::Variant DynPropsEdit::getValue(const QString& name) const {
    return findControlPrms(name).getValue();
}

double DynPropsEdit::getFloat(const QString& name) const {
    return getValue(name).toDouble();
}

int DynPropsEdit::getInt(const QString& name) const {
    // nearbyint in the default rounding mode: halves go to the even neighbour.
    return static_cast<int>(std::nearbyint(getFloat(name)));
}

bool DynPropsEdit::getBool(const QString& name) const {
    return getValue(name).toBool();
}

}  // namespace utl::DynProps
