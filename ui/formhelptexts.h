#pragma once

#include <QtGlobal>

namespace sekato::ui {

/// The help texts the form's balloon tips show over its fields; a line feed starts a new
/// line in the tip.
struct FormHelpTexts final {
  /// Over the chapter keywords (1015): 13 lines.
  static constexpr const char* kKeywordsHelp = QT_TRANSLATE_NOOP(
      "FormHelpTexts",
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
  /// Over the heading rule (1041), shown when 正则表达式 is chosen.
  static constexpr const char* kRegexHelp = QT_TRANSLATE_NOOP(
      "FormHelpTexts",
      "正则表达式:标题行的规则，Perl 写法，可以用阅读软件里大家分享的规则。\n"
      "某行中能找到它，并且不超过章节标题大小，就是标题。\\s、\\d 只指半角的空白和数字。\n"
      "用 (?<n>…) 括住章节编号，标题就必须带下一章的编号，正文里提到的章节不会被当作标题：\n"
      "^第(?<n>[0-9一二三四五六七八九十百千万]+)章\n"
      "“第二章”之后只认“第三章”（缺了一章时，后面的章节照样接上，并在预览中指出）。\n"
      "规则写错时，输入框变红，鼠标停在上面可看到原因，改好之前不能开始分割。");
  /// Over the chapter title size (1021).
  static constexpr const char* kTitleSizeHelp =
      QT_TRANSLATE_NOOP("FormHelpTexts",
                        "    章节标题大小，用来区分某行是否为标题。\n"
                        "当该行超过设置的大小时，自动跳过，不做标题行处理。");
  /// Over the keep-lines check box (1018).
  static constexpr const char* kKeepLinesHelp =
      QT_TRANSLATE_NOOP("FormHelpTexts",
                        "不分割行，就是当该行某处是计算出来的文件分割点时，\n"
                        "钩选后，该行则不进行分割，放入下一文件中。");
  /// Over the source's encoding (1032).
  static constexpr const char* kEncodingHelp =
      QT_TRANSLATE_NOOP("FormHelpTexts",
                        "源文件的编码。自动检测时，选择文件后括号中显示识别出的编码，\n"
                        "拿不准时按 GBK 读取。分割出的文字若是乱码，请在这里指定编码。\n"
                        "没有字节顺序标记的 UTF-16 文件无法识别，请选择 UTF-16LE 或 UTF-16BE。");
  /// Over the pieces' encoding (1033).
  static constexpr const char* kOutEncodingHelp = QT_TRANSLATE_NOOP(
      "FormHelpTexts",
      "分割出的文件的编码。同源文件：与源文件相同，源文件有字节顺序标记时每个文件都带上。\n"
      "选择其它编码时边分割边转换，文件大小按转换后的字节计算；\n"
      "该编码写不出的字符（如繁体 Big5 中的简体字）会在分割前指出。");
};

}  // namespace sekato::ui
