#include "platform/ui/DateEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

namespace {

const QString kFormat = QStringLiteral("dd.MM.yyyy");

}  // namespace

DateEdit::DateEdit(QWidget* parent) : QWidget(parent), line_(new QLineEdit(this)) {
    // Digits optional everywhere so that an emptied field is accepted; blanks fill the gaps.
    line_->setInputMask(QStringLiteral("99.99.9999; "));
    line_->installEventFilter(this);
    setFocusProxy(line_);

    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setFixedWidth(16);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setVisible(false);
        buttons->addWidget(button);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(line_);
    layout->addLayout(buttons);

    connect(line_, &QLineEdit::textChanged, this, &DateEdit::changed);
}

core::DateTime DateEdit::date() const {
    const QDate date = QDate::fromString(line_->displayText(), kFormat);
    return date.isValid() ? core::DateTime::fromDate(date) : core::DateTime();
}

void DateEdit::setDate(core::DateTime date) {
    if (date.isZero())
        line_->setText(QString());
    else
        line_->setText(date.date().toString(kFormat));
}

void DateEdit::clear() {
    line_->setText(QString());
}

bool DateEdit::isEmpty() const {
    return line_->displayText().trimmed() == emptyText();
}

QString DateEdit::text() const {
    return line_->displayText();
}

void DateEdit::setText(const QString& text) {
    line_->setText(text);
}

void DateEdit::setSpinButtons(bool on) {
    spinButtons_ = on;
    up_->setVisible(on);
    down_->setVisible(on);
}

bool DateEdit::isReadOnly() const {
    return line_->isReadOnly();
}

void DateEdit::setReadOnly(bool on) {
    line_->setReadOnly(on);
    up_->setEnabled(!on);
    down_->setEnabled(!on);
}

void DateEdit::step(int days) {
    if (line_->isReadOnly()) return;
    const core::DateTime current = date();
    // An empty field starts stepping from today, as a calendar would.
    setDate(current.isZero() ? core::DateTime::today() : current.addDays(days));
}

bool DateEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line_ && event->type() == QEvent::KeyPress && spinButtons_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ui
