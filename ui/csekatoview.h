#pragma once

#include <QFont>
#include <QScrollArea>
#include <QString>
#include <atomic>
#include <functional>
#include <initializer_list>
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
class QMimeData;

namespace sekato::ui {

class CQueueList;

class CConvertRow;
class CFormHelpTips;
class CRunChecks;
class CSourceLook;

/// The splitter form: every option of a split on one scrolling page, the rules that enable
/// its fields, the source and folder choosers, and the Start and Stop commands, which its run
/// control carries out one split at a time.
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

  /// The local path of the first ".txt" file in a drop, or empty.
  static QString TextFileFromDrop(const QMimeData* mimeData);
  /// The local paths of every ".txt" file in a drop, in its order.
  static QStringList TextFilesFromDrop(const QMimeData* mimeData);

  /// Chooses several sources at once (a drop, the file dialog): one is chosen as
  /// ChooseSource does; two or more are queued under the form, the first shown in the form,
  /// and Start splits them all with the form's options.
  void ChooseSources(const QStringList& paths);
  /// The books queued (none or at least two).
  CBookQueue* Queue() const { return m_pQueue.get(); }
  CQueueList* QueueList() const { return m_pQueueList; }

  /// Closing the window: stops a run and waits for its worker; afterwards nothing starts.
  void StopAndWait();

  /// Start, Preview and Stop: their state follows its signals; it has the current job.
  CSplitRunControl* RunControl() const { return m_pRunControl.get(); }

  /// Injection point for tests and tools.
  void SetChoosers(FileChoosers choosers);

  // Handlers of the form's buttons and of the Start and Stop commands.
  void OnBrowseSource();
  void OnBrowseFolder();
  void OnDirNew();
  void OnDirBesideSource();
  void OnSplitStart();
  void OnSplitStop();
  void OnSplitPreview();
  void OnNameCustom();
  void OnNameAuto();
  void OnModeChapter();
  void OnModeSize();
  void OnModeEven();
  void OnAddHead();
  void OnAddTail();
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
  void ConnectControls();
  void ResizeParentToFit();
  /// Shows what detection found (kept whole in the line's tooltip) within the line's width.
  void ElideDetected();
  /// Makes `path` the source: its field, the custom name, and the new folder when that follows
  /// the book.
  void SetSource(const QString& path);
  void ShowSourcePath();
  /// Names what detection finds in the chosen source on the first encoding item:
  /// "自动检测（UTF-8）"; plain "自动检测" while there is no readable source.
  void ShowDetectedEncoding();
  /// Starts the background look at the chosen source (see CSourceLook).
  void LookAtSource();
  /// The line under the chapter row: what detection found in the chosen source, with 使用.
  void ShowDetection();
  /// Refreshes the options from the form for a split or a preview, or nothing after telling
  /// the user why not.
  std::optional<engine::SplitOptions> TakeOptionsForRun();
  /// Takes the form's options, lets `prepare` adjust them, and starts the run once the
  /// source (when `askSource`) and the output folder are confirmed; a folder chosen instead
  /// is checked in its turn.
  void StartChecked(bool askSource, const std::function<void(engine::SplitOptions&)>& prepare);
  /// Makes `folder` the new folder the pieces go to, as the folder chooser does.
  void ChooseNewFolder(const QString& folder);
  void ShowPreview(const engine::ScanResult& result);
  /// Splits by the preview's edited list, with the form's other options.
  void SplitByList(const engine::ChapterList& list, const engine::ChapterSelection& chosen,
                   bool join);
  /// Keeps `list` for the next 开始分割 of this source, shown on the form.
  void KeepList(const engine::ChapterList& list);
  /// Splits by the rule again.
  void DropKeptList();
  static void EnableItems(std::initializer_list<QWidget*> controls, bool bEnable);
  /// Enables the fields of split mode `nMode` (0 chapter, 1 size, 2 even), not the others'.
  void EnableModeFields(int nMode);
  /// Chooses splitting by chapter, unless it is chosen already, with its fields.
  void ChooseChapterMode();
  /// The switch to size or even, where names by chapter title give way to the source title.
  void OnModeWithoutChapters(int nMode);
  /// Checks the heading rule as it stands in the form: a rule that would be refused is
  /// marked with the reason, and Start waits until it is put right.
  void CheckRule();

  /// The chosen source, whole (its field shows it shortened to fit).
  QString m_strSrcPath;
  /// The new folder was typed or chosen by the user, for the source m_strNewDirSource
  /// (empty: before any source). Choosing another source makes the folder follow it.
  bool m_bNewDirChosen = false;
  QString m_strNewDirSource;

  QWidget* m_pPage;
  std::unique_ptr<CFormTemplate> m_pForm;
  const CFormTemplate::Fields& m_f;  // the form's fields, typed
  FileChoosers m_choosers;
  // Declared after m_tip: gone before it.
  std::unique_ptr<CFormHelpTips> m_pHelpTips;
  std::unique_ptr<CSplitRunControl> m_pRunControl;
  std::unique_ptr<CSourceLook> m_pLook;
  std::unique_ptr<CRunChecks> m_pChecks;  ///< asks before a split writes
  /// A list kept from the preview, the source it is for, and where the form shows it.
  std::optional<engine::ChapterList> m_keptList;
  std::string m_strKeptSource;
  QLabel* m_pKeptList = nullptr;
  /// Several books chosen at once, and their list under the form (in the frame's lower dock).
  std::unique_ptr<CBookQueue> m_pQueue;
  CQueueList* m_pQueueList = nullptr;
  /// Shows `books` queued, or hides the queue when there are fewer than two.
  void ShowQueue(const QStringList& books);
  /// Splits the queued books: their folders are checked together, once.
  void StartQueue();

 public:
  /// The form's note of a kept list (null until a list is kept, hidden when dropped).
  QLabel* KeptListLabel() const { return m_pKeptList; }
  /// The background look at the chosen source.
  CSourceLook* SourceLook() const { return m_pLook.get(); }
  /// 简繁转换 and 替换规则 on the form.
  CConvertRow* ConvertRow() const { return m_pConvertRow; }

 private:
  CConvertRow* m_pConvertRow = nullptr;  // a child of the page
};

}  // namespace sekato::ui
