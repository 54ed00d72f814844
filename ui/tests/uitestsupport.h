#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>

class QAction;

#include "resourceids.h"

namespace sekato::ui::test {

/// The form's or frame's control named `name` ("maxKb", "splitModeSize"), or null.
template <typename T>
T* Item(const QObject* root, const QString& name) {
  return root->findChild<T*>(name);
}

/// The frame's command named `name` ("actionStart", "actionToolBar"), or null.
QAction* Action(const QObject* frame, const QString& name);

/// Runs the command named `name` as its menu item would, unless it is disabled (or missing).
/// True when it ran.
bool Trigger(const QObject* frame, const QString& name);

/// Takes over the program's message box for its lifetime: every message is recorded, then
/// handed to `onMessage` (if set) while the "box" is open, and counts as dismissed on return.
class MessageCapture final {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  QStringList texts;
  std::function<void(const QString&)> onMessage;
};

/// While it lives, the program's questions are answered with `choice`, and what they asked
/// is appended to `asked` when given; the completion message (the one offering 打开文件夹)
/// gets OK.
class ChoiceScope final {
 public:
  explicit ChoiceScope(int choice, QStringList* asked = nullptr);
  ~ChoiceScope();
  ChoiceScope(const ChoiceScope&) = delete;
  ChoiceScope& operator=(const ChoiceScope&) = delete;
};

/// The first line of every message: the completion message says more under its first line.
QStringList FirstLines(const QStringList& texts);

/// GBK bytes of `text` (which GBK can write).
QByteArray Gbk(const QString& text);

/// Writes `bytes` to `path`; false on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);

/// A synthetic GBK novel of about `megabytes` MB made by the repository's generator
/// (bench/gen_novel.py). False, with a warning naming the generator, when it is missing or
/// fails.
bool GenerateNovel(const QString& path, double megabytes, int seed = 1);

/// Every file of `dir` by name, with its bytes.
QMap<QString, QByteArray> ReadFiles(const QString& dir);

/// Runs the command-line splitter with `args`; false (and its error output in `error`) unless
/// it exits with 0.
bool RunCli(const QStringList& args, QString* error = nullptr);

/// Drags `urls` over the middle of `target` and drops them there, the way the window
/// system delivers a drop (enter, then drop, both to the window). True when it was accepted.
bool DropUrls(QWidget* target, const QList<QUrl>& urls);

/// Faults in where the splitter form's controls sit on `page` (the view's widget), one line a
/// fault, empty when none: those of LayoutFaults, the form's rows out of reading order, and
/// fields or labels of one column not sharing a left edge.
QStringList FormLayoutFaults(const QWidget* page);

/// Processes events until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

}  // namespace sekato::ui::test
