#include <QTest>
#include <QUrl>
#include <vector>

#include "appmessagebox.h"
#include "siteaddresses.h"
#include "weblinks.h"

using sekato::controls::AppMessageBox;
using sekato::engine::SiteAddresses;
using sekato::ui::WebLinks;

class TestWebLinks : public QObject {
  Q_OBJECT

 private slots:
  void eachCommandOpensItsPage();
  void failureIsSilent();
};

void TestWebLinks::eachCommandOpensItsPage() {
  std::vector<QUrl> opened;
  const auto previous = WebLinks::SetOpener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  WebLinks::OpenFeedback();
  WebLinks::OpenNewVersion();
  WebLinks::OpenSoftList();
  WebLinks::SetOpener(previous);

  QCOMPARE(opened.size(), size_t{3});
  QCOMPARE(opened[0], QUrl(QString::fromLatin1(SiteAddresses::kForum)));
  QCOMPARE(opened[1], QUrl(QString::fromLatin1(SiteAddresses::kProduct)));
  QCOMPARE(opened[2], QUrl(QString::fromLatin1(SiteAddresses::kSoftList)));
  for (const QUrl& url : opened) QCOMPARE(url.host(), QStringLiteral("sekato.example.org"));
}

void TestWebLinks::failureIsSilent() {
  int messages = 0;
  AppMessageBox::SetHandler([&](QWidget*, const QString&) { ++messages; });
  int attempts = 0;
  WebLinks::SetOpener([&](const QUrl&) {
    ++attempts;
    return false;
  });
  WebLinks::OpenFeedback();
  WebLinks::OpenSoftList();
  WebLinks::SetOpener({});
  AppMessageBox::SetHandler({});
  QCOMPARE(attempts, 2);
  QCOMPARE(messages, 0);
}

QTEST_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
