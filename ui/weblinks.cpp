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

void Open(const char* address) {
  const QUrl url(QString::fromLatin1(address));
  const WebLinks::Opener& opener = CurrentOpener();
  // Whether a browser started is deliberately not looked at: these commands never complain.
  if (opener) {
    opener(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

}  // namespace

void WebLinks::OpenFeedback() { Open(engine::SiteAddresses::kForum); }

void WebLinks::OpenNewVersion() { Open(engine::SiteAddresses::kProduct); }

void WebLinks::OpenSoftList() { Open(engine::SiteAddresses::kSoftList); }

WebLinks::Opener WebLinks::SetOpener(Opener opener) {
  return std::exchange(CurrentOpener(), std::move(opener));
}

}  // namespace sekato::ui
