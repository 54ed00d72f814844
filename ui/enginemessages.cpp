#include "enginemessages.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

#include "sekato/messagecatalogue.h"

namespace sekato::ui {

QString EngineMessages::SystemReason(const std::string& reason) {
  // The engine passes the system's own words (strerror, in English); the common ones are
  // put into the window's language.
  struct Known {
    int error;
    const char* text;
  };
  static constexpr Known kKnown[] = {
      {ENOENT, QT_TRANSLATE_NOOP("EngineMessage", "文件或目录不存在")},
      {EACCES, QT_TRANSLATE_NOOP("EngineMessage", "没有权限")},
      {EROFS, QT_TRANSLATE_NOOP("EngineMessage", "文件系统是只读的")},
      {ENOSPC, QT_TRANSLATE_NOOP("EngineMessage", "磁盘空间不足")},
      {EDQUOT, QT_TRANSLATE_NOOP("EngineMessage", "超出了磁盘配额")},
      {EEXIST, QT_TRANSLATE_NOOP("EngineMessage", "文件已存在")},
      {ENOTDIR, QT_TRANSLATE_NOOP("EngineMessage", "路径中有一项不是目录")},
  };
  for (const Known& known : kKnown) {
    if (reason == std::strerror(known.error)) {
      return QCoreApplication::translate("EngineMessage", known.text);
    }
  }
  return QString::fromStdString(reason);
}

QString EngineMessages::Text(const engine::Message& message) {
  const std::string_view chinese = engine::MessageCatalogue::Chinese(message.id);
  const QByteArray id = QByteArray::number(static_cast<int>(message.id));
  const QString pattern =
      QCoreApplication::translate("EngineMessage", std::string(chinese).c_str(), id.constData());
  // %1…%9 are replaced in one pass, so an argument that holds "%2" stays as it is.
  QString text;
  text.reserve(pattern.size());
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern[i + 1] >= QLatin1Char('1') &&
        pattern[i + 1] <= QLatin1Char('9')) {
      const auto n = static_cast<std::size_t>(pattern[i + 1].unicode() - '1');
      if (n < message.args.size()) text += SystemReason(message.args[n]);
      ++i;
    } else {
      text += c;
    }
  }
  // What follows starts a new sentence: after the language's full stop, added where the
  // message does not end with one ("。" in Chinese, ". " in English).
  const QString stop = QCoreApplication::translate("EngineMessage", "。", "sentence end");
  for (const engine::Message& next : message.then) {
    const QString trimmed = stop.trimmed();
    if (!text.endsWith(trimmed) && !text.endsWith(QStringLiteral("！")) &&
        !text.endsWith(QLatin1Char('!'))) {
      text += stop;
    } else if (stop != trimmed) {
      text += stop.mid(trimmed.size());
    }
    text += Text(next);
  }
  return text;
}

}  // namespace sekato::ui
