#include "resourceids.h"

namespace sekato::ui {

namespace {

struct NamedControl {
  int id;
  const char* name;
};

constexpr NamedControl kControlNames[] = {
    {IDD_SEKATO_FORM, "form"},
    {IDC_SRCPATH, "sourcePath"},
    {IDC_BROWSE_SRC, "browseSource"},
    {IDC_DIR_BESIDE, "dirBesideSource"},
    {IDC_DIR_NEW, "dirNew"},
    {IDC_NEWDIR, "newDir"},
    {IDC_BROWSE_DIR, "browseFolder"},
    {IDC_NAME_SOURCE, "nameSource"},
    {IDC_NAME_CUSTOM, "nameCustom"},
    {IDC_CUSTOMNAME, "customName"},
    {IDC_NAME_CHAPTER, "nameChapter"},
    {IDC_MODE_CHAPTER, "splitModeChapter"},
    {IDC_MODE_EVEN, "splitModeEven"},
    {IDC_KEYWORDS, "keywords"},
    {IDC_CHAPTERS_PER_FILE, "chaptersPerFile"},
    {IDC_MAXKB, "maxKb"},
    {IDC_KEEPLINES, "keepLines"},
    {IDC_MODE_SIZE, "splitModeSize"},
    {IDC_PARTS, "parts"},
    {IDC_TITLEMAX, "titleMax"},
    {IDC_TRIMSPACES, "trimSpaces"},
    {IDC_NOAD, "noAd"},
    {IDC_ADDHEAD, "addHead"},
    {IDC_HEAD, "head"},
    {IDC_ADDTAIL, "addTail"},
    {IDC_TAIL, "tail"},
    {IDC_PROGRESS, "progress"},
    {IDC_NUMERALS, "numerals"},
    {IDC_ENCODING, "encoding"},
    {IDC_OUT_ENCODING, "outEncoding"},
    {IDC_HEADING_RULE, "headingRule"},
    {IDC_REGEX, "regex"},
    {IDC_NUMERALS_LABEL, "numeralsLabel"},
    {IDC_KEPT_LIST, "keptList"},
    {IDC_DETECTED, "detected"},
    {IDC_USE_DETECTED, "useDetected"},
    {IDC_CONVERT_LABEL, "convertLabel"},
    {IDC_CONVERT, "convertScript"},
    {IDC_REPLACE_RULES, "replaceRules"},
    {IDC_RULE_COUNT, "ruleCount"},
};

}  // namespace

QString ControlName(int id) {
  for (const NamedControl& control : kControlNames) {
    if (control.id == id) return QString::fromLatin1(control.name);
  }
  return {};
}

QString BitmapResource(int id) {
  switch (id) {
    case IDR_MAINFRAME:
      return QStringLiteral(":/res/toolbar.bmp");
    case IDB_TOOLBAR_DISABLED:
      return QStringLiteral(":/res/toolbar_disabled.bmp");
    case IDB_ABOUT:
      return QStringLiteral(":/res/about.png");
    default:
      return {};
  }
}

}  // namespace sekato::ui
