#include "uilanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <memory>

namespace sekato::ui {

namespace {

const QString kKey = QStringLiteral("language");

// The translators now installed, owned by the application object; null for none.
QTranslator* g_ours = nullptr;
QTranslator* g_qts = nullptr;
UiLanguage::Language g_installed = UiLanguage::Language::SimplifiedChinese;

void Remove(QTranslator*& translator) {
  if (translator == nullptr) return;
  QCoreApplication::removeTranslator(translator);
  delete translator;
  translator = nullptr;
}

// A translator for `file` from `folder`, installed; null when it does not load.
QTranslator* Load(const QString& file, const QString& folder) {
  auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!translator->load(file, folder)) return nullptr;
  QCoreApplication::installTranslator(translator.get());
  return translator.release();
}

}  // namespace

UiLanguage::Language UiLanguage::Saved() {
  const QString code = QSettings().value(kKey).toString();
  for (Language language : kAll) {
    if (Code(language) == code) return language;
  }
  return Language::SimplifiedChinese;
}

void UiLanguage::Save(Language language) { QSettings().setValue(kKey, Code(language)); }

bool UiLanguage::Install(Language language) {
  Remove(g_ours);
  Remove(g_qts);
  g_installed = language;
  const QString code = Code(language);
  QLocale::setDefault(QLocale(code));
  // Qt's own buttons and dialogs: Qt ships no English file (its texts are English), and a
  // missing Chinese file only leaves them in English.
  if (language != Language::English) {
    g_qts =
        Load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  }
  if (language == Language::SimplifiedChinese) return true;  // the sources' own words
  g_ours = Load(QStringLiteral("sekato_") + code, QStringLiteral(":/i18n"));
  return g_ours != nullptr;
}

UiLanguage::Language UiLanguage::Installed() { return g_installed; }

QString UiLanguage::NativeName(Language language) {
  switch (language) {
    case Language::SimplifiedChinese:
      return QStringLiteral("简体中文");
    case Language::TraditionalChinese:
      return QStringLiteral("繁體中文");
    case Language::English:
      return QStringLiteral("English");
  }
  return {};
}

QString UiLanguage::Code(Language language) {
  switch (language) {
    case Language::SimplifiedChinese:
      return QStringLiteral("zh_CN");
    case Language::TraditionalChinese:
      return QStringLiteral("zh_TW");
    case Language::English:
      return QStringLiteral("en");
  }
  return {};
}

}  // namespace sekato::ui
