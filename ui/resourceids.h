#pragma once

#include <QString>

// Numbers of the form's template, its controls and the program's bitmaps. Code finds a control
// by what it is for (CFormTemplate::Fields), tests and tools by its object name ("keywords"),
// which ControlName gives for each control id.
namespace sekato::ui {

// Templates, menus, toolbars, bitmaps.
inline constexpr int IDD_SEKATO_FORM = 101;
inline constexpr int IDR_MAINFRAME = 128;         ///< menu, toolbar, icon, normal toolbar bitmap
inline constexpr int IDB_TOOLBAR_DISABLED = 129;  ///< disabled look of the toolbar buttons
inline constexpr int IDB_ABOUT = 130;             ///< the About picture

// Controls of the form.
inline constexpr int IDC_SRCPATH = 1000;
inline constexpr int IDC_BROWSE_SRC = 1001;
inline constexpr int IDC_DIR_BESIDE = 1003;
inline constexpr int IDC_DIR_NEW = 1004;
inline constexpr int IDC_NEWDIR = 1005;
inline constexpr int IDC_BROWSE_DIR = 1006;
inline constexpr int IDC_NAME_SOURCE = 1007;
inline constexpr int IDC_NAME_CUSTOM = 1008;
inline constexpr int IDC_CUSTOMNAME = 1009;
inline constexpr int IDC_NAME_CHAPTER = 1010;
inline constexpr int IDC_MODE_CHAPTER = 1013;
inline constexpr int IDC_MODE_EVEN = 1014;
inline constexpr int IDC_KEYWORDS = 1015;
inline constexpr int IDC_CHAPTERS_PER_FILE = 1016;
inline constexpr int IDC_MAXKB = 1017;
inline constexpr int IDC_KEEPLINES = 1018;
inline constexpr int IDC_MODE_SIZE = 1019;
inline constexpr int IDC_PARTS = 1020;
inline constexpr int IDC_TITLEMAX = 1021;
inline constexpr int IDC_TRIMSPACES = 1022;
inline constexpr int IDC_NOAD = 1023;
inline constexpr int IDC_ADDHEAD = 1024;
inline constexpr int IDC_HEAD = 1025;
inline constexpr int IDC_ADDTAIL = 1026;
inline constexpr int IDC_TAIL = 1027;
inline constexpr int IDC_PROGRESS = 1028;
inline constexpr int IDC_NUMERALS = 1031;
inline constexpr int IDC_ENCODING = 1032;      ///< the source's encoding, 自动检测 first
inline constexpr int IDC_OUT_ENCODING = 1033;  ///< the pieces' encoding, 同源文件 first
inline constexpr int IDC_HEADING_RULE = 1040;  ///< headings 自动识别, by 关键字 or by 正则表达式
inline constexpr int IDC_REGEX = 1041;  ///< the heading rule, in place of the keywords
inline constexpr int IDC_NUMERALS_LABEL = 1042;
inline constexpr int IDC_KEPT_LIST = 1050;     ///< an edited chapter list kept for the next split
inline constexpr int IDC_DETECTED = 1043;      ///< what detection found in the chosen source
inline constexpr int IDC_USE_DETECTED = 1044;  ///< 使用: headings as detection found them
inline constexpr int IDC_CONVERT_LABEL = 1060;
inline constexpr int IDC_CONVERT = 1061;        ///< 简繁转换: none first, then the conversions
inline constexpr int IDC_REPLACE_RULES = 1062;  ///< 替换规则…: opens the rules' editor
inline constexpr int IDC_RULE_COUNT = 1063;     ///< how many replacement rules are active

/// The object name the control `id` is known by: what it is for, in the program's own words
/// (IDC_MAXKB → "maxKb", IDC_MODE_SIZE → "splitModeSize"); empty for an unknown id. The
/// form's page is "form".
QString ControlName(int id);

/// The file of a bitmap or icon in the program's resources; empty for an unknown id.
/// IDR_MAINFRAME → ":/res/toolbar.bmp".
QString BitmapResource(int id);

/// The application and frame icon (82 × 82, 32 bits).
inline QString AppIconResource() { return QStringLiteral(":/res/sekato.png"); }

}  // namespace sekato::ui
