#pragma once
// Minimizing a modal dialog minimizes the whole application instead, so that the dialog never sits
// minimized alone while the windows under it wait for it.

#include <cstddef>

class QWidget;

namespace utl {

// Hooks the form when it is shown modally and has a minimize button; any other form is left alone
// (dialogs calling it from their constructors are not modal yet). A form is hooked once; its entry
// leaves the process-wide map when the window is destroyed.
void hookModalFormMinimize(QWidget* form);

// Whether the form carries the hook, and how many windows do: what the map holds.
bool isModalFormMinimizeHooked(const QWidget* form);
std::size_t modalFormMinimizeHookCount();

}  // namespace utl
