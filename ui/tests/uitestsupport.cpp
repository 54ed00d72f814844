#include "uitestsupport.h"

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

// A control of the form: one with an id, or a label by its text.
struct FormRef {
  int id = 0;
  const char* label = nullptr;  // UTF-8
  const char* name = nullptr;   // an object name
};

const QWidget* Find(const QWidget* page, const FormRef& ref) {
  if (ref.name != nullptr) return page->findChild<QWidget*>(QLatin1String(ref.name));
  if (ref.id != 0) return page->findChild<QWidget*>(IdName(ref.id));
  for (const QLabel* label : page->findChildren<QLabel*>()) {
    if (label->text() == QString::fromUtf8(ref.label)) return label;
  }
  return nullptr;
}

FormRef L(const char* text) { return FormRef{0, text}; }
FormRef N(const char* name) { return FormRef{0, nullptr, name}; }

// The form's lines, top to bottom, each left to right.
const QList<QList<FormRef>> kFormRows = {
    {L("源文件:"), {IDC_SRCPATH}, {IDC_BROWSE_SRC}},
    {L("保存目录:"), {IDC_DIR_NEW}, {IDC_NEWDIR}, {IDC_BROWSE_DIR}},
    {{IDC_DIR_BESIDE}},
    {L("文件名:"), {IDC_NAME_SOURCE}},
    {{IDC_NAME_CUSTOM}, {IDC_CUSTOMNAME}},
    {{IDC_NAME_CHAPTER}},
    {L("编码:"), {IDC_ENCODING}, L("输出编码:"), {IDC_OUT_ENCODING}},
    {{IDC_MODE_CHAPTER}, {IDC_HEADING_RULE}, {IDC_KEYWORDS}, L(",替换?的自增符:"), {IDC_NUMERALS}},
    {{IDC_DETECTED}, {IDC_USE_DETECTED}},
    {L("章节标题大小"),
     {IDC_TITLEMAX},
     L("汉字以内。"),
     L("("),
     {IDC_CHAPTERS_PER_FILE},
     L("章放入同一文件 )")},
    {{IDC_MODE_SIZE}, L("每个文件最大"), {IDC_MAXKB}, L("KB"), {IDC_KEEPLINES}},
    {{IDC_MODE_EVEN}, L("平均分为"), {IDC_PARTS}, L("份")},
    {{IDC_NOAD}},
    {{IDC_TRIMSPACES}, {IDC_ADDHEAD}, {IDC_HEAD}},
    {{IDC_ADDTAIL}, {IDC_TAIL}},
    {{IDC_CONVERT_LABEL}, N("convertScript"), N("replaceRules"), N("ruleCount")},
    {L("分割进度:"), {IDC_PROGRESS}},
};

// Controls that line up one under another.
const QList<QList<FormRef>> kFormColumns = {
    {L("源文件:"),
     L("保存目录:"),
     L("文件名:"),
     L("编码:"),
     {IDC_MODE_CHAPTER},
     {IDC_MODE_SIZE},
     {IDC_MODE_EVEN},
     {IDC_NOAD},
     {IDC_TRIMSPACES},
     {IDC_CONVERT_LABEL},
     L("分割进度:")},
    {{IDC_DIR_NEW}, {IDC_DIR_BESIDE}, {IDC_NAME_SOURCE}, {IDC_NAME_CUSTOM}, {IDC_NAME_CHAPTER}},
    {{IDC_SRCPATH}, {IDC_ENCODING}},
    {{IDC_HEADING_RULE}, {IDC_DETECTED}, L("章节标题大小"), L("每个文件最大"), L("平均分为")},
    {{IDC_ADDHEAD}, {IDC_ADDTAIL}},
    {{IDC_HEAD}, {IDC_TAIL}},
    {{IDC_BROWSE_SRC}, {IDC_BROWSE_DIR}},
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
                    .arg(ref.name != nullptr ? QString::fromLatin1(ref.name)
                         : ref.id != 0       ? QString::number(ref.id)
                                             : QString::fromUtf8(ref.label));
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
