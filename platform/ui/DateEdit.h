#pragma once
// The date edit of the forms: a masked line "dd.mm.yyyy" whose empty state shows ".  ." between
// blanks and answers the date value 0, with optional spin buttons that step the date by a day and
// one signal for every change of the text.

#include <QWidget>

#include "platform/core/DateTime.h"

class QLineEdit;
class QToolButton;

namespace ui {

class DateEdit : public QWidget {
    Q_OBJECT
    // Declared so that the read-only look reaches the edit inside (ui::setReadOnlyLook).
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)
public:
    explicit DateEdit(QWidget* parent = nullptr);

    // The date shown; 0 when the field is empty or holds no valid date.
    core::DateTime date() const;
    // 0 empties the field; the time of day is dropped.
    void setDate(core::DateTime date);
    void clear();
    bool isEmpty() const;

    // What the field shows, blanks included ("  .  .    " when empty).
    QString text() const;
    void setText(const QString& text);

    bool spinButtons() const { return spinButtons_; }
    void setSpinButtons(bool on);

    bool isReadOnly() const;
    void setReadOnly(bool on);

    QLineEdit* lineEdit() const { return line_; }

    // The empty text of the mask, trimmed, as the filters compare it.
    static QString emptyText() { return QStringLiteral(".  ."); }

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int days);

    QLineEdit* line_;
    QToolButton* up_;
    QToolButton* down_;
    bool spinButtons_ = false;
};

}  // namespace ui
