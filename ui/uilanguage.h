#pragma once

#include <QString>

namespace sekato::ui {

/// The window's language: Simplified Chinese (the program's own words), Traditional Chinese
/// or English, chosen under 查看 → 语言 and remembered in the settings under "language".
///
/// Simplified Chinese is the default whatever the desktop's locale: the program has always
/// spoken it, and a user who wants another asks once. Qt's own texts (the buttons of a file
/// dialog, a context menu) follow the same choice.
class UiLanguage final {
 public:
  enum class Language { SimplifiedChinese, TraditionalChinese, English };
  static constexpr Language kAll[] = {Language::SimplifiedChinese, Language::TraditionalChinese,
                                      Language::English};

  /// The remembered choice; Simplified Chinese when there is none or it is unknown.
  static Language Saved();
  static void Save(Language language);

  /// Loads the language's translations (ours and Qt's) in place of the previous ones and makes
  /// its locale the default. False when our translation could not be loaded (the texts then
  /// stay Chinese).
  static bool Install(Language language);
  static Language Installed();

  /// The language's name in itself, as the menu shows it: "简体中文", "繁體中文", "English".
  static QString NativeName(Language language);
  /// The settings value and file suffix: "zh_CN", "zh_TW", "en".
  static QString Code(Language language);
};

}  // namespace sekato::ui
