#pragma once

#include <QObject>

namespace sekato::ui {

/// The program's one document. It holds no data: every option lives in the form and starts
/// from its default, so the document never becomes modified and closing never asks to save.
class CSekatoDoc final : public QObject {
  Q_OBJECT

 public:
  explicit CSekatoDoc(QObject* parent = nullptr);

  /// A fresh document; always succeeds.
  bool OnNewDocument();

  /// Never true: there is nothing to save.
  bool IsModified() const { return false; }
};

}  // namespace sekato::ui
