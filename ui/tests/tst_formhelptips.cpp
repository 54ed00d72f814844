// The form's help tips: five fields explain themselves while they are enabled.
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QtTest>

#include "csekatoview.h"
#include "formhelptexts.h"
#include "uitestsupport.h"

using namespace sekato::ui;

class TestFormHelpTips : public QObject {
  Q_OBJECT

 private:
  /// Moves the pointer onto the middle of `control` and reports the move the way the window
  /// system does: to the control when it takes the mouse, else to the form beneath it.
  void RestOn(QWidget* control) {
    const QPoint local = control->rect().center();
    m_pointer = control->mapToGlobal(local);
    QWidget* target = control->isEnabled() ? control : control->parentWidget();
    QMouseEvent move(QEvent::MouseMove, QPointF(target->mapFromGlobal(m_pointer)),
                     QPointF(m_pointer), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
  }
  void Press(QWidget* control, QEvent::Type type, Qt::MouseButton button) {
    QMouseEvent press(type, QPointF(control->rect().center()), QPointF(m_pointer), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(control, &press);
  }

  sekato::controls::BalloonClock m_clock;  // the tip's time, moved on by the test
  std::unique_ptr<CSekatoView> m_view;
  QPoint m_pointer;

 private slots:
  void init() {
    m_view = std::make_unique<CSekatoView>();
    m_view->OnInitialUpdate();
    m_view->resize(800, 700);  // the whole form in view, as in its fitted frame
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->m_tip.SetCursorSource([this] { return m_pointer; });
    m_view->m_tip.SetClock(&m_clock);
  }
  void cleanup() { m_view.reset(); }

  void keywordsTipAppearsWhereThePointerRests() {
    m_view->m_tip.SetClock(nullptr);  // this once on the real timers
    QWidget* keywords = test::Item<QWidget>(m_view.get(), "keywords");
    RestOn(keywords);
    QVERIFY(!m_view->m_tip.isVisible());  // only after half a second at rest
    QTRY_VERIFY_WITH_TIMEOUT(m_view->m_tip.isVisible(), 2000);
    const QString text = m_view->m_tip.Text();
    QCOMPARE(text, QString::fromUtf8(FormHelpTexts::kKeywordsHelp));
    QCOMPARE(text.split(QLatin1Char('\n')).size(), 13);
    QCOMPARE(m_view->m_tip.Anchor(), m_pointer);
    QCOMPARE(m_view->m_tip.TextFont().pointSize(), 9);
    // Its window is exactly as wide as the longest line plus the margins.
    QCOMPARE(m_view->m_tip.width(), m_view->m_tip.CreateBalloonGeometry().WindowSize().cx);

    // A release does nothing; a press on the field hides the tip.
    Press(keywords, QEvent::MouseButtonRelease, Qt::LeftButton);
    QVERIFY(m_view->m_tip.isVisible());
    Press(keywords, QEvent::MouseButtonPress, Qt::LeftButton);
    QVERIFY(!m_view->m_tip.isVisible());
  }

  void tipsFollowTheEnabledFields() {
    // Chapter mode: the title size explains itself, the disabled keep-lines box does not.
    RestOn(test::Item<QWidget>(m_view.get(), "titleMax"));
    m_clock.Advance(500);
    QVERIFY(m_view->m_tip.isVisible());
    QCOMPARE(m_view->m_tip.Text(), QString::fromUtf8(FormHelpTexts::kTitleSizeHelp));
    QVERIFY(m_view->m_tip.Text().startsWith(QLatin1String("    ")));
    RestOn(test::Item<QWidget>(m_view.get(), "keepLines"));
    QVERIFY(!m_view->m_tip.isVisible());
    m_clock.Advance(700);
    QVERIFY(!m_view->m_tip.isVisible());

    // Size mode: keywords and title size are disabled, keep-lines is the one with a tip.
    qobject_cast<QAbstractButton*>(test::Item<QWidget>(m_view.get(), "splitModeSize"))->click();
    RestOn(test::Item<QWidget>(m_view.get(), "keywords"));
    m_clock.Advance(700);
    QVERIFY(!m_view->m_tip.isVisible());
    RestOn(test::Item<QWidget>(m_view.get(), "keepLines"));
    m_clock.Advance(500);
    QVERIFY(m_view->m_tip.isVisible());
    QCOMPARE(m_view->m_tip.Text(), QString::fromUtf8(FormHelpTexts::kKeepLinesHelp));
  }

  void encodingChoicesExplainThemselves() {
    for (auto [id, help] : {std::pair{"encoding", FormHelpTexts::kEncodingHelp},
                            std::pair{"outEncoding", FormHelpTexts::kOutEncodingHelp}}) {
      RestOn(test::Item<QWidget>(m_view.get(), id));
      m_clock.Advance(500);
      QCOMPARE(m_view->m_tip.Text(), QString::fromUtf8(help));
      QVERIFY(m_view->m_tip.isVisible());
    }
  }

  void otherFieldsHaveNoTip() {
    RestOn(test::Item<QWidget>(m_view.get(), "chaptersPerFile"));
    m_clock.Advance(700);
    QVERIFY(!m_view->m_tip.isVisible());
  }

  void tipGoesWhenThePointerLeavesOrAnotherWindowTakesOver() {
    for (const QEvent::Type type : {QEvent::Leave, QEvent::WindowDeactivate}) {
      RestOn(test::Item<QWidget>(m_view.get(), "keywords"));
      m_clock.Advance(500);
      QVERIFY(m_view->m_tip.isVisible());
      QEvent event(type);
      QApplication::sendEvent(m_view.get(), &event);
      QVERIFY(!m_view->m_tip.isVisible());
      // Also a show still on its way never comes.
      RestOn(test::Item<QWidget>(m_view.get(), "titleMax"));
      QApplication::sendEvent(m_view.get(), &event);
      m_clock.Advance(1000);
      QVERIFY(!m_view->m_tip.isVisible());
    }
  }
};

QTEST_MAIN(TestFormHelpTips)
#include "tst_formhelptips.moc"
