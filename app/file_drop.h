// What the window takes from a drag: exactly one local file (not a folder),
// as a file manager drags it.  Anything else is refused while dragging.
#pragma once

#include <QString>
#include <optional>

class QMimeData;

namespace app {

std::optional<QString> droppedFile(const QMimeData* data);

}  // namespace app
