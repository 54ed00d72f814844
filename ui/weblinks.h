#pragma once

#include <QUrl>
#include <functional>

namespace sekato::ui {

/// The Help menu's web commands: each opens one page of the project's site in the user's
/// default browser. Nothing is reported when no browser starts (the user sees nothing happen,
/// as with any link the desktop cannot open).
class WebLinks final {
 public:
  /// Opens `url`; true when it opened.
  using Opener = std::function<bool(const QUrl& url)>;

  /// "意见返馈(&F)": the forum, where users leave feedback.
  static void OpenFeedback();
  /// "查看新版本(&N)": this program's page, where new versions are published.
  static void OpenNewVersion();
  /// "岚溪软件列表(&L)": the index of the maker's software.
  static void OpenSoftList();

  /// Shows `path`, a folder, in the desktop's file manager.
  static void OpenFolder(const QString& path);

  /// Replaces how pages and folders are opened (an empty opener restores the desktop's browser);
  /// returns the previous one. Tests use it so that no browser starts.
  static Opener SetOpener(Opener opener);
};

}  // namespace sekato::ui
