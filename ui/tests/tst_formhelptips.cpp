// The form's help tips: five fields explain themselves while they are enabled.
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QtTest>

#include "csekatoview.h"
#include "formhelptexts.h"

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
    QMouseEvent press(type, QPointF(control->rect().center()), QPointF(m_pointer), button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(control, &press);
  }

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
  }
  void cleanup() { m_view.reset(); }

  void keywordsTipAppearsWhereThePointerRests() {
    QWidget* keywords = m_view->GetDlgItem(1015);
    RestOn(keywords);
    QVERIFY(!m_view->m_tip.isVisible());  // only after half a second at rest
    QTRY_VERIFY_WITH_TIMEOUT(m_view->m_tip.isVisible(), 2000);
    const QString text = m_view->m_tip.Text();
    QCOMPARE(text, QString::fromUtf16(FormHelpTexts::kKeywordsHelp));
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
    RestOn(m_view->GetDlgItem(1021));
    QTRY_VERIFY_WITH_TIMEOUT(m_view->m_tip.isVisible(), 2000);
    QCOMPARE(m_view->m_tip.Text(), QString::fromUtf16(FormHelpTexts::kTitleSizeHelp));
    QVERIFY(m_view->m_tip.Text().startsWith(QLatin1String("    ")));
    RestOn(m_view->GetDlgItem(1018));
    QVERIFY(!m_view->m_tip.isVisible());
    QTest::qWait(700);
    QVERIFY(!m_view->m_tip.isVisible());

    // Size mode: keywords and title size are disabled, keep-lines is the one with a tip.
    qobject_cast<QAbstractButton*>(m_view->GetDlgItem(1019))->click();
    RestOn(m_view->GetDlgItem(1015));
    QTest::qWait(700);
    QVERIFY(!m_view->m_tip.isVisible());
    RestOn(m_view->GetDlgItem(1018));
    QTRY_VERIFY_WITH_TIMEOUT(m_view->m_tip.isVisible(), 2000);
    QCOMPARE(m_view->m_tip.Text(), QString::fromUtf16(FormHelpTexts::kKeepLinesHelp));
  }

  void encodingChoicesExplainThemselves() {
    for (auto [id, help] : {std::pair{1032, FormHelpTexts::kEncodingHelp},
                            std::pair{1033, FormHelpTexts::kOutEncodingHelp}}) {
      RestOn(m_view->GetDlgItem(id));
      QTRY_COMPARE_WITH_TIMEOUT(m_view->m_tip.Text(), QString::fromUtf16(help), 2000);
      QTRY_VERIFY_WITH_TIMEOUT(m_view->m_tip.isVisible(), 2000);
    }
  }

  void otherFieldsHaveNoTip() {
    RestOn(m_view->GetDlgItem(1016));
    QTest::qWait(700);
    QVERIFY(!m_view->m_tip.isVisible());
  }
};

QTEST_MAIN(TestFormHelpTips)
#include "tst_formhelptips.moc"
