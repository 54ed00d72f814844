#include "usersettings.h"

#include <QFileInfo>
#include <QSettings>

namespace sekato::ui {

namespace {
const QString kRecent = QStringLiteral("recentSources");
const QString kSourceFolder = QStringLiteral("folders/source");
const QString kOutputFolder = QStringLiteral("folders/output");
const QString kPosition = QStringLiteral("window/position");
const QString kRemember = QStringLiteral("rememberForm");
const QString kForm = QStringLiteral("form");
}  // namespace

QStringList UserSettings::RecentSources() {
  QStringList recent = QSettings().value(kRecent).toStringList();
  recent.removeAll(QString());
  recent.removeDuplicates();
  return recent.mid(0, kMaxRecent);
}

void UserSettings::AddRecentSource(const QString& path) {
  if (path.isEmpty()) return;
  QStringList recent = RecentSources();
  recent.removeAll(path);
  recent.prepend(path);
  QSettings settings;
  settings.setValue(kRecent, recent.mid(0, kMaxRecent));
  settings.setValue(kSourceFolder, QFileInfo(path).absolutePath());
}

void UserSettings::RemoveRecentSource(const QString& path) {
  QStringList recent = RecentSources();
  if (recent.removeAll(path) > 0) QSettings().setValue(kRecent, recent);
}

QString UserSettings::SourceFolder() { return QSettings().value(kSourceFolder).toString(); }

QString UserSettings::OutputFolder() { return QSettings().value(kOutputFolder).toString(); }

void UserSettings::SetOutputFolder(const QString& folder) {
  if (!folder.isEmpty()) QSettings().setValue(kOutputFolder, folder);
}

std::optional<QPoint> UserSettings::WindowPosition() {
  const QVariant value = QSettings().value(kPosition);
  if (!value.canConvert<QPoint>() || !value.isValid()) return std::nullopt;
  return value.toPoint();
}

void UserSettings::SetWindowPosition(const QPoint& position) {
  QSettings().setValue(kPosition, position);
}

bool UserSettings::RememberForm() { return QSettings().value(kRemember, false).toBool(); }

void UserSettings::SetRememberForm(bool remember) {
  QSettings settings;
  settings.setValue(kRemember, remember);
  if (!remember) settings.remove(kForm);
}

QVariantMap UserSettings::Form() { return QSettings().value(kForm).toMap(); }

void UserSettings::SetForm(const QVariantMap& form) { QSettings().setValue(kForm, form); }

void UserSettings::ClearForm() { QSettings().remove(kForm); }

}  // namespace sekato::ui
