#pragma once
// The combo of whole numbers typed or picked: its edit takes digits only (typing, pasting), so the text
// is always empty or a number; it may also be made a pick-only list of given items.

#include <QComboBox>

namespace ui {

class DigitsCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DigitsCombo(QWidget* parent = nullptr);

    // Pick-only: a choice among the items, nothing typed; otherwise digits may be typed as well.
    void setPickOnly(bool pickOnly);
    bool pickOnly() const { return !isEditable(); }

    // The number the text stands for; 0 for an empty text (or one too long for an int).
    int number() const;
};

}  // namespace ui
