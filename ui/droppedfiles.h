#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace sekato::ui {

/// The text files in what is dropped on the window: local ".txt" files, in any letter case;
/// addresses elsewhere and other files are passed over.
class DroppedFiles final {
 public:
  /// The local paths of every ".txt" file in a drop, in its order.
  static QStringList TextFiles(const QMimeData* mimeData);
};

}  // namespace sekato::ui
