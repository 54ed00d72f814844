#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <algorithm>
#include <memory>

#include "appmessagebox.h"
#include "cmarkupstatic.h"

using sekato::controls::AppMessageBox;
using sekato::controls::CMarkupStatic;
using sekato::controls::MarkupLabel;
using sekato::controls::MarkupRect;

namespace {

constexpr auto kLinkMarkup = "[url=http://example.org/forum/]forum link[/url] plain";

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &event);
}
void Move(QWidget* w, QPoint p, Qt::MouseButtons buttons = Qt::NoButton) {
  Send(w, QEvent::MouseMove, p, Qt::NoButton, buttons);
}
void Click(QWidget* w, QPoint p) {
  Send(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
  Send(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

QPoint Centre(const MarkupRect& r) {
  return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Longest horizontal run of pixels of exactly `colour` in `area` of `image`.
int LongestRun(const QImage& image, QColor colour, const QRect& area) {
  int best = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int run = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      run = image.pixelColor(x, y) == colour ? run + 1 : 0;
      best = std::max(best, run);
    }
  }
  return best;
}

QRect ToQRect(const MarkupRect& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

class TestMarkupStatic : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void linkIsDrawnAsALink();
  void hoverTakesThePointerAndGivesItBack();
  void clickOpensTheLinkAndMarksItVisited();
  void failedOpenIsReported();
  void onlyWebAddressesAreOpened();
  void attachTakesThePlaceOfTheStatic();
  void newTextStartsOver();
  void multiByteTextWrapsBetweenCharacters();
  void captionlessParentIsDraggedByTheLabel();

 private:
  QImage Shot() const { return m_parent->grab(m_label->geometry()).toImage(); }
  QRect LinkArea() const { return ToQRect(m_label->Label().m_segments.front().rcText); }

  std::unique_ptr<QWidget> m_parent;
  CMarkupStatic* m_label = nullptr;
  QStringList m_opened;
  bool m_bOpenSucceeds = true;
  QStringList m_messages;
};

void TestMarkupStatic::init() {
  m_opened.clear();
  m_messages.clear();
  m_bOpenSucceeds = true;
  CMarkupStatic::SetLinkOpener([this](const QString& link) {
    m_opened << link;
    return m_bOpenSucceeds;
  });
  AppMessageBox::SetHandler([this](QWidget*, const QString& text) { m_messages << text; });

  m_parent = std::make_unique<QWidget>();
  m_parent->setAutoFillBackground(true);
  QPalette palette = m_parent->palette();
  palette.setColor(QPalette::Window, Qt::white);
  m_parent->setPalette(palette);
  m_parent->resize(300, 60);
  m_label = new CMarkupStatic(m_parent.get());
  m_label->setGeometry(10, 10, 280, 40);
  m_label->SetWindowText(QString::fromLatin1(kLinkMarkup));
  m_parent->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_parent.get()));
  m_label->repaint();
}

void TestMarkupStatic::cleanup() {
  m_parent.reset();
  CMarkupStatic::SetLinkOpener({});
  AppMessageBox::SetHandler({});
}

void TestMarkupStatic::linkIsDrawnAsALink() {
  const QImage shot = Shot();
  // Kept for a look by eye only when SEKATO_TEST_SHOTS names a folder.
  if (const QString shots = qEnvironmentVariable("SEKATO_TEST_SHOTS"); !shots.isEmpty())
    shot.save(shots + QStringLiteral("/sekato_markup_label.png"));
  const QRect link = LinkArea();
  QVERIFY(link.width() > 20);
  // The underline: a line of the link colour (RGB 0,0,255) under nearly the whole link.
  QVERIFY(LongestRun(shot, QColor(0, 0, 255), link) >= link.width() - 2);
  // The plain text after it is neither blue nor underlined.
  const QRect plain = ToQRect(m_label->Label().m_segments.back().rcText);
  QCOMPARE(LongestRun(shot, QColor(0, 0, 255), plain), 0);
  QVERIFY(LongestRun(shot, QColor(0, 0, 0), plain) < plain.width() / 2);

  // Disabled, everything turns grey at once, the link still underlined.
  m_label->setEnabled(false);
  const QImage grey = Shot();
  QCOMPARE(LongestRun(grey, QColor(0, 0, 255), link), 0);
  QVERIFY(LongestRun(grey, QColor(192, 192, 192), link) >= link.width() - 2);
}

void TestMarkupStatic::hoverTakesThePointerAndGivesItBack() {
  const QRect link = LinkArea();
  Move(m_label, link.center());
  QCOMPARE(QWidget::mouseGrabber(), m_label);
  QCOMPARE(m_label->cursor().shape(), Qt::PointingHandCursor);
  QCOMPARE(m_label->Label().m_bOverLink, 1);
  QVERIFY(LongestRun(Shot(), QColor(125, 125, 0), link) >= link.width() - 2);

  // The capture keeps moves coming from outside the label; leaving puts the link out.
  Move(m_label, QPoint(-50, -50));
  QVERIFY(QWidget::mouseGrabber() == nullptr);
  QVERIFY(m_label->cursor().shape() != Qt::PointingHandCursor);
  QCOMPARE(m_label->Label().m_bOverLink, 0);
  QVERIFY(LongestRun(Shot(), QColor(0, 0, 255), link) >= link.width() - 2);

  // Where no move comes from outside, leaving the label is enough.
  Move(m_label, link.center());
  QCursor::setPos(m_parent->mapToGlobal(QPoint(-100, -100)));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(m_label, &leave);
  QCOMPARE(m_label->Label().m_bOverLink, 0);
  QCOMPARE(m_label->Label().m_segments.front().bHot, 0);
}

void TestMarkupStatic::clickOpensTheLinkAndMarksItVisited() {
  const QRect link = LinkArea();
  Move(m_label, link.center());
  Click(m_label, link.center());
  QCOMPARE(m_opened, QStringList{QStringLiteral("http://example.org/forum/")});
  QVERIFY(m_messages.isEmpty());
  QVERIFY(m_label->Label().m_segments.front().bVisited == 1);
  // Visited stays visited under the pointer.
  QVERIFY(LongestRun(Shot(), QColor(128, 0, 128), link) >= link.width() - 2);

  // Plain text opens nothing.
  Click(m_label, Centre(m_label->Label().m_segments.back().rcText));
  QCOMPARE(m_opened.size(), 1);

  // Targets written in Chinese reach the browser intact.
  m_label->SetWindowText(QStringLiteral("[url=http://example.org/论坛]岚溪论坛[/url]"));
  m_label->repaint();
  Click(m_label, LinkArea().center());
  QCOMPARE(m_opened.last(), QStringLiteral("http://example.org/论坛"));
}

void TestMarkupStatic::failedOpenIsReported() {
  m_bOpenSucceeds = false;
  Move(m_label, LinkArea().center());
  Click(m_label, LinkArea().center());
  QCOMPARE(m_messages, QStringList{QStringLiteral("提供的超级链接或者制定的文件无法执行 ")});
  // The box took the pointer: nothing may stay captured behind it.
  QVERIFY(QWidget::mouseGrabber() == nullptr);
  QCOMPARE(m_label->Label().m_bOverLink, 0);
  QVERIFY(m_label->Label().m_segments.front().bVisited == 1);
}

void TestMarkupStatic::onlyWebAddressesAreOpened() {
  for (const char* markup : {"[url=file:///bin/sh]run[/url]", "[url=/usr/bin/xterm]run[/url]"}) {
    m_messages.clear();
    m_label->SetWindowText(QString::fromLatin1(markup));
    m_label->repaint();
    Click(m_label, LinkArea().center());
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(m_messages.size(), 1);
  }
  m_label->SetWindowText(QStringLiteral("[url]www.example.org[/url]"));
  m_label->repaint();
  Click(m_label, LinkArea().center());
  QCOMPARE(m_opened, QStringList{QStringLiteral("www.example.org")});
}

void TestMarkupStatic::attachTakesThePlaceOfTheStatic() {
  QWidget dialog;
  auto* control = new QLabel(QStringLiteral("[url=http://x.example.org/]x[/url]"), &dialog);
  control->setObjectName(QStringLiteral("1023"));
  control->setGeometry(5, 6, 70, 20);
  control->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  CMarkupStatic link;
  link.Attach(control);

  QCOMPARE(dialog.findChild<QLabel*>(), static_cast<QLabel*>(nullptr));
  QCOMPARE(dialog.findChild<CMarkupStatic*>(QStringLiteral("1023")), &link);
  QCOMPARE(link.geometry(), QRect(5, 6, 70, 20));
  QCOMPARE(link.windowText(), QStringLiteral("[url=http://x.example.org/]x[/url]"));
  QCOMPARE(link.Label().m_dwStyle, MarkupLabel::kSsCenter | MarkupLabel::kSsCenterImage);
  QCOMPARE(link.Label().m_segments.size(), size_t{1});
  QVERIFY(link.hasMouseTracking());
  link.setParent(nullptr);  // `link` outlives `dialog` here
}

void TestMarkupStatic::newTextStartsOver() {
  Move(m_label, LinkArea().center());
  Click(m_label, LinkArea().center());
  QCOMPARE(QWidget::mouseGrabber(), m_label);
  m_label->SetWindowText(QString::fromLatin1(kLinkMarkup));
  // The pieces that held the pointer are gone, and so is the capture.
  QVERIFY(QWidget::mouseGrabber() == nullptr);
  QCOMPARE(m_label->Label().m_segments.front().bVisited, 0);
  QCOMPARE(m_label->Label().m_strMarkup, std::string(kLinkMarkup));
}

void TestMarkupStatic::multiByteTextWrapsBetweenCharacters() {
  // Chinese and U+20000 (four bytes, two UTF-16 units) in a link too wide for its label.
  const QString shown = QStringLiteral("岚溪\U00020000论坛\U00020000软件\U00020000论坛");
  const QString target = QStringLiteral("http://example.org/论坛\U00020000");
  m_label->resize(60, 40);
  m_label->SetWindowText(QStringLiteral("[url=%1]%2[/url]").arg(target, shown));
  m_label->repaint();

  const auto& segments = m_label->Label().m_segments;
  QVERIFY(segments.size() > 1);
  QString joined;
  for (const auto& s : segments) {
    // A piece that cut a character short would not survive the round trip through UTF-16.
    const QString text = QString::fromStdString(s.strText);
    QCOMPARE(text.toStdString(), s.strText);
    QVERIFY(!text.isEmpty() && !text.front().isLowSurrogate());
    QCOMPARE(QString::fromStdString(s.strLink), target);
    joined += text;
  }
  QCOMPARE(joined, shown);
  QCOMPARE(QString::fromStdString(m_label->Label().m_strPlain), shown);

  // Every piece opens the whole target.
  Click(m_label, Centre(segments.back().rcText));
  QCOMPARE(m_opened, QStringList{target});
}

void TestMarkupStatic::captionlessParentIsDraggedByTheLabel() {
  QWidget popup(nullptr, Qt::Window | Qt::FramelessWindowHint);
  popup.setGeometry(100, 100, 300, 60);
  auto* label = new CMarkupStatic(&popup);
  label->setGeometry(0, 0, 300, 60);
  label->SetWindowText(QString::fromLatin1(kLinkMarkup));
  popup.show();
  QVERIFY(QTest::qWaitForWindowExposed(&popup));
  label->repaint();

  const QPoint plain = Centre(label->Label().m_segments.back().rcText);
  const QPoint start = popup.pos();
  Send(label, QEvent::MouseButtonPress, plain, Qt::LeftButton, Qt::LeftButton);
  Move(label, plain + QPoint(30, 20), Qt::LeftButton);
  Send(label, QEvent::MouseButtonRelease, plain + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
  QCOMPARE(popup.pos(), start + QPoint(30, 20));

  // Over a link the press does not drag, and the release opens the link.
  const QPoint link = Centre(label->Label().m_segments.front().rcText);
  Move(label, link);
  const QPoint before = popup.pos();
  Send(label, QEvent::MouseButtonPress, link, Qt::LeftButton, Qt::LeftButton);
  Move(label, link + QPoint(2, 0), Qt::LeftButton);
  Send(label, QEvent::MouseButtonRelease, link + QPoint(2, 0), Qt::LeftButton, Qt::NoButton);
  QCOMPARE(popup.pos(), before);
  QCOMPARE(m_opened.size(), 1);
}

QTEST_MAIN(TestMarkupStatic)
#include "tst_markupstatic.moc"
