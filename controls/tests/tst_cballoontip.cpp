#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QtTest>
#include <memory>

#include "cballoontip.h"

using sekato::controls::BalloonGeometry;
using sekato::controls::CBalloonTip;

namespace {

const QString kKeywordsHelp = QStringLiteral(
    "关键字:只适用于按章节分割文件，关键字可以为一个，也可以为多个，中间用空格分开。\n"
    "取关键字时，要选择每一个标题行中均共有的。比如第一、二、三个标题行分别：\n"
    "“第一节 回忆过去”\n"
    "“第二节 新时代到来”\n"
    "“第三节 结束语”\n"
    "关键字就取每个标题中共有的“第”及“节”\n"
    "如果标题中没有共有的，是增加的数字，如下：\n"
    "一、XXX \n"
    "二、 YYY \n"
    "三、ZZZ，\n"
    "那么就使用代用符“?”代替每行中的“一二三”。注意：是小写的问号，\n"
    "所以上述的关健字为“?、”，这里加上一个“、”便于区分标题，万一正文的某行中有个数字，\n"
    "刚好与与代替的行的相同，就会出错了，增加一个“、”属于标题中相同的，可减少出错机率。");
const QString kTitleSizeHelp = QStringLiteral(
    "    章节标题大小，用来区分某行是否为标题。\n"
    "当该行超过设置的大小时，自动跳过，不做标题行处理。");
const QString kKeepLinesHelp = QStringLiteral(
    "不分割行，就是当该行某处是计算出来的文件分割点时，\n"
    "钩选后，该行则不进行分割，放入下一文件中。");

// Stands in for the splitter form: three fields with help tips, one without, and the relay
// the form does: every event for the form or one of its controls goes to the tip first.
// The filter sits on the application because a control without mouse tracking reports
// plain moves only to application filters. isAncestorOf keeps the tip's own window out.
class TestForm final : public QWidget {
 public:
  TestForm() {
    setGeometry(200, 400, 420, 200);
    keywords = new QLineEdit(this);
    keywords->setGeometry(20, 20, 300, 22);
    titleSize = new QLineEdit(this);
    titleSize->setGeometry(20, 60, 80, 22);
    keepLines = new QCheckBox(QStringLiteral("不分割行"), this);
    keepLines->setGeometry(20, 100, 120, 22);
    plain = new QLineEdit(this);
    plain->setGeometry(20, 140, 300, 22);

    tip.SetCursorSource([this] { return cursor; });
    tip.SetClock(&clock);
    tip.Create(this);
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    tip.SetTextFont(font);
    tip.AddTool(keywords, kKeywordsHelp);
    tip.AddTool(titleSize, kTitleSizeHelp);
    tip.AddTool(keepLines, kKeepLinesHelp);
    qApp->installEventFilter(this);
  }
  ~TestForm() override { qApp->removeEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (w == this || isAncestorOf(w)) tip.RelayEvent(event);
    }
    return false;
  }

  // The pointer moves to `local` in `w`, which gets the move like a real one.
  void MoveTo(QWidget* w, QPoint local) {
    cursor = w->mapToGlobal(local);
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(cursor), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }
  void Click(QWidget* w, QEvent::Type type, Qt::MouseButton button) {
    const QPoint local = w->mapFromGlobal(cursor);
    QMouseEvent click(type, QPointF(local), QPointF(cursor), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(w, &click);
  }
  // Half a second passes: a show armed at the last move comes now.
  bool WaitShown() {
    clock.Advance(500);
    return tip.isVisible();
  }
  // Rests over `w` until its tip is up.
  bool ShowOver(QWidget* w, QPoint local = QPoint(30, 8)) {
    MoveTo(w, local);
    return WaitShown();
  }

  sekato::controls::BalloonClock clock;  // the tip's time, moved on by the test
  CBalloonTip tip;
  QLineEdit* keywords = nullptr;
  QLineEdit* titleSize = nullptr;
  QCheckBox* keepLines = nullptr;
  QLineEdit* plain = nullptr;
  QPoint cursor{0, 0};
};

}  // namespace

class TestBalloonTip : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void showsAfterThePointerRestsWithTheStemOnIt();
  void disabledOrHiddenFieldNeverShowsItsTip();
  void buttonPressHidesUntilAMoveOverAField();
  void leavingTheFieldsHidesAtOnceAndAwayFromTheFormAtThePoll();
  void iconSizeComesFromTheIconAndTheLaterRegistrationWins();
  void keywordsTipDrawsThirteenLinesInsideTheBalloon();
  void darkPaletteKeepsTheTextReadable();
  void tipWithoutWindowNeverShowsAndGoesWithItsOwner();

 private:
  std::unique_ptr<TestForm> m_form;
};

void TestBalloonTip::init() {
  m_form = std::make_unique<TestForm>();
  m_form->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestBalloonTip::cleanup() { m_form.reset(); }

void TestBalloonTip::showsAfterThePointerRestsWithTheStemOnIt() {
  TestForm& form = *m_form;
  form.activateWindow();
  form.plain->setFocus();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QVERIFY(!form.tip.isVisible());

  // Several moves over the field: one show, half a second after the last, at the last point.
  form.MoveTo(form.keywords, QPoint(40, 8));
  form.clock.Advance(200);
  form.MoveTo(form.keywords, QPoint(70, 9));
  form.clock.Advance(499);
  QVERIFY(!form.tip.isVisible());
  form.clock.Advance(1);
  QVERIFY(form.tip.isVisible());
  QCOMPARE(form.tip.Text(), kKeywordsHelp);
  QCOMPARE(form.tip.Anchor(), form.cursor);

  const BalloonGeometry g = form.tip.CreateBalloonGeometry();
  const QPoint stem(g.StemPoint().x, g.StemPoint().y);
  QCOMPARE(form.tip.geometry().topLeft() + stem, form.cursor);
  QCOMPARE(form.tip.size(), QSize(g.WindowSize().cx, g.WindowSize().cy));
  // The shape leaves the pointer's own pixel to the field beneath.
  // Near the screen's edge the tip is turned: the shape's last pixel before the point lies
  // towards the body.
  const BalloonGeometry::Orientation turned = g.GetOrientation();
  const QPoint inward(turned.stemLeft ? 1 : -1, turned.stemUp ? 1 : -1);
  QVERIFY(form.tip.mask().contains(QPoint(g.BodyWidth() / 2, g.TextOrigin().y + 2)));
  QVERIFY(form.tip.mask().contains(stem + inward));
  QVERIFY(!form.tip.mask().contains(stem));
  QCOMPARE(CBalloonTip::WindowFromPoint(form.cursor), form.keywords);

  // Shown without taking the focus or the activation; as a frameless tool-tip window.
  QCOMPARE(QApplication::focusWidget(), form.plain);
  QCOMPARE(QApplication::activeWindow(), &form);
  QVERIFY(form.tip.isWindow());
  QCOMPARE(form.tip.windowType(), Qt::ToolTip);
  QVERIFY(form.tip.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  QVERIFY(form.tip.testAttribute(Qt::WA_ShowWithoutActivating));

  // While the pointer rests, the tip stays: well past several polls.
  form.clock.Advance(1300);
  QVERIFY(form.tip.isVisible());
}

void TestBalloonTip::disabledOrHiddenFieldNeverShowsItsTip() {
  TestForm& form = *m_form;
  const QPoint overTitle = form.titleSize->mapToGlobal(QPoint(10, 8));
  QCOMPARE(CBalloonTip::WindowFromPoint(overTitle), form.titleSize);
  form.titleSize->setEnabled(false);
  QCOMPARE(CBalloonTip::WindowFromPoint(overTitle), &form);
  form.keepLines->hide();
  QCOMPARE(CBalloonTip::WindowFromPoint(form.keepLines->mapToGlobal(QPoint(10, 8))), &form);

  form.MoveTo(form.titleSize, QPoint(10, 8));
  form.MoveTo(form.titleSize, QPoint(12, 8));
  form.clock.Advance(800);
  QVERIFY(!form.tip.isVisible());

  // Enabled again, the same field explains itself.
  form.titleSize->setEnabled(true);
  QVERIFY(form.ShowOver(form.titleSize, QPoint(14, 8)));
  QCOMPARE(form.tip.Text(), kTitleSizeHelp);
}

void TestBalloonTip::buttonPressHidesUntilAMoveOverAField() {
  TestForm& form = *m_form;
  QVERIFY(form.ShowOver(form.keywords));
  const QPoint anchor = form.cursor;

  form.Click(form.keywords, QEvent::MouseButtonPress, Qt::LeftButton);
  QVERIFY(!form.tip.isVisible());
  form.Click(form.keywords, QEvent::MouseButtonRelease, Qt::LeftButton);
  form.Click(form.keywords, QEvent::MouseButtonDblClick, Qt::LeftButton);
  // A move reported at exactly the anchor (a window changing under a still pointer) is not
  // a move over the field: the tip stays hidden.
  form.MoveTo(form.keywords, form.keywords->mapFromGlobal(anchor));
  form.clock.Advance(800);
  QVERIFY(!form.tip.isVisible());

  // Right and middle presses hide too, also when only the event's type is known; a press of
  // another button does not.
  QVERIFY(form.ShowOver(form.keywords, QPoint(31, 8)));
  form.Click(form.keywords, QEvent::MouseButtonPress, Qt::BackButton);
  QVERIFY(form.tip.isVisible());
  form.Click(form.keywords, QEvent::MouseButtonPress, Qt::RightButton);
  QVERIFY(!form.tip.isVisible());
  QVERIFY(form.ShowOver(form.keywords, QPoint(32, 8)));
  form.Click(form.keywords, QEvent::MouseButtonPress, Qt::MiddleButton);
  QVERIFY(!form.tip.isVisible());
  QVERIFY(form.ShowOver(form.keywords, QPoint(33, 8)));
  form.tip.RelayEvent(QEvent::MouseButtonPress);
  QVERIFY(!form.tip.isVisible());
}

void TestBalloonTip::leavingTheFieldsHidesAtOnceAndAwayFromTheFormAtThePoll() {
  TestForm& form = *m_form;
  QVERIFY(form.ShowOver(form.keepLines));
  QCOMPARE(form.tip.Text(), kKeepLinesHelp);
  form.MoveTo(form.plain, QPoint(10, 8));  // a field without a tip
  QVERIFY(!form.tip.isVisible());

  QVERIFY(form.ShowOver(form.keepLines, QPoint(31, 8)));
  form.MoveTo(&form, QPoint(400, 190));  // the form itself
  QVERIFY(!form.tip.isVisible());

  // Out of the form nothing is relayed: the poll notices within half a second.
  QVERIFY(form.ShowOver(form.keepLines, QPoint(32, 8)));
  form.cursor += QPoint(1, 0);
  form.clock.Advance(500);
  QVERIFY(!form.tip.isVisible());

  // Leaving the form, or another window taking the keyboard, calls off a show on its way.
  form.MoveTo(form.keepLines, QPoint(33, 8));
  form.tip.Pop();
  form.clock.Advance(1000);
  QVERIFY(!form.tip.isVisible());
}

void TestBalloonTip::iconSizeComesFromTheIconAndTheLaterRegistrationWins() {
  TestForm& form = *m_form;
  const auto iconOf = [](int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
  };
  form.tip.SetIcon(iconOf(32));
  QCOMPARE(form.tip.IconSize(), QSize(32, 32));
  // Icons of 256 px and more keep their size rather than wrapping round to nothing.
  form.tip.SetIcon(iconOf(256));
  QCOMPARE(form.tip.IconSize(), QSize(256, 256));
  form.tip.SetIcon(QIcon());
  QCOMPARE(form.tip.IconSize(), QSize(0, 0));

  // Registering a field again replaces its text and icon; the relay brings both.
  form.tip.AddTool(form.titleSize, QStringLiteral("新的说明"), iconOf(48));
  QVERIFY(form.ShowOver(form.titleSize, QPoint(10, 8)));
  QCOMPARE(form.tip.Text(), QStringLiteral("新的说明"));
  QCOMPARE(form.tip.IconSize(), QSize(48, 48));
  const BalloonGeometry g = form.tip.CreateBalloonGeometry();
  QCOMPARE(g.BodyHeight(), 48);  // taller than one line plus its margins
  QCOMPARE(g.TextOrigin().x, 12 + 48 + 5);
  const QImage image = form.tip.grab().toImage();
  QCOMPARE(image.pixelColor(12 + 24, 10 + 24), QColor(Qt::red));

  // A field without an icon clears it again.
  QVERIFY(form.ShowOver(form.keepLines, QPoint(10, 8)));
  QCOMPARE(form.tip.IconSize(), QSize(0, 0));
}

void TestBalloonTip::keywordsTipDrawsThirteenLinesInsideTheBalloon() {
  TestForm& form = *m_form;
  QVERIFY(form.ShowOver(form.keywords, QPoint(280, 12)));

  const QFontMetrics fm(form.tip.TextFont(), &form.tip);
  const QStringList lines = kKeywordsHelp.split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 13);
  int widest = 0;
  for (const QString& line : lines) widest = qMax(widest, fm.horizontalAdvance(line));
  const BalloonGeometry g = form.tip.CreateBalloonGeometry();
  QCOMPARE(g.BodyHeight(), 13 * fm.height() + 20);
  QVERIFY(qAbs(g.BodyWidth() - (widest + 24)) <= 1);
  QCOMPARE(form.tip.height(), g.BodyHeight() + 25);

  const QImage image = form.tip.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  // Kept for a look by eye only when SEKATO_TEST_SHOTS names a folder.
  if (const QString shots = qEnvironmentVariable("SEKATO_TEST_SHOTS"); !shots.isEmpty())
    image.save(shots + QStringLiteral("/balloon_tip.png"));
  const QPalette& pal = form.tip.palette();
  const int middle = g.BodyWidth() / 2;
  QCOMPARE(image.pixelColor(middle, 0), pal.color(QPalette::WindowText));
  QCOMPARE(image.pixelColor(middle, 1), pal.color(QPalette::Button));
  QCOMPARE(image.pixelColor(middle, 2), pal.color(QPalette::Button));
  QCOMPARE(image.pixelColor(middle, 3), pal.color(QPalette::Base));
  QCOMPARE(image.pixelColor(0, g.BodyHeight() / 2), pal.color(QPalette::WindowText));
  // Glyphs in every line's band, none in the margins left of and above the text.
  for (int i = 0; i < 13; ++i) {
    int ink = 0;
    for (int y = 10 + i * fm.height(); y < 10 + (i + 1) * fm.height(); ++y)
      for (int x = 12; x < g.BodyWidth() - 12; ++x)
        if (image.pixelColor(x, y).lightness() < 100) ++ink;
    QVERIFY2(ink > 20, qPrintable(QStringLiteral("line %1").arg(i + 1)));
  }
  for (int y = 4; y < 10; ++y)
    for (int x = 4; x < 12; ++x) QCOMPARE(image.pixelColor(x, y), pal.color(QPalette::Base));

  // The tip over the form, the pointer's spot marked, for a look by eye.
  const QRect area = form.frameGeometry().united(form.tip.geometry()).adjusted(-10, -10, 10, 10);
  QImage shot(area.size(), QImage::Format_ARGB32);
  shot.fill(QColor(90, 110, 140));
  QPainter painter(&shot);
  painter.drawPixmap(form.geometry().topLeft() - area.topLeft(), form.grab());
  // The window system cuts the tip to its mask; a grab does not, so cut it here.
  const QPoint tipAt = form.tip.geometry().topLeft() - area.topLeft();
  painter.setClipRegion(form.tip.mask().translated(tipAt));
  painter.drawImage(tipAt, image);
  painter.setClipping(false);
  const QPoint pointer = form.cursor - area.topLeft();
  painter.setPen(Qt::red);
  painter.drawLine(pointer, pointer + QPoint(0, 12));
  painter.drawLine(pointer, pointer + QPoint(8, 8));
  painter.end();
  // Kept for a look by eye only when SEKATO_TEST_SHOTS names a folder.
  if (const QString shots = qEnvironmentVariable("SEKATO_TEST_SHOTS"); !shots.isEmpty())
    shot.save(shots + QStringLiteral("/balloon_tip_form.png"));
}

void TestBalloonTip::darkPaletteKeepsTheTextReadable() {
  TestForm& form = *m_form;
  QPalette dark = form.tip.palette();
  dark.setColor(QPalette::Base, Qt::black);
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Button, Qt::darkGray);
  form.tip.setPalette(dark);
  QVERIFY(form.ShowOver(form.titleSize, QPoint(10, 8)));
  const QImage image = form.tip.grab().toImage();
  const BalloonGeometry g = form.tip.CreateBalloonGeometry();
  int light = 0;
  for (int y = 10; y < g.BodyHeight() - 10; ++y)
    for (int x = 12; x < g.BodyWidth() - 12; ++x)
      if (image.pixelColor(x, y).lightness() > 150) ++light;
  QVERIFY(light > 50);
}

void TestBalloonTip::tipWithoutWindowNeverShowsAndGoesWithItsOwner() {
  TestForm& form = *m_form;
  QPoint cursor = form.keywords->mapToGlobal(QPoint(10, 8));
  sekato::controls::BalloonClock clock;
  {
    CBalloonTip unmade;
    unmade.SetClock(&clock);
    unmade.SetCursorSource([&cursor] { return cursor; });
    unmade.AddTool(form.keywords, QStringLiteral("x"));
    unmade.RelayEvent(QEvent::MouseMove);
    clock.Advance(700);
    QVERIFY(!unmade.isVisible());
  }

  // Owned by a window and armed with both timers running, it goes when the owner goes.
  auto* owner = new QWidget;
  owner->setGeometry(100, 100, 200, 100);
  auto* field = new QLineEdit(owner);
  field->setGeometry(10, 10, 100, 22);
  owner->show();
  QVERIFY(QTest::qWaitForWindowExposed(owner));
  QPointer<CBalloonTip> tip = new CBalloonTip;
  tip->Create(owner);
  tip->SetClock(&clock);
  tip->SetCursorSource([&cursor] { return cursor; });
  tip->AddTool(field, QStringLiteral("y"));
  cursor = field->mapToGlobal(QPoint(10, 8));
  tip->RelayEvent(QEvent::MouseMove);
  clock.Advance(500);
  QVERIFY(tip->isVisible());
  cursor += QPoint(2, 0);
  tip->RelayEvent(QEvent::MouseMove);  // re-armed while the poll runs
  delete owner;
  QVERIFY(tip.isNull());
  clock.Advance(600);  // no tick may reach the destroyed tip
}

QTEST_MAIN(TestBalloonTip)
#include "tst_cballoontip.moc"
