#include "sekato/messagecatalogue.h"

namespace sekato::engine {

std::string_view MessageCatalogue::Chinese(MessageId id) {
  switch (id) {
    case MessageId::Completed:
      return "文件分割完成！";
    case MessageId::Stopped:
      return "文件分割被终止！";
    case MessageId::EmptyKeywords:
      return "按章节分割时，关健字不能为空或空格";
    case MessageId::BadParts:
      return "平均分配的份数必须大于 0。";
    case MessageId::BadChaptersPerPiece:
      return "每个文件放入的章数必须大于 0。";
    case MessageId::TooManyKeywords:
      return "关键字最多只能有 10 个。";
    case MessageId::NoNumeralSeries:
      return "关键字中含有“?”时，必须选择替换?的自增符。";
    case MessageId::BadSize:
      return "每个文件的最大大小必须大于 0。";
    case MessageId::NegativeTitle:
      return "章节标题大小不能为负数。";
    case MessageId::NoNewFolder:
      return "请指定保存分割文件的新目录。";
    case MessageId::NoExtension:
      return "源文件“%1”没有扩展名，无法在它旁边建立同名目录，请选择新目录。";
    case MessageId::WouldOverwriteSource:
      return "分割出的文件“%1”就是源文件本身，请更换保存目录或文件名。";
    case MessageId::OpenSource:
      return "无法打开源文件“%1”：%2";
    case MessageId::ReadSource:
      return "读取源文件“%1”时出错：%2";
    case MessageId::MakeFolder:
      return "无法建立目录“%1”：%2";
    case MessageId::CreatePiece:
      return "无法建立文件“%1”：%2";
    case MessageId::WritePiece:
      return "写入文件“%1”时出错：%2。这个文件不完整，在出错处被截断。";
    case MessageId::BadNamePart:
      return "文件名“%1”不能含有“/”，也不能是“.”或“..”。";
    case MessageId::NotRegularSource:
      return "源文件“%1”不是普通文件：管道、设备和目录不能分割。";
    case MessageId::NotRegularPiece:
      return "“%1”是符号链接或特殊文件，分割不会写入它。请删除它或换一个保存目录。";
    case MessageId::WouldOverwritePiece:
      return "分割出的文件“%1”会覆盖本次分割已写好的文件，分割已停止。";
    case MessageId::FolderBusy:
      return "另一个分割正在向目录“%1”写入文件，请等它结束或换一个保存目录。";
    case MessageId::SharedFolder:
      return "源文件“%1”和“%2”会写入同一个目录“%3”，两本书的文件会混在一起。"
             "请把其中一本改名或分开分割；这一批什么也没有写。";
    case MessageId::SourceEncoding:
      return "源文件编码：%1";
    case MessageId::UnmarkedUtf16:
      return "源文件含有 NUL 字节，像是没有字节顺序标记的 UTF-16 文本，编码无法自动识别。"
             "请指定编码：-e utf-16le 或 -e utf-16be（窗口中为编码 UTF-16LE 或 UTF-16BE）。";
    case MessageId::InvalidInSource:
      return "源文件第 %1 字节起有不属于 %2 编码的字节，已原样保留。";
    case MessageId::ReplacedInSource:
      return "源文件第 %1 字节起有不属于 %2 编码的字节，已写作 %3。";
    case MessageId::UnwritableKeywords:
      return "关键字中的字符“%1”无法用 %2 编码写出。";
    case MessageId::UnwritableNumerals:
      return "替换?的自增符中的字符“%1”无法用 %2 编码写出。";
    case MessageId::UnwritableHead:
      return "文件首添加字符中的字符“%1”无法用 %2 编码写出。";
    case MessageId::UnwritableTail:
      return "文件尾添加字符中的字符“%1”无法用 %2 编码写出。";
    case MessageId::UnwritableInSource:
      return "源文件“%1”第 %2 字节处的字符“%3”无法用 %4 编码写出";
    case MessageId::PieceCutShort:
      return "文件“%1”在出错处中断，没有写完。";
    case MessageId::SourceShrank:
      return "源文件“%1”在分割时变短了：开始时有 %2 字节，只读到 %3 字节，后面的内容没有分割。";
    case MessageId::BadPattern:
      return "正则表达式“%1”有错（第 %2 个字符之后）：%3";
    case MessageId::BadExcludePattern:
      return "排除用的正则表达式“%1”有错（第 %2 个字符之后）：%3";
    case MessageId::PatternMatchesEmpty:
      return "正则表达式“%1”能匹配空文本，会把每一行都当作标题，请改写。";
    case MessageId::CostlyPattern:
      return "正则表达式在有些行上回溯过多，已放弃匹配，这些行按正文处理；第一处是“%1”。";
    case MessageId::NothingDetected:
      return "自动识别没有找到章节标题：书中没有一串按顺序编号的标题行。"
             "请用关键字或正则表达式说明标题的样子。";
    case MessageId::TocOtherBook:
      return "目录是为另一本书做的：源文件“%1”的大小或内容与目录记下的不同。";
    case MessageId::TocLineOutOfRange:
      return "目录第 %1 项的行号 %2 不在源文件里（源文件共 %3 行）。";
    case MessageId::TocNotAscending:
      return "目录第 %1 项的行号 %2 不大于前一项的 %3：行号必须从小到大排列。";
    case MessageId::NoChosenChapters:
      return "选中的章节（%1）都不在目录的 %2 章之内，没有可写的内容。";
    case MessageId::TooManyChapters:
      return "找到 %1 个章节，选择章节最多只能在前 %2 个里选。";
    case MessageId::NotText:
      return "“%1”这不像是文本文件（它含有大量 NUL 字节，或是图片、PDF、压缩包或程序），"
             "没有分割。如果它确实是文本，请指定它的编码。";
    case MessageId::EmptySource:
      return "源文件“%1”是空的，没有可分割的内容。";
    case MessageId::OlderPiecesLeft:
      return "目录“%2”中还有 %1 个以前分割留下的文件，不是这次写出的，会和这次的文件混在一起。";
  }
  return {};
}

std::string MessageCatalogue::Format(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < args.size()) out += args[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Message::Text() const {
  std::string text = MessageCatalogue::Format(MessageCatalogue::Chinese(id), args);
  for (const Message& next : then) {
    // A sentence that does not end yet is ended before the next one starts.
    constexpr std::string_view kFullStop = "。";
    constexpr std::string_view kExclamation = "！";
    if (!text.ends_with(kFullStop) && !text.ends_with(kExclamation)) text += kFullStop;
    text += next.Text();
  }
  return text;
}

}  // namespace sekato::engine
