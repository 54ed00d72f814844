#include "uitestsupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QThread>
#include <QWindow>

#include "appmessagebox.h"
#include "layoutcheck.h"
#include "sekato/gbkcodec.h"

namespace sekato::ui::test {

MessageCapture::MessageCapture() {
  controls::AppMessageBox::SetHandler([this](QWidget*, const QString& text) {
    texts.append(text);
    if (onMessage) onMessage(text);
  });
}

MessageCapture::~MessageCapture() { controls::AppMessageBox::SetHandler({}); }

QAction* Action(const QObject* frame, const QString& name) {
  return frame->findChild<QAction*>(name);
}

bool Trigger(const QObject* frame, const QString& name) {
  QAction* action = Action(frame, name);
  if (action == nullptr || !action->isEnabled()) return false;
  action->trigger();
  return true;
}

ChoiceScope::ChoiceScope(int choice, QStringList* asked) {
  sekato::controls::AppMessageBox::SetChooser(
      [choice, asked](const QString& text, const QStringList& choices) {
        if (choices.contains(QStringLiteral("打开文件夹"))) return -1;
        if (asked != nullptr) asked->append(text);
        return choice;
      });
}

ChoiceScope::~ChoiceScope() { sekato::controls::AppMessageBox::SetChooser({}); }

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

namespace {

// A control of the form: one by its object name, or a label by its text.
struct FormRef {
  const char* name = nullptr;
  const char* label = nullptr;  // UTF-8
};

const QWidget* Find(const QWidget* page, const FormRef& ref) {
  if (ref.name != nullptr) return page->findChild<QWidget*>(QString::fromLatin1(ref.name));
  for (const QLabel* label : page->findChildren<QLabel*>()) {
    if (label->text() == QString::fromUtf8(ref.label)) return label;
  }
  return nullptr;
}

FormRef L(const char* text) { return FormRef{nullptr, text}; }

// The form's lines, top to bottom, each left to right.
const QList<QList<FormRef>> kFormRows = {
    {L("源文件(&F):"), {"sourcePath"}, {"browseSource"}},
    {L("保存目录(&D):"), {"dirNew"}, {"newDir"}, {"browseFolder"}},
    {{"dirBesideSource"}},
    {L("文件名(&N):"), {"nameSource"}},
    {{"nameCustom"}, {"customName"}},
    {{"nameChapter"}},
    {L("编码(&E):"), {"encoding"}, L("输出编码(&U):"), {"outEncoding"}},
    {{"splitModeChapter"}, {"headingRule"}, {"keywords"}, L(",替换?的自增符(&I):"), {"numerals"}},
    {{"detected"}, {"useDetected"}},
    {L("章节标题大小(&T)"),
     {"titleMax"},
     L("汉字以内。"),
     L("("),
     {"chaptersPerFile"},
     L("章放入同一文件(&C) )")},
    {{"splitModeSize"}, L("每个文件最大(&M)"), {"maxKb"}, L("KB"), {"keepLines"}},
    {{"splitModeEven"}, L("平均分为(&A)"), {"parts"}, L("份")},
    {{"noAd"}},
    {{"trimSpaces"}, {"addHead"}, {"head"}},
    {{"addTail"}, {"tail"}},
    {L("简繁转换(&Z):"), {"convertScript"}, {"replaceRules"}, {"ruleCount"}},
    {L("分割进度:"), {"progress"}},
};

// Controls that line up one under another.
const QList<QList<FormRef>> kFormColumns = {
    {L("源文件(&F):"),
     L("保存目录(&D):"),
     L("文件名(&N):"),
     L("编码(&E):"),
     {"splitModeChapter"},
     {"splitModeSize"},
     {"splitModeEven"},
     {"noAd"},
     {"trimSpaces"},
     L("简繁转换(&Z):"),
     L("分割进度:")},
    {{"dirNew"}, {"dirBesideSource"}, {"nameSource"}, {"nameCustom"}, {"nameChapter"}},
    {{"sourcePath"}, {"encoding"}},
    {{"headingRule"}, {"detected"}, L("章节标题大小(&T)"), L("每个文件最大(&M)"), L("平均分为(&A)")},
    {{"addHead"}, {"addTail"}},
    {{"head"}, {"tail"}},
    {{"browseSource"}, {"browseFolder"}},
};

// The controls `refs` name; a control not found is a fault.
QList<const QWidget*> Resolve(const QWidget* page, const QList<FormRef>& refs,
                              QStringList& faults) {
  QList<const QWidget*> controls;
  for (const FormRef& ref : refs) {
    if (const QWidget* control = Find(page, ref)) {
      controls.append(control);
    } else {
      faults << QStringLiteral("no control %1")
                    .arg(QString::fromUtf8(ref.name != nullptr ? ref.name : ref.label));
    }
  }
  return controls;
}

}  // namespace

QStringList FormLayoutFaults(const QWidget* page) {
  QStringList faults = LayoutFaults(page);
  QList<QList<const QWidget*>> rows;
  for (const QList<FormRef>& row : kFormRows) rows.append(Resolve(page, row, faults));
  faults << ReadingOrderFaults(rows);
  for (const QList<FormRef>& column : kFormColumns) {
    faults << LeftEdgeFaults(page, Resolve(page, column, faults));
  }
  return faults;
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
