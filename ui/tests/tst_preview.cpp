// The chapter preview from the window, and the completion message's folder and preview
// buttons, on the sample novel with the real engine.
#include <QAbstractItemModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "appmessagebox.h"
#include "cheadinglistmodel.h"
#include "cmainframe.h"
#include "cpreviewdlg.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "csourcelook.h"
#include "previewfixture.h"
#include "uitestsupport.h"
#include "weblinks.h"

using namespace sekato::ui;
using namespace sekato::ui::test;

class TestPreview : public QObject, protected PreviewFixture {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(CopyNovel(QStringLiteral(SEKATO_SAMPLES_DIR "/sanguoyanyi.gbk.txt")));
  }
  void init() { QVERIFY(OpenWindow()); }
  void cleanup() { CloseWindow(); }

  void previewListsHeadingsAndAppliesAHint() {
    QAction* preview = test::Action(m_app->MainFrame(), "actionPreview");
    QVERIFY(!preview->isEnabled());  // no source yet
    View()->ChooseSource(m_novel);
    QVERIFY(preview->isEnabled());

    // The window's defaults look for 第…章: nothing is found, and the book's 第N回 is the hint.
    CPreviewDlg* dialog = Preview();
    QVERIFY(dialog);
    QCOMPARE(dialog->Table()->model()->rowCount(), 0);
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("novel"))));  // nothing written
    auto* apply = dialog->findChild<QPushButton*>(QStringLiteral("hint0"));
    QVERIFY(apply);
    apply->click();
    QCOMPARE(Text("keywords"), QStringLiteral("第 回"));
    QCOMPARE(Text("titleMax"), QStringLiteral("24"));
    QVERIFY(WaitUntil([&] { return View()->findChild<CPreviewDlg*>() == nullptr; }));

    // With the hint applied every heading is listed; the repeated chapter 35 is marked.
    dialog = Preview();
    QVERIFY(dialog);
    const QAbstractItemModel* model = dialog->Table()->model();
    QCOMPARE(model->rowCount(), 121);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("章节标题"));
    QVERIFY(model->index(0, CHeadingListModel::kTitle)
                .data()
                .toString()
                .startsWith(QStringLiteral("第一回")));
    QCOMPARE(model->index(120, CHeadingListModel::kLine).data().toLongLong(), 20341);
    QCOMPARE(model->index(0, CHeadingListModel::kFile).data().toString(),
             QStringLiteral("novel_001.txt"));
    for (int row : {34, 35}) {
      QCOMPARE(model->index(row, 0).data(Qt::BackgroundRole).value<QColor>(),
               CHeadingListModel::MarkColor());
      QCOMPARE(model->index(row, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("重复"));
    }
    QVERIFY(!model->index(36, 0).data(Qt::BackgroundRole).isValid());
    dialog->reject();
  }

  void completionMessageOpensTheFolderOrThePreview() {
    MessageCapture messages;
    QList<QUrl> opened;
    WebLinks::SetOpener([&](const QUrl& url) {
      opened << url;
      return true;
    });
    int choice = 0;  // 打开文件夹
    // The keywords find no heading: written anyway. The second run finds the first one's
    // piece: it is cleared.
    sekato::controls::AppMessageBox::SetChooser([&](const QString&, const QStringList& actions) {
      return actions.contains(QStringLiteral("清空旧文件后继续")) ||
                     actions.contains(QStringLiteral("仍然写出"))
                 ? 0
                 : choice;
    });
    View()->ChooseSource(m_novel);
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return !View()->RunControl()->IsBusy(); }));
    const QString folder = m_dir.filePath(QStringLiteral("novel"));
    QCOMPARE(messages.texts.size(), 2);  // the question about the headings came first
    QVERIFY(messages.texts[1].startsWith(
        QStringLiteral("文件分割完成！\n共写出 1 个文件，保存在：\n%1\n").arg(folder)));
    QVERIFY(messages.texts[1].contains(QStringLiteral("没有找到章节标题")));
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(folder)});

    choice = 1;  // 预览章节: the preview follows the run
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    CPreviewDlg* dialog = nullptr;
    QVERIFY(WaitUntil([&] { return (dialog = View()->findChild<CPreviewDlg*>()) != nullptr; }));
    QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("hint0")));
    QCOMPARE(messages.texts.size(), 5);  // the questions about headings and the older piece
    dialog->reject();
    sekato::controls::AppMessageBox::SetChooser({});
    WebLinks::SetOpener({});
  }

  void chosenSourceShowsWhatDetectionFoundAndUseSplitsByIt() {
    MessageCapture messages;
    QLabel* line = Item<QLabel>(View(), "detected");
    QPushButton* use = Item<QPushButton>(View(), "useDetected");
    auto* rule = Item<QComboBox>(View(), "headingRule");
    QVERIFY(line->isHidden() && use->isHidden());                // nothing chosen, nothing to say
    QCOMPARE(rule->currentIndex(), CSekatoView::kRuleKeywords);  // the keywords 第  章 still
    View()->ChooseSource(m_novel);
    QVERIFY(WaitUntil([&] { return !View()->SourceLook()->IsRunning() && !use->isHidden(); }));
    // Whole in the tooltip; the line shows as much as its width holds.
    QCOMPARE(line->toolTip(),
             QStringLiteral("自动识别：第N回（中文数字），120 回（标题最长 24 字）"));
    QVERIFY(line->text().startsWith(QStringLiteral("自动识别：第N回")));
    QCOMPARE(rule->currentIndex(), CSekatoView::kRuleKeywords);  // told, not chosen

    use->click();
    QCOMPARE(rule->currentIndex(), CSekatoView::kRuleAuto);
    QVERIFY(Item<QLineEdit>(View(), "keywords")->isHidden());
    sekato::controls::AppMessageBox::SetChooser([](const QString&, const QStringList& actions) {
      return actions.contains(QStringLiteral("清空旧文件后继续")) ? 0 : -1;
    });
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return !View()->RunControl()->IsBusy(); }));
    sekato::controls::AppMessageBox::SetChooser({});
    // No question about headings: the detected rule finds them. Chapter 35's repeated
    // heading is body text, so 120 pieces, as the command line writes them.
    QVERIFY2(messages.texts.back().startsWith(QStringLiteral("文件分割完成！\n共写出 120 个文件")),
             qPrintable(messages.texts.join(QLatin1Char('|'))));
    const auto window = ReadFiles(m_dir.filePath(QStringLiteral("novel")));
    QCOMPARE(window.size(), 120);
    const QString cli = m_dir.filePath(QStringLiteral("cli-auto"));
    QString error;
    QVERIFY2(
        RunCli({QStringLiteral("-q"), QStringLiteral("--auto"), QStringLiteral("-o"), cli, m_novel},
               &error),
        qPrintable(error));
    QCOMPARE(window, ReadFiles(cli));
  }

  void previewOffersTheDetectedRule_data() {
    QTest::addColumn<QString>("pattern");  // chosen in the dialog; empty: the rule0 button
    QTest::addColumn<int>("rule");         // the chapter row's choice afterwards
    QTest::newRow("detection's rule") << QString() << static_cast<int>(CSekatoView::kRuleAuto);
    QTest::newRow("an alternative, as a regular expression")
        << QStringLiteral("^(?<n>\\d+)、") << static_cast<int>(CSekatoView::kRuleRegex);
  }

  void previewOffersTheDetectedRule() {
    QFETCH(QString, pattern);
    QFETCH(int, rule);
    View()->ChooseSource(m_novel);
    Item<QRadioButton>(View(), "splitModeSize")->click();
    QVERIFY(WaitUntil([&] { return !View()->SourceLook()->IsRunning(); }));
    CPreviewDlg* dialog = Preview();
    QVERIFY(dialog);
    auto* use = dialog->findChild<QPushButton*>(QStringLiteral("rule0"));
    QVERIFY(use);
    QVERIFY2(
        use->accessibleName().startsWith(QStringLiteral("自动识别：第N回（中文数字），120 回")),
        qPrintable(use->accessibleName()));
    if (pattern.isEmpty()) {
      use->click();
    } else {
      emit dialog->RuleChosen(pattern);
    }
    QCOMPARE(Item<QComboBox>(View(), "headingRule")->currentIndex(), rule);
    QVERIFY(Item<QRadioButton>(View(), "splitModeChapter")->isChecked());  // a rule is for chapters
    if (!pattern.isEmpty()) QCOMPARE(Text("regex"), pattern);
    if (View()->findChild<CPreviewDlg*>()) dialog->reject();
  }

  void noHeadingIsToldBeforeWriting_data() {
    QTest::addColumn<QString>("rule");  // keywords, or a regular expression
    QTest::addColumn<int>("answer");    // the button pressed
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<int>("written");  // pieces in the folder afterwards; -1: no folder
    QTest::addColumn<bool>("preview");
    const QStringList three{QStringLiteral("仍然写出"), QStringLiteral("预览章节"),
                            QStringLiteral("取消")};
    QTest::newRow("keywords, write anyway") << QStringLiteral("第  章") << 0 << three << 1 << false;
    QTest::newRow("keywords, preview") << QStringLiteral("第  章") << 1 << three << -1 << true;
    QTest::newRow("keywords, cancel") << QStringLiteral("第  章") << 2 << three << -1 << false;
    QTest::newRow("keywords changed after choosing, cancel")
        << QStringLiteral("第 节") << 2 << three << -1 << false;
    // The look taken when the source was chosen went by 第  章; Start looks again.
    QTest::newRow("keywords changed to ones that find headings")
        << QStringLiteral("第 回") << -1 << QStringList() << 19 << false;
    QTest::newRow("rule, cancel") << QStringLiteral("re:^Chapter (?<n>\\d+)") << 2 << three << -1
                                  << false;
  }

  void noHeadingIsToldBeforeWriting() {
    QFETCH(QString, rule);
    QFETCH(int, answer);
    QFETCH(QStringList, choices);
    QFETCH(int, written);
    QFETCH(bool, preview);
    QDir(m_dir.filePath(QStringLiteral("novel"))).removeRecursively();
    MessageCapture messages;
    QStringList asked;
    sekato::controls::AppMessageBox::SetChooser([&](const QString&, const QStringList& actions) {
      if (actions.contains(QStringLiteral("打开文件夹"))) return -1;
      asked = actions;
      return answer;
    });
    View()->ChooseSource(m_novel);
    if (rule.startsWith(QStringLiteral("re:"))) {
      Item<QComboBox>(View(), "headingRule")->setCurrentIndex(CSekatoView::kRuleRegex);
      View()->OnHeadingRule();
      Item<QLineEdit>(View(), "regex")->setText(rule.mid(3));
    } else {
      Item<QLineEdit>(View(), "keywords")->setText(rule);
    }
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] {
      return !View()->RunControl()->IsBusy() &&
             (!preview || View()->findChild<CPreviewDlg*>() != nullptr);
    }));
    sekato::controls::AppMessageBox::SetChooser({});
    QCOMPARE(asked, choices);
    const QDir folder(m_dir.filePath(QStringLiteral("novel")));
    QCOMPARE(folder.exists() ? static_cast<int>(folder.entryList(QDir::Files).size()) : -1,
             written);
    if (choices.isEmpty()) return;
    // The preview's summary and hints, and what detection found instead.
    const QString question = messages.texts.value(0);
    QVERIFY2(question.contains(QStringLiteral("没有找到章节标题，将写出 1 个文件")),
             qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("自动识别：第N回（中文数字），共 120 回")),
             qPrintable(question));
    if (!rule.startsWith(QStringLiteral("re:"))) {
      QVERIFY2(question.contains(QStringLiteral("关键字设为“第 回”")), qPrintable(question));
    }
    if (CPreviewDlg* dialog = View()->findChild<CPreviewDlg*>()) {
      QVERIFY(preview);
      dialog->reject();
    }
  }

  void completionMessageListsTheNumberingNotes() {
    MessageCapture messages;
    sekato::controls::AppMessageBox::SetChooser([](const QString&, const QStringList& actions) {
      return actions.contains(QStringLiteral("清空旧文件后继续")) ? 0 : -1;
    });
    View()->ChooseSource(m_novel);
    Item<QLineEdit>(View(), "keywords")->setText(QStringLiteral("第 回"));
    Item<QLineEdit>(View(), "titleMax")->setText(QStringLiteral("30"));
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return !View()->RunControl()->IsBusy(); }));
    sekato::controls::AppMessageBox::SetChooser({});
    QVERIFY(!messages.texts.isEmpty());
    const QString done = messages.texts.back();
    QVERIFY2(done.startsWith(QStringLiteral("文件分割完成！\n共写出 121 个文件")),
             qPrintable(done));
    QVERIFY2(done.endsWith(QStringLiteral("\n\n章节编号：\n编号 35 出现 2 次：第 5976、6106 行")),
             qPrintable(done));
  }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
