#pragma once
// Whether a widget shows one of the program's own cursors: the same pixmap
// and hot spot as the cursor table's entry of that identifier.

#include "platform/cursors.h"

#include <QWidget>

namespace bw::test {

inline bool isProgramCursor(const QCursor &shown, int id)
{
    const QCursor wanted = CursorTable::make(id);
    return shown.shape() == Qt::BitmapCursor && wanted.shape() == Qt::BitmapCursor &&
           shown.hotSpot() == wanted.hotSpot() &&
           shown.pixmap().toImage() == wanted.pixmap().toImage();
}

inline bool showsProgramCursor(const QWidget *widget, int id)
{
    return widget && isProgramCursor(widget->cursor(), id);
}

} // namespace bw::test
