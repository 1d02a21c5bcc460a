#pragma once
// The widgets side of the document system: the menus through which windows offer an event's templates
// (ReportSys::ReportEvnt::addToMenu, ReportSys::ReportSystem::showReportsMenu, declared with their
// classes in kv_ReportSystem.h and defined here).

#include "kv_ReportSystem.h"

class QMenu;

namespace ReportSys {

// Removes every item of the menu and destroys the items and submenus the menu owns.
void emptyMenu(QMenu* menu);

}  // namespace ReportSys
