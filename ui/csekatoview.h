#pragma once

#include <QFont>
#include <QScrollArea>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "cballoontip.h"
#include "cbookqueue.h"
#include "cformoptions.h"
#include "cformtemplate.h"
#include "csplitruncontrol.h"
#include "filechoosers.h"
#include "sekato/splitoptions.h"

class QComboBox;
class QLabel;

namespace sekato::ui {

class CQueueList;

class CConvertRow;
class CFormEnabling;
class CFormHelpTips;
class CKeptList;
class CNewFolderRule;
class CQueueDock;
class CRunChecks;
class CRunStarter;
class CSourceFindings;
class CSourceLook;

/// The splitter form: every option of a split on one scrolling page, the rules that enable
/// its fields (CFormEnabling), the source and folder choosers, and the Start and Stop
/// commands, which its run control carries out one split at a time once CRunStarter has
/// asked what it must.
///
/// The form's fields are its only state: a handler reads the fields it needs, and Start reads
/// them all into the split's options (CFormOptions) and hands the worker that copy, so the form
/// stays editable during a run without touching the run. Only the chosen source's full path is
/// kept beside them, since its field shows it shortened.
class CSekatoView final : public QScrollArea {
  Q_OBJECT

 public:
  explicit CSekatoView(QWidget* parent = nullptr);
  ~CSekatoView() override;

  /// Sets the defaults, fills the numeral list, fits the frame to the form and sets up the
  /// help tips. Called once, after the view has been put into its frame.
  void OnInitialUpdate();

  /// The split options as the form's fields hold them now, for the chosen source.
  engine::SplitOptions GetSplitOptions() const;

  /// The chosen source's full path; empty until one is chosen.
  const QString& SourceFile() const { return m_strSrcPath; }

  /// The fields that belong to one book (its path, its pieces' own name, its new folder),
  /// which remembered options leave out.
  QList<const QWidget*> BookFields() const;

  /// Chooses `path` as the source file exactly as the source chooser would (command line,
  /// dropped file): path, title, custom name and the folder beside it.
  void ChooseSource(const QString& path);

  /// Chooses several sources at once (a drop, the file dialog): one is chosen as
  /// ChooseSource does; two or more are queued under the form, the first shown in the form,
  /// and Start splits them all with the form's options.
  void ChooseSources(const QStringList& paths);
  /// The books queued (none or at least two).
  CBookQueue* Queue() const { return m_pQueue.get(); }
  CQueueList* QueueList() const;

  /// Closing the window: stops a run and waits for its worker; afterwards nothing starts.
  void StopAndWait();

  /// Start, Preview and Stop: their state follows its signals; it has the current job.
  CSplitRunControl* RunControl() const { return m_pRunControl.get(); }

  /// Injection point for tests and tools.
  void SetChoosers(FileChoosers choosers);

  // Handlers of the form's buttons and of the Start and Stop commands.
  void OnBrowseSource();
  void OnBrowseFolder();
  void OnSplitStart();
  void OnSplitStop();
  void OnSplitPreview();
  /// The chapter row's choice of detection, keywords or a rule: shows the fields of the one
  /// chosen (detection has none).
  void OnHeadingRule();
  /// 使用: headings as detection found them in the source (the chapter row's 自动识别).
  void OnUseDetected();
  /// Headings by `pattern` (UTF-8), a rule detection found; by detection itself when empty.
  void UseRule(const QString& pattern);

  /// The chapter row's choices, in the order of its list.
  static constexpr int kRuleAuto = CFormOptions::kRuleAuto;
  static constexpr int kRuleKeywords = CFormOptions::kRuleKeywords;
  static constexpr int kRuleRegex = CFormOptions::kRuleRegex;

  /// Puts a preview hint into the form: `keywords` (UTF-8) unless empty, `titleMax` unless 0.
  /// Splitting by chapter is what the hint is for, so that mode is chosen too.
  void ApplyHint(const QString& keywords, std::int64_t titleMax);

  // Not options of a split: the help tip over the form, and whether a run goes on.
  QFont m_fontTip;              ///< the help tips' font, kept as long as the tip
  controls::CBalloonTip m_tip;  ///< the help tip over the keyword, title size and keep-lines fields
  std::atomic<int> m_bRunning{0};

 signals:
  /// A book became the form's source (chosen, dropped, named on the command line or queued
  /// first): `path` is its full path.
  void SourceChosen(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The construction's steps, in their order.
  void ShowPage();
  void ConnectControls();
  void PrepareFields();
  /// Alt+K, the heading rule's key, goes to whichever of keywords and rule is shown.
  void AddRuleShortcut();
  void CreateHelpers();

  void ResizeParentToFit();
  /// Makes `path` the source: its field, the custom name, and the new folder when that follows
  /// the book.
  void SetSource(const QString& path);
  void ShowSourcePath();
  /// Starts the background look at the chosen source (see CSourceLook).
  void LookAtSource();
  /// Shows `books` queued, or hides the queue when there are fewer than two.
  void ShowQueue(const QStringList& books);
  /// Refreshes the options from the form for a split or a preview, or nothing after telling
  /// the user why not.
  std::optional<engine::SplitOptions> TakeOptionsForRun();
  /// Asks for another folder for the pieces and makes it the new folder, as the folder
  /// chooser does; empty when the user cancelled.
  QString ChooseOtherFolder();
  void ShowPreview(const engine::ScanResult& result);
  /// Splits by the preview's edited list, with the form's other options.
  void SplitByList(const engine::ChapterList& list, const engine::ChapterSelection& chosen,
                   bool join);
  /// Keeps `list` for the next 开始分割 of this source, shown on the form.
  void KeepList(const engine::ChapterList& list);

  /// The chosen source, whole (its field shows it shortened to fit).
  QString m_strSrcPath;

  QWidget* m_pPage;
  std::unique_ptr<CFormTemplate> m_pForm;
  const CFormTemplate::Fields& m_f;  // the form's fields, typed
  FileChoosers m_choosers;
  std::unique_ptr<CFormEnabling> m_pEnabling;
  std::unique_ptr<CNewFolderRule> m_pNewFolder;
  // Declared after m_tip: gone before it.
  std::unique_ptr<CFormHelpTips> m_pHelpTips;
  std::unique_ptr<CSplitRunControl> m_pRunControl;
  std::unique_ptr<CSourceLook> m_pLook;
  std::unique_ptr<CSourceFindings> m_pFindings;  ///< what the form says the look found
  std::unique_ptr<CRunChecks> m_pChecks;         ///< asks before a split writes
  std::unique_ptr<CRunStarter> m_pStarter;
  /// A list kept from the preview, shown on the form.
  std::unique_ptr<CKeptList> m_pKept;
  /// Several books chosen at once, and their list under the form (in the frame's lower dock).
  std::unique_ptr<CBookQueue> m_pQueue;
  std::unique_ptr<CQueueDock> m_pQueueDock;
  CConvertRow* m_pConvertRow = nullptr;  // a child of the page

 public:
  /// The form's note of a kept list (null until a list is kept, hidden when dropped).
  QLabel* KeptListLabel() const;
  /// The background look at the chosen source.
  CSourceLook* SourceLook() const { return m_pLook.get(); }
  /// 简繁转换 and 替换规则 on the form.
  CConvertRow* ConvertRow() const { return m_pConvertRow; }
};

}  // namespace sekato::ui
