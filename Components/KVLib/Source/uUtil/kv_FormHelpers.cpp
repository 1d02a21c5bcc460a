#include "kv_FormHelpers.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/grid/GridView.h"

namespace utl {

QString getGridPath(const grid::GridView& grid) { return grid.formName() + u'_' + grid.gridName(); }

AutoScreenCursor::AutoScreenCursor() { ui::busyCursor().push(); }

AutoScreenCursor::~AutoScreenCursor() { ui::busyCursor().pop(); }

}  // namespace utl
