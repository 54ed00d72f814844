#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>

namespace sekato::ui {

/// What the window remembers between runs, in the user's profile (QSettings: on Linux
/// ~/.config/Local AppWizard-Generated Applications/sekato.conf):
///
/// - the folders the file dialogs last chose from (source books, output folders);
/// - the last 8 books chosen, newest first, for 操作 → 最近打开;
/// - where the window was;
/// - the form's options, only while 查看 → 记住设置 is on (off unless the user turns it on,
///   so that every start looks the same until they ask otherwise).
///
/// Every call reads or writes the profile at once; nothing is cached, so two windows (or a
/// window rebuilt in another language) always agree.
class UserSettings final {
 public:
  static constexpr int kMaxRecent = 8;

  /// The books chosen last, newest first, at most kMaxRecent, each once.
  static QStringList RecentSources();
  /// Puts `path` first in the recent books (moving it up if it is there already) and makes
  /// its folder the one the source dialog opens in.
  /// Example: recent {a, b, c}, then AddRecentSource(c) → {c, a, b}.
  static void AddRecentSource(const QString& path);
  /// Takes `path` out of the recent books (a book that has gone away).
  static void RemoveRecentSource(const QString& path);

  /// The folder the source dialog opens in; empty before any book was chosen.
  static QString SourceFolder();
  /// The folder the output-folder dialog opens in; empty before one was chosen.
  static QString OutputFolder();
  static void SetOutputFolder(const QString& folder);

  /// Where the window's frame was when it last closed; unset before it ever closed.
  static std::optional<QPoint> WindowPosition();
  static void SetWindowPosition(const QPoint& position);

  /// Whether the form's options are remembered (查看 → 记住设置); false until turned on.
  static bool RememberForm();
  static void SetRememberForm(bool remember);
  /// The form's remembered options (see FormSnapshot::ToMap); empty when none are kept.
  static QVariantMap Form();
  static void SetForm(const QVariantMap& form);
  /// Forgets the form's options (恢复默认设置, or 记住设置 turned off).
  static void ClearForm();
};

}  // namespace sekato::ui
