#include "weblinks.h"

#include <QDesktopServices>
#include <utility>

#include "siteaddresses.h"

namespace sekato::ui {

namespace {

WebLinks::Opener& CurrentOpener() {
  static WebLinks::Opener opener;
  return opener;
}

void Open(const QUrl& url) {
  const WebLinks::Opener& opener = CurrentOpener();
  // Whether a browser started is deliberately not looked at: these commands never complain.
  if (opener) {
    opener(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

QUrl Address(const char* address) { return QUrl(QString::fromLatin1(address)); }

}  // namespace

void WebLinks::OpenFeedback() { Open(Address(engine::SiteAddresses::kForum)); }

void WebLinks::OpenNewVersion() { Open(Address(engine::SiteAddresses::kProduct)); }

void WebLinks::OpenSoftList() { Open(Address(engine::SiteAddresses::kSoftList)); }

void WebLinks::OpenFolder(const QString& path) { Open(QUrl::fromLocalFile(path)); }

WebLinks::Opener WebLinks::SetOpener(Opener opener) {
  return std::exchange(CurrentOpener(), std::move(opener));
}

}  // namespace sekato::ui
