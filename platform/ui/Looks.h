#pragma once
// The looks the forms give their controls to tell the user something: read-only fields on the
// inactive background, text in blue (a value taken from elsewhere, a soft warning) or red (a warning),
// and hints of several lines, whose first line names the field and whose next lines add a figure.

#include <QString>
#include <QStringList>

class QWidget;

namespace ui {

// Read-only where the control has a read-only state (line, number, text and date edits), disabled
// where it has none (combos, check boxes, buttons); read-only fields take the inactive background,
// editable ones the window background.
void setReadOnlyLook(QWidget* control, bool readOnly);
// Whether the control shows the read-only background.
bool hasReadOnlyLook(const QWidget* control);

enum class TextLook { Normal, Blue, Red };
// The colour of the control's text: Normal is the window text colour of the application's palette.
void setTextLook(QWidget* control, TextLook look);
TextLook textLook(const QWidget* control);

// The hint as lines (a "\r\n" or "\r" of a text given by the system is a line break too).
QStringList hintLines(const QWidget* control);
void setHintLines(QWidget* control, const QStringList& lines);
// Keeps the hint's first line and makes the text its second line (the lines after it go).
void setHintSecondLine(QWidget* control, const QString& text);

}  // namespace ui
