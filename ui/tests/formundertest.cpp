#include "formundertest.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "filechoosers.h"
#include "uitestsupport.h"

namespace sekato::ui::test {

std::unique_ptr<CSekatoView> FormUnderTest::NewView(const QString& source) {
  auto view = std::make_unique<CSekatoView>();
  FileChoosers choosers;
  choosers.chooseSourceFile = [this](QWidget*) { return chosenSource; };
  choosers.chooseFolder = [this](QWidget*) { return chosenFolder; };
  view->SetChoosers(choosers);
  view->OnInitialUpdate();
  if (!source.isEmpty()) {
    chosenSource = source;
    Button(*view, "browseSource")->click();
  }
  return view;
}

void FormUnderTest::Reset() {
  chosenSource.clear();
  chosenFolder.clear();
}

const QStringList& FormUnderTest::AllIds() {
  static const QStringList ids = {"sourcePath",
                                  "browseSource",
                                  "dirBesideSource",
                                  "dirNew",
                                  "newDir",
                                  "browseFolder",
                                  "nameSource",
                                  "nameCustom",
                                  "customName",
                                  "nameChapter",
                                  "splitModeChapter",
                                  "splitModeEven",
                                  "keywords",
                                  "chaptersPerFile",
                                  "maxKb",
                                  "keepLines",
                                  "splitModeSize",
                                  "parts",
                                  "titleMax",
                                  "trimSpaces",
                                  "noAd",
                                  "addHead",
                                  "head",
                                  "addTail",
                                  "tail",
                                  "progress",
                                  "numerals",
                                  "encoding",
                                  "outEncoding"};
  return ids;
}

const QStringList& FormUnderTest::StartDisabled() {
  static const QStringList ids = {"newDir",    "browseFolder", "customName", "maxKb",
                                  "keepLines", "parts",        "head",       "tail"};
  return ids;
}

QMap<QString, bool> FormUnderTest::EnabledStates(const CSekatoView& view) {
  QMap<QString, bool> states;
  for (const QString& id : AllIds()) states.insert(id, Item<QWidget>(&view, id)->isEnabled());
  return states;
}

QLineEdit* Edit(const CSekatoView& view, const QString& id) { return Item<QLineEdit>(&view, id); }

QAbstractButton* Button(const CSekatoView& view, const QString& id) {
  return Item<QAbstractButton>(&view, id);
}

}  // namespace sekato::ui::test
