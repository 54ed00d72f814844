#pragma once

#include <string>
#include <string_view>

namespace sekato::engine {

/// The texts a run shows at its end (UTF-8). "%1" and "%2" stand for a file and the
/// system's reason.
struct Messages final {
  static constexpr std::string_view kCompleted = "文件分割完成！";
  static constexpr std::string_view kStopped = "文件分割被终止！";
  static constexpr std::string_view kEmptyKeywords = "按章节分割时，关健字不能为空或空格";

  static constexpr std::string_view kBadParts = "平均分配的份数必须大于 0。";
  static constexpr std::string_view kBadChaptersPerFile = "每个文件放入的章数必须大于 0。";
  static constexpr std::string_view kTooManyKeywords = "关键字最多只能有 10 个。";
  static constexpr std::string_view kNoNumeralSeries = "关键字中含有“?”时，必须选择替换?的自增符。";
  static constexpr std::string_view kNegativeSize = "每个文件的最大大小不能为负数。";
  static constexpr std::string_view kNegativeTitle = "章节标题大小不能为负数。";
  static constexpr std::string_view kNoNewDir = "请指定保存分割文件的新目录。";
  static constexpr std::string_view kNoExtension =
      "源文件“%1”没有扩展名，无法在它旁边建立同名目录，请选择新目录。";
  static constexpr std::string_view kWouldOverwriteSource =
      "分割出的文件“%1”就是源文件本身，请更换保存目录或文件名。";
  static constexpr std::string_view kOpenSource = "无法打开源文件“%1”：%2";
  static constexpr std::string_view kReadSource = "读取源文件“%1”时出错：%2";
  static constexpr std::string_view kMakeDirectory = "无法建立目录“%1”：%2";
  static constexpr std::string_view kCreatePiece = "无法建立文件“%1”：%2";
  static constexpr std::string_view kWritePiece =
      "写入文件“%1”时出错：%2。这个文件不完整，在出错处被截断。";
  static constexpr std::string_view kBadNamePart = "文件名“%1”不能含有“/”，也不能是“.”或“..”。";
  static constexpr std::string_view kNotRegularSource =
      "源文件“%1”不是普通文件：管道、设备和目录不能分割。";
  static constexpr std::string_view kNotRegularPiece =
      "“%1”是符号链接或特殊文件，分割不会写入它。请删除它或换一个保存目录。";
  static constexpr std::string_view kWouldOverwritePiece =
      "分割出的文件“%1”会覆盖本次分割已写好的文件，分割已停止。";
  static constexpr std::string_view kFolderBusy =
      "另一个分割正在向目录“%1”写入文件，请等它结束或换一个保存目录。";
  static constexpr std::string_view kSharedFolder =
      "源文件“%1”和“%2”会写入同一个目录“%3”，两本书的文件会混在一起。"
      "请把其中一本改名或分开分割；这一批什么也没有写。";

  static constexpr std::string_view kSourceEncoding = "源文件编码：%1";
  static constexpr std::string_view kUnmarkedUtf16 =
      "源文件含有 NUL 字节，像是没有字节顺序标记的 UTF-16 文本，编码无法自动识别。"
      "请指定编码：-e utf-16le 或 -e utf-16be（窗口中为编码 UTF-16LE 或 UTF-16BE）。";
  static constexpr std::string_view kInvalidInSource =
      "源文件第 %1 字节起有不属于 %2 编码的字节，已原样保留。";
  static constexpr std::string_view kReplacedInSource =
      "源文件第 %1 字节起有不属于 %2 编码的字节，已写作 %3。";
  static constexpr std::string_view kUnwritableText = "%1中的字符“%2”无法用 %3 编码写出。";
  static constexpr std::string_view kUnwritableInSource =
      "第 %1 字节处的字符“%2”无法用 %3 编码写出";
  static constexpr std::string_view kPieceCutShort = "文件“%1”在出错处中断，没有写完。";
  static constexpr std::string_view kSourceShrank =
      "源文件“%1”在分割时变短了：开始时有 %2 字节，只读到 %3 字节，后面的内容没有分割。";

  /// The promotional line at the end of every piece (converted to GBK when written).
  static constexpr std::string_view kPromotion = "本文件由 sekato 文本分割器分割";

  /// `text` with "%1" replaced by `first`, "%2" by `second` and "%3" by `third`.
  static std::string Format(std::string_view text, std::string_view first,
                            std::string_view second = {}, std::string_view third = {}) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3') {
        out += text[i + 1] == '1' ? first : text[i + 1] == '2' ? second : third;
        ++i;
      } else {
        out += text[i];
      }
    }
    return out;
  }
};

}  // namespace sekato::engine
