// Every window test runs with a profile of its own, gone when it ends: what the window
// remembers (recent books, its position, the form's options) never reaches the settings of
// the user who runs the tests, and no test sees what an earlier run left there.
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

void IsolateProfile() {
  static QTemporaryDir profile;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path()));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, profile.path());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(IsolateProfile)
