#include "droppedfiles.h"

#include <QMimeData>
#include <QUrl>

namespace sekato::ui {

QStringList DroppedFiles::TextFiles(const QMimeData* mimeData) {
  QStringList paths;
  if (mimeData == nullptr) return paths;
  for (const QUrl& url : mimeData->urls()) {
    const QString path = url.toLocalFile();  // empty for an address elsewhere
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) paths << path;
  }
  return paths;
}

}  // namespace sekato::ui
