#include "platform/ui/ButtonEdit.h"

#include <QAction>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace ui {

namespace {

// The "..." face of the button, drawn once in the edit's font.
QIcon ellipsisIcon(const QFont& font) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("..."));
    return QIcon(pixmap);
}

}  // namespace

ButtonEdit::ButtonEdit(QWidget* parent) : QLineEdit(parent) {
    button_ = addAction(ellipsisIcon(font()), QLineEdit::TrailingPosition);
    button_->setObjectName(QStringLiteral("button"));
    connect(button_, &QAction::triggered, this, [this] { clickButton(); });
    connect(this, &QLineEdit::textChanged, this, [this] { refreshButton(); });
    refreshButton();
}

void ButtonEdit::clickButton() {
    if (!isEnabled() || isReadOnly()) return;
    emit buttonClicked();
}

void ButtonEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange) refreshButton();
}

void ButtonEdit::refreshButton() {
    button_->setEnabled(isEnabled() && !isReadOnly());
}

}  // namespace ui
