// The view of the book's lines that the preview opens on a heading: which lines it shows,
// numbered as the chapter list counts them, and the line it gives back to become a heading.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "csourcelinesdlg.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using sekato::engine::Encoding;

class TestSourceLinesDlg : public QObject {
  Q_OBJECT

 private slots:
  void readsFromTheLineOn_data() {
    QTest::addColumn<QByteArray>("book");
    QTest::addColumn<int>("first");
    QTest::addColumn<QStringList>("shown");
    const QByteArray gbk = test::Gbk(QStringLiteral("第一章\r\n  正文  \n\n第二章"));
    QTest::newRow("from the first line, GBK decoded, ends trimmed")
        << gbk << 1
        << QStringList{QStringLiteral("1\t第一章"), QStringLiteral("2\t正文"),
                       QStringLiteral("3\t"), QStringLiteral("4\t第二章")};
    QTest::newRow("from a later line")
        << gbk << 3 << QStringList{QStringLiteral("3\t"), QStringLiteral("4\t第二章")};
    QTest::newRow("past the end") << gbk << 9 << QStringList{};
    QTest::newRow("a lone carriage return ends no line")
        << QByteArray("a\rb\nc") << 1
        << QStringList{QStringLiteral("1\ta\rb"), QStringLiteral("2\tc")};
    QByteArray many;
    for (int i = 1; i <= 100; ++i) many += QByteArray::number(i) + '\n';
    QStringList forty;
    for (int i = 50; i < 50 + CSourceLinesDlg::kLines; ++i) {
      forty << QStringLiteral("%1\t%1").arg(i);
    }
    QTest::newRow("at most forty lines") << many << 50 << forty;
  }

  void readsFromTheLineOn() {
    QFETCH(QByteArray, book);
    QFETCH(int, first);
    QFETCH(QStringList, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.txt"));
    QVERIFY(test::WriteFile(path, book));
    const auto lines = CSourceLinesDlg::ReadLines(path.toStdString(), Encoding::Gbk, first);
    QVERIFY(lines.has_value());
    QCOMPARE(*lines, shown);
  }

  void unreadableBookShowsNothing() {
    QTemporaryDir dir;
    QVERIFY(!CSourceLinesDlg::ReadLines(dir.filePath(QStringLiteral("missing.txt")).toStdString(),
                                        Encoding::Gbk, 1));
  }

  // The line under the cursor is given back, counted from the first line shown.
  void givesBackTheLineUnderTheCursor() {
    CSourceLinesDlg view({QStringLiteral("7\ta"), QStringLiteral("8\tb"), QStringLiteral("9\tc")},
                         7);
    QCOMPARE(view.ChosenLine(), std::nullopt);
    auto* text = view.findChild<QPlainTextEdit*>(QStringLiteral("lines"));
    QVERIFY(text != nullptr);
    QTextCursor cursor(text->document()->findBlockByNumber(2));
    text->setTextCursor(cursor);
    view.findChild<QPushButton*>(QStringLiteral("insertLine"))->click();
    QCOMPARE(view.result(), int(QDialog::Accepted));
    QCOMPARE(view.ChosenLine(), std::optional<std::int64_t>(9));
  }
};

QTEST_MAIN(TestSourceLinesDlg)
#include "tst_sourcelinesdlg.moc"
