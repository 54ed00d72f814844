#include "enginemessages.h"

#include <QCoreApplication>

#include "messagecatalogue.h"

namespace sekato::ui {

QString EngineMessages::Text(const engine::Message& message) {
  const std::string_view chinese = engine::MessageCatalogue::Chinese(message.id);
  const QByteArray id = QByteArray::number(static_cast<int>(message.id));
  const QString pattern = QCoreApplication::translate(
      "EngineMessage", std::string(chinese).c_str(), id.constData());
  // %1…%9 are replaced in one pass, so an argument that holds "%2" stays as it is.
  QString text;
  text.reserve(pattern.size());
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern[i + 1] >= QLatin1Char('1') &&
        pattern[i + 1] <= QLatin1Char('9')) {
      const auto n = static_cast<std::size_t>(pattern[i + 1].unicode() - '1');
      if (n < message.args.size()) text += QString::fromStdString(message.args[n]);
      ++i;
    } else {
      text += c;
    }
  }
  for (const engine::Message& next : message.then) {
    if (!text.endsWith(QStringLiteral("。")) && !text.endsWith(QStringLiteral("！"))) {
      text += QStringLiteral("。");
    }
    text += Text(next);
  }
  return text;
}

}  // namespace sekato::ui
