// The preview's list as an editor, from the window on the sample novel with the real engine:
// edited and split by as the command line splits by it, kept for the form, and imported as
// --toc reads a list.
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "appmessagebox.h"
#include "cchapterstrip.h"
#include "cheadinglistmodel.h"
#include "cmainframe.h"
#include "cpreviewdlg.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "previewfixture.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using namespace sekato::ui::test;

class TestPreviewList : public QObject, protected PreviewFixture {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(CopyNovel(QStringLiteral(SEKATO_SAMPLES_DIR "/sanguoyanyi.gbk.txt")));
  }
  void init() { QVERIFY(OpenWindow()); }
  void cleanup() { CloseWindow(); }

  void editedListSplitsAsTheCommandLineDoes() {
    MessageCapture messages;
    View()->ChooseSource(m_novel);
    Item<QLineEdit>(View(), "keywords")->setText(QStringLiteral("第 回"));
    Item<QLineEdit>(View(), "titleMax")->setText(QStringLiteral("30"));
    CPreviewDlg* dialog = Preview();
    QVERIFY(dialog);
    CHeadingListModel* model = dialog->Model();
    QCOMPARE(model->rowCount(), 121);
    for (int row : {4, 9}) {
      QVERIFY(model->setData(model->index(row, CHeadingListModel::kIndex), Qt::Unchecked,
                             Qt::CheckStateRole));
    }
    QVERIFY(model->setData(model->index(2, CHeadingListModel::kTitle), QStringLiteral("改过的题目"),
                           Qt::EditRole));
    auto* pieces = dialog->findChild<QLabel*>(QStringLiteral("pieces"));
    QVERIFY(pieces);
    QVERIFY(pieces->text().contains(QStringLiteral("119 章")));
    // 反选 on a selected range, twice, leaves the rows as they were.
    dialog->Table()->selectRow(20);
    dialog->findChild<QPushButton*>(QStringLiteral("invert"))->click();
    QVERIFY(!model->IsChecked(20));
    dialog->findChild<QPushButton*>(QStringLiteral("invert"))->click();
    QVERIFY(model->IsChecked(20));

    const QString toc = m_dir.filePath(QStringLiteral("toc.json"));
    QString error;
    QVERIFY2(dialog->ExportTo(toc, error), qPrintable(error));
    // Pieces of the earlier tests' splits are in the folder: they are cleared first.
    sekato::controls::AppMessageBox::SetChooser([](const QString&, const QStringList& actions) {
      return actions.contains(QStringLiteral("清空旧文件后继续")) ? 0 : -1;
    });
    dialog->findChild<QPushButton*>(QStringLiteral("splitByList"))->click();
    QVERIFY(WaitUntil([&] { return !View()->RunControl()->IsBusy(); }));
    sekato::controls::AppMessageBox::SetChooser({});
    QVERIFY(!messages.texts.isEmpty());
    QVERIFY2(messages.texts.back().startsWith(QStringLiteral("文件分割完成")),
             qPrintable(messages.texts.back()));

    const QString cli = m_dir.filePath(QStringLiteral("cli"));
    QVERIFY2(RunCli({QStringLiteral("-q"), QStringLiteral("-k"), QStringLiteral("第 回"),
                     QStringLiteral("--title-max"), QStringLiteral("30"), QStringLiteral("--toc"),
                     toc, QStringLiteral("-o"), cli, m_novel},
                    &error),
             qPrintable(error));
    const auto window = ReadFiles(m_dir.filePath(QStringLiteral("novel")));
    QCOMPARE(window.size(), 119);
    QCOMPARE(window, ReadFiles(cli));
  }

  void stripSelectsRowsAndAKeptListShowsOnTheForm() {
    View()->ChooseSource(m_novel);
    Item<QLineEdit>(View(), "keywords")->setText(QStringLiteral("第 回"));
    Item<QLineEdit>(View(), "titleMax")->setText(QStringLiteral("30"));
    CPreviewDlg* dialog = Preview();
    QVERIFY(dialog);
    auto* strip = dialog->findChild<CChapterStrip*>(QStringLiteral("strip"));
    QVERIFY(strip);
    strip->resize(605, 40);
    const int x = 300;
    const int row = strip->RowAt(x);
    QCOMPARE(row, 60);
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(x, 20));
    QCOMPARE(dialog->Table()->selectionModel()->selectedRows().value(0).row(), row);

    CHeadingListModel* model = dialog->Model();
    QVERIFY(model->setData(model->index(0, CHeadingListModel::kIndex), Qt::Unchecked,
                           Qt::CheckStateRole));
    QVERIFY(!View()->KeptListLabel());
    emit dialog->KeepList(dialog->List());  // as closing it and keeping the changes does
    QLabel* kept = View()->KeptListLabel();
    QVERIFY(kept && !kept->isHidden());
    QVERIFY(kept->text().startsWith(QStringLiteral("按编辑后的目录（120 章）")));
    emit kept->linkActivated(QStringLiteral("rule"));
    QVERIFY(kept->isHidden());
  }

  // 导入目录… reads as --toc does: a refused file names where it went wrong (the JSON
  // parser's line and column) and leaves the rows as they were.
  void importRefusesWhatTheCommandLineRefuses_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("rows");  // after the import; 121 (the rule's) when refused
    QTest::addColumn<QString>("error");
    QTest::newRow("text list") << QByteArray("3\n7\t尾声\n12:第十二回\n") << 3 << QString();
    QTest::newRow("json list") << QByteArray(R"({"headings": [{"line": 3}, {"line": 9}]})") << 2
                               << QString();
    QTest::newRow("truncated json") << QByteArray(R"({"headings": [{"line": 3},)") << 121
                                    << QStringLiteral("line 1, column 27");
    QTest::newRow("bad json on line 3")
        << QByteArray("{\n  \"headings\": [\n    {\"line\": 3,}\n  ]\n}\n") << 121
        << QStringLiteral("line 3, column 16");
    QTest::newRow("not a list") << QByteArray(R"({"lines": [3]})") << 121
                                << QStringLiteral("\"headings\"");
    QTest::newRow("empty array") << QByteArray("[]") << 121 << QStringLiteral("\"headings\"");
    QTest::newRow("heading without line")
        << QByteArray(R"({"headings": [{"title": "甲"}]})") << 121 << QStringLiteral("heading 1");
    QTest::newRow("another book's list")
        << QByteArray(R"({"sourceBytes": 5, "headings": [{"line": 3}]})") << 121
        << QStringLiteral("另一本书");
    QTest::newRow("line zero") << QByteArray("0\n") << 121 << QStringLiteral("第 1 项");
    QTest::newRow("not ascending") << QByteArray("5\n3\n") << 121 << QStringLiteral("第 2 项");
  }
  void importRefusesWhatTheCommandLineRefuses() {
    QFETCH(QByteArray, text);
    QFETCH(int, rows);
    QFETCH(QString, error);
    View()->ChooseSource(m_novel);
    Item<QLineEdit>(View(), "keywords")->setText(QStringLiteral("第 回"));
    Item<QLineEdit>(View(), "titleMax")->setText(QStringLiteral("30"));
    CPreviewDlg* dialog = Preview();
    QVERIFY(dialog);
    const QString path = m_dir.filePath(QStringLiteral("import.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QString said;
    QCOMPARE(dialog->ImportFrom(path, said), error.isEmpty());
    QVERIFY2(said.contains(error), qPrintable(said));
    QCOMPARE(dialog->Model()->rowCount(), rows);
  }
};

QTEST_MAIN(TestPreviewList)
#include "tst_previewlist.moc"
