#include "platform/ui/Looks.h"

#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

// The inactive background: the face colour of the palette, as on the platform's inactive border.
QColor readOnlyBase() {
    return QApplication::palette().color(QPalette::Active, QPalette::Window);
}

QColor textColour(TextLook look) {
    switch (look) {
        case TextLook::Blue:
            return QColor(Qt::blue);
        case TextLook::Red:
            return QColor(Qt::red);
        case TextLook::Normal:
            break;
    }
    return QApplication::palette().color(QPalette::Active, QPalette::WindowText);
}

}  // namespace

void setReadOnlyLook(QWidget* control, bool readOnly) {
    if (!control) return;
    // Widgets with a readOnly property (and composite edits that declare one) keep their focus and
    // let the text be copied; the rest can only be disabled.
    if (control->metaObject()->indexOfProperty("readOnly") >= 0) {
        control->setProperty("readOnly", readOnly);
    } else {
        control->setEnabled(!readOnly);
    }
    QPalette p = control->palette();
    const QColor base =
        readOnly ? readOnlyBase() : QApplication::palette().color(QPalette::Active, QPalette::Base);
    for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::Base, base);
    control->setPalette(p);
}

bool hasReadOnlyLook(const QWidget* control) {
    return control && control->palette().color(QPalette::Active, QPalette::Base) == readOnlyBase() &&
           readOnlyBase() != QApplication::palette().color(QPalette::Active, QPalette::Base);
}

void setTextLook(QWidget* control, TextLook look) {
    if (!control) return;
    QPalette p = control->palette();
    const QColor c = textColour(look);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Text, c);
        p.setColor(group, QPalette::WindowText, c);
    }
    control->setPalette(p);
}

TextLook textLook(const QWidget* control) {
    const QColor c = control->palette().color(QPalette::Active, QPalette::Text);
    if (c == QColor(Qt::blue)) return TextLook::Blue;
    if (c == QColor(Qt::red)) return TextLook::Red;
    return TextLook::Normal;
}

QStringList hintLines(const QWidget* control) {
    QString text = control->toolTip();
    if (text.isEmpty()) return {};
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.split(u'\n');
}

void setHintLines(QWidget* control, const QStringList& lines) {
    // Plain text with line breaks: the tip shows each line as given.
    control->setToolTip(lines.join(u'\n'));
}

void setHintSecondLine(QWidget* control, const QString& text) {
    const QStringList lines = hintLines(control);
    setHintLines(control, {lines.isEmpty() ? QString() : lines.first(), text});
}

}  // namespace ui
