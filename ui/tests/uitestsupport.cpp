#include "uitestsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QThread>
#include <QWindow>

#include "appmessagebox.h"
#include "gbkcodec.h"

namespace sekato::ui::test {

MessageCapture::MessageCapture() {
  controls::AppMessageBox::SetHandler([this](QWidget*, const QString& text) {
    texts.append(text);
    if (onMessage) onMessage(text);
  });
}

MessageCapture::~MessageCapture() { controls::AppMessageBox::SetHandler({}); }

QStringList FirstLines(const QStringList& texts) {
  QStringList lines;
  for (const QString& text : texts) lines << text.section(QLatin1Char('\n'), 0, 0);
  return lines;
}

QByteArray Gbk(const QString& text) {
  const auto gbk = engine::GbkCodec::FromUtf8(text.toStdString());
  return gbk ? QByteArray::fromStdString(*gbk) : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool GenerateNovel(const QString& path, double megabytes, int seed) {
  const QString generator = QStringLiteral(SEKATO_GENERATOR_PATH);
  if (!QFile::exists(generator)) {
    qWarning("The novel generator %s is missing; it comes with the repository (bench/).",
             qPrintable(generator));
    return false;
  }
  QProcess python;
  python.start(QStringLiteral("python3"), {generator, path, QString::number(megabytes),
                                           QStringLiteral("--seed"), QString::number(seed)});
  const bool ok = python.waitForFinished(120000) && python.exitStatus() == QProcess::NormalExit &&
                  python.exitCode() == 0 && QFile::exists(path);
  if (!ok) {
    qWarning("The novel generator %s failed: %s%s", qPrintable(generator),
             python.readAllStandardError().constData(), qPrintable(python.errorString()));
  }
  return ok;
}

QMap<QString, QByteArray> ReadFiles(const QString& dir) {
  QMap<QString, QByteArray> files;
  for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name)) {
    QFile file(QDir(dir).filePath(name));
    if (file.open(QIODevice::ReadOnly)) files.insert(name, file.readAll());
  }
  return files;
}

bool RunCli(const QStringList& args, QString* error) {
  QProcess cli;
  cli.start(QStringLiteral(SEKATO_CLI_PATH), args);
  const bool ok = cli.waitForFinished(120000) && cli.exitStatus() == QProcess::NormalExit &&
                  cli.exitCode() == 0;
  if (!ok && error != nullptr) {
    *error = QString::fromUtf8(cli.readAllStandardError()) + cli.errorString();
  }
  return ok;
}

bool DropUrls(QWidget* target, const QList<QUrl>& urls) {
  QWidget* window = target->window();
  window->show();
  QWindow* handle = window->windowHandle();
  if (handle == nullptr) return false;
  const QPoint at = target->mapTo(window, target->rect().center());
  QMimeData mime;
  mime.setUrls(urls);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(handle, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(handle, &drop);
  return drop.isAccepted();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

}  // namespace sekato::ui::test
