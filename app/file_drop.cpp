#include "app/file_drop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace app {

std::optional<QString> droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (path.isEmpty() || QFileInfo(path).isDir()) return std::nullopt;
    return path;
}

}  // namespace app
