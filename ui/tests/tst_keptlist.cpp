// A chapter list kept from the preview: which splits it goes into, when it is dropped, and
// the form's note of it with its way back to the rule.
#include <QLabel>
#include <QtTest>

#include "ckeptlist.h"

using namespace sekato::ui;
using sekato::engine::ChapterList;
using sekato::engine::SplitMode;
using sekato::engine::SplitOptions;

namespace {

ChapterList ListOf(std::initializer_list<std::int64_t> lines) {
  ChapterList list;
  for (const std::int64_t line : lines) list.entries.push_back({line, {}});
  return list;
}

SplitOptions Split(const char* source, SplitMode mode) {
  SplitOptions options;
  options.sourcePath = source;
  options.mode = mode;
  return options;
}

}  // namespace

class TestKeptList : public QObject {
  Q_OBJECT

 private slots:
  void goesIntoSplitsOfItsBookByChapter_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("mode");     // SplitMode
    QTest::addColumn<bool>("listed");  // the split goes by the kept list
    QTest::addColumn<bool>("kept");    // the list is still kept afterwards
    QTest::newRow("its book, by chapter")
        << "/books/a.txt" << static_cast<int>(SplitMode::ByChapter) << true << true;
    QTest::newRow("its book, by size")
        << "/books/a.txt" << static_cast<int>(SplitMode::BySize) << false << true;
    QTest::newRow("its book, evenly")
        << "/books/a.txt" << static_cast<int>(SplitMode::Evenly) << false << true;
    QTest::newRow("another book, by chapter")
        << "/books/b.txt" << static_cast<int>(SplitMode::ByChapter) << false << false;
  }

  void goesIntoSplitsOfItsBookByChapter() {
    QFETCH(QString, source);
    QFETCH(int, mode);
    QFETCH(bool, listed);
    QFETCH(bool, kept);
    QLabel note;
    CKeptList list(&note);
    list.Keep(ListOf({3, 9, 20}), "/books/a.txt");
    SplitOptions options = Split(source.toUtf8().constData(), static_cast<SplitMode>(mode));
    list.ApplyTo(options);
    QCOMPARE(options.toc.has_value(), listed);
    if (listed) QCOMPARE(options.toc->entries.size(), std::size_t{3});
    QCOMPARE(!note.isHidden(), kept);
    // Whether it is still kept shows in the next split of its book by chapter.
    SplitOptions again = Split("/books/a.txt", SplitMode::ByChapter);
    list.ApplyTo(again);
    QCOMPARE(again.toc.has_value(), kept);
  }

  void noteTellsTheListAndLeadsBackToTheRule() {
    QLabel note;
    CKeptList list(&note);
    QVERIFY(list.Note() == nullptr);  // nothing kept, the form's label left alone
    list.Keep(ListOf({3, 9}), "/books/a.txt");
    QCOMPARE(list.Note(), &note);
    QVERIFY(!note.isHidden());
    QCOMPARE(note.textFormat(), Qt::RichText);
    QVERIFY2(note.text().startsWith(QStringLiteral("按编辑后的目录（2 章）")),
             qPrintable(note.text()));
    emit note.linkActivated(QStringLiteral("rule"));
    QVERIFY(note.isHidden());
    SplitOptions options = Split("/books/a.txt", SplitMode::ByChapter);
    list.ApplyTo(options);
    QVERIFY(!options.toc.has_value());
    // Kept again, the note shows the new list.
    list.Keep(ListOf({5}), "/books/a.txt");
    QVERIFY(!note.isHidden());
    QVERIFY(note.text().startsWith(QStringLiteral("按编辑后的目录（1 章）")));
  }
};

QTEST_MAIN(TestKeptList)
#include "tst_keptlist.moc"
