#pragma once
// A one-line edit with a button at its right end (the platform's edit with an ellipsis button): the
// button raises buttonClicked and does nothing else; a disabled or read-only edit keeps it inactive.

#include <QLineEdit>

class QAction;

namespace ui {

class ButtonEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit ButtonEdit(QWidget* parent = nullptr);
    QAction* button() const { return button_; }
    // Clicks the button as the user would (nothing happens while the edit is disabled or read-only).
    void clickButton();

signals:
    void buttonClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshButton();
    QAction* button_;
};

}  // namespace ui
