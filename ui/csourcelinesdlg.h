#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

#include "sekato/encoding.h"

class QPlainTextEdit;

namespace sekato::ui {

/// A small view of the book's lines from one line on, numbered as the chapter list counts
/// them, where the line under the cursor can be chosen to become a heading.
///
/// Object names for tests: the text "lines", the button "insertLine".
class CSourceLinesDlg final : public QDialog {
  Q_OBJECT

 public:
  /// How many lines the view shows at most.
  static constexpr int kLines = 40;

  /// The lines of `sourcePath` (file-system bytes, written in `encoding`) from line `first`
  /// on, at most kLines, each as "NUMBER<TAB>TEXT" in UTF-8 with its ends trimmed; a line
  /// ends at a line feed. None when the file cannot be opened.
  static std::optional<QStringList> ReadLines(const std::string& sourcePath,
                                              engine::Encoding encoding, std::int64_t first);

  /// Shows `lines`, the first of which is line `first`.
  CSourceLinesDlg(const QStringList& lines, std::int64_t first, QWidget* parent = nullptr);

  /// The line chosen with 把光标所在行设为标题, which also closes the view; none before.
  std::optional<std::int64_t> ChosenLine() const { return m_chosen; }

 private:
  std::optional<std::int64_t> m_chosen;
};

}  // namespace sekato::ui
