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
#include "cformtemplate.h"
#include "csplitruncontrol.h"
#include "filechoosers.h"
#include "sekato/splitoptions.h"

class QComboBox;
class QLabel;
class QMimeData;

namespace sekato::ui {

class CQueueList;

class CFormHelpTips;
class CSourceLook;

/// The splitter form: every option of a split on one scrolling page, the rules that enable
/// its fields, the source and folder choosers, and the Start and Stop commands, which its run
/// control carries out one split at a time.
///
/// The option members are refreshed from the fields only by an exchange in (UpdateData with
/// true): by the handlers that do one and by Start. Start hands the worker a copy of them, so
/// the form stays editable during a run without touching the run.
class CSekatoView final : public QScrollArea {
  Q_OBJECT

 public:
  explicit CSekatoView(QWidget* parent = nullptr);
  ~CSekatoView() override;

  /// Sets the defaults, fills the numeral list, fits the frame to the form and sets up the
  /// help tips. Called once, after the view has been put into its frame.
  void OnInitialUpdate();

  /// Exchanges every option: in (fields → members) with true, out with false.
  void UpdateData(bool bSaveAndValidate = true);

  /// The split options as the members (and the encoding choices) hold them.
  engine::SplitOptions GetSplitOptions() const;

  /// The fields that belong to one book (its path, its pieces' own name, its new folder),
  /// which remembered options leave out.
  QList<const QWidget*> BookFields() const;

  /// The form's control with dialog id `nIDC`, or null.
  QWidget* GetDlgItem(int nIDC) const;

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
  static constexpr int kRuleAuto = 0;
  static constexpr int kRuleKeywords = 1;
  static constexpr int kRuleRegex = 2;

  /// Puts a preview hint into the form: `keywords` (UTF-8) unless empty, `titleMax` unless 0.
  /// Splitting by chapter is what the hint is for, so that mode is chosen too.
  void ApplyHint(const QString& keywords, std::int64_t titleMax);

  // The options, in the order the form binds them.
  QComboBox* m_comboNumerals = nullptr;
  QComboBox* m_comboEncoding = nullptr;     ///< Encodings::kAll order, 自动检测 first
  QComboBox* m_comboOutEncoding = nullptr;  ///< Encodings::kAll order, 同源文件 first
  int m_nDirMode = -1;
  int m_nSplitMode = -1;
  bool m_bAddTail = false;
  bool m_bAddHead = false;
  bool m_bNoAd = false;
  bool m_bTrimSpaces = false;
  bool m_bKeepLines = false;
  QString m_strTail;
  QString m_strHead;
  QString m_strParts;
  QString m_strKeywords;
  int m_nHeadingRule = kRuleKeywords;  ///< kRuleAuto, kRuleKeywords or kRuleRegex
  QString m_strRegex;                  ///< the heading rule, when chosen
  QString m_strMaxKB;
  QString m_strCustomName;
  QString m_strSrcPath;
  QString m_strNewDir;
  QString m_strTitleMax;
  QString m_strChaptersPerFile;
  int m_nNameMode = -1;
  QFont m_fontTip;              ///< the help tips' font, kept as long as the tip
  controls::CBalloonTip m_tip;  ///< the help tip over the keyword, title size and keep-lines fields
  std::atomic<int> m_bRunning{0};
  QString m_strSrcBase;
  QString m_strSrcTitle;

 signals:
  /// A book became the form's source (chosen, dropped, named on the command line or queued
  /// first): `path` is its full path.
  void SourceChosen(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  /// Gives every input, button and the progress bar a name of its own for screen readers.
  void NameControls();
  void ResizeParentToFit();
  /// Shows what detection found (kept whole in the line's tooltip) within the line's width.
  void ElideDetected();
  void SetSourceMembers(const QString& path);
  void ShowSourcePath();
  /// Names what detection finds in the chosen source on the first encoding item:
  /// "自动检测（UTF-8）"; plain "自动检测" while there is no readable source.
  void ShowDetectedEncoding();
  /// Starts the background look at the chosen source (see CSourceLook).
  void InspectSource();
  /// The line under the chapter row: what detection found in the chosen source, with 使用.
  void ShowDetection();
  /// Refreshes the options from the form for a split or a preview, or nothing after telling
  /// the user why not.
  std::optional<engine::SplitOptions> TakeOptionsForRun();
  /// Before a split: an empty source is split only when the user says so.
  bool ConfirmSource(const engine::SplitOptions& options);
  /// What the check of the headings came to.
  enum class HeadingsAnswer { Go, Preview, Cancel };
  /// Before a chapter split: when the look at the source finds no heading by the form's rule
  /// (waited for, or taken again when the rule has changed since), says so with the
  /// preview's summary and hints, and the user writes anyway, previews or cancels. Other
  /// splits cancel the look.
  HeadingsAnswer ConfirmHeadings(const engine::SplitOptions& options);
  /// What the check of the output folder came to.
  enum class FolderAnswer { Go, Cancel, Changed };
  /// Before a split: pieces of an earlier split in the folder are listed, and the user clears
  /// them, chooses another folder (Changed) or cancels.
  FolderAnswer ConfirmFolder(const engine::SplitOptions& options);
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
  /// The switch to size or even, where names by chapter title give way to the source title.
  void OnModeWithoutChapters(int nMode);
  /// Checks the heading rule as it stands in the form: a rule that would be refused is
  /// marked with the reason, and Start waits until it is put right.
  void CheckRule();

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
  std::unique_ptr<CSourceLook> m_pInspection;
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
  /// Before a queue is split by chapter: books in which no heading is found are listed once,
  /// and the user writes them anyway, skips them (taken out of `runs`, `books` and the
  /// queue) or cancels. False when cancelled.
  bool ConfirmQueueHeadings(std::vector<engine::SplitOptions>& runs, QStringList& books);

 public:
  /// The form's note of a kept list (null until a list is kept, hidden when dropped).
  QLabel* KeptListLabel() const { return m_pKeptList; }
  /// The background look at the chosen source.
  CSourceLook* Inspection() const { return m_pInspection.get(); }
};

}  // namespace sekato::ui
