#pragma once

#include <QFont>
#include <QScrollArea>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>

#include "cballoontip.h"
#include "ccmdtarget.h"
#include "cinspectworker.h"
#include "csplitworker.h"
#include "filechoosers.h"
#include "splitoptions.h"

class QComboBox;
class QMimeData;

namespace sekato::ui {

class CCmdUI;
class CDataExchange;
class CFormTemplate;

/// The splitter form: every option of a split on one scrolling page built from form 101, the
/// rules that enable its fields, the source and folder choosers, and the Start and Stop
/// commands that run one split at a time on a worker thread.
///
/// The option members are refreshed from the controls only by an exchange in (UpdateData with
/// true): by the handlers that do one and by Start. Start hands the worker a snapshot of them,
/// so the form stays editable during a run without touching the run.
class CSekatoView final : public QScrollArea, public CCmdTarget {
  Q_OBJECT

 public:
  explicit CSekatoView(QWidget* parent = nullptr);
  ~CSekatoView() override;

  /// Sets the defaults, fills the numeral list and fits the frame to the form. Called once,
  /// after the view has been put into its frame.
  void OnInitialUpdate();

  /// Exchanges all bound values: in (controls → members) with true, out with false.
  bool UpdateData(bool bSaveAndValidate = true);

  /// The form's control with dialog id `nIDC`, or null.
  QWidget* GetDlgItem(int nIDC) const;

  /// Chooses `path` as the source file exactly as the source chooser would (command line,
  /// dropped file): path, title, custom name and the folder beside it.
  void ChooseSource(const QString& path);

  /// The local path of the first ".txt" file in a drop, or empty.
  static QString TextFileFromDrop(const QMimeData* mimeData);

  /// Closing the window: stops a run and waits for its worker; afterwards nothing starts.
  void StopAndWait();

  /// True while a worker thread exists that has not ended yet.
  bool IsWorkerActive() const;

  // Injection points for tests and tools.
  void SetChoosers(FileChoosers choosers);
  void SetRunFunction(CSplitWorker::RunFunction run);
  void SetThreadStarter(CSplitWorker::ThreadStarter starter);
  /// The current (or last) run's worker, or null before the first run.
  CSplitWorker* Worker() const { return m_pWorker.get(); }
  /// The current (or last) preview's worker, or null before the first preview.
  CInspectWorker* Inspector() const { return m_pInspector.get(); }

  bool OnCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI) override;

  // Handlers, by control id (see the message map in OnCmdMsg and ConnectControls).
  void OnBrowseSource();     // 1001
  void OnBrowseFolder();     // 1006
  void OnDirNew();           // 1004
  void OnDirBesideSource();  // 1003
  void OnSplitStart();       // command 32771
  void OnSplitStop();        // command 32772
  void OnSplitPreview();     // command 32778
  void OnNameCustom();       // 1008
  void OnNameAuto();         // 1007, 1010
  void OnModeChapter();      // 1013
  void OnModeSize();         // 1019
  void OnModeEven();         // 1014
  void OnAddHead();          // 1024
  void OnAddTail();          // 1026
  void OnUpdateSplitStart(CCmdUI* pCmdUI);
  void OnUpdateSplitStop(CCmdUI* pCmdUI);
  void OnUpdateSplitPreview(CCmdUI* pCmdUI);

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
  /// Something the Start and Stop states read may have changed: the frame asks again.
  void CommandStateChanged();

 protected:
  void DoDataExchange(CDataExchange* pDX);

  /// Sees every event for the form and its controls before they do; returns true to eat it.
  bool PreTranslateMessage(QObject* target, QEvent* event);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  void InstallPreTranslateHook(QWidget* root);
  void ResizeParentToFit();
  void SetSourceMembers(const QString& path);
  /// Names what detection finds in the chosen source on the first encoding item:
  /// "自动检测（UTF-8）"; plain "自动检测" while there is no readable source.
  void ShowDetectedEncoding();
  void EnableItems(std::initializer_list<int> ids, bool bEnable);
  /// The options the worker gets, or nothing after telling the user why not.
  std::optional<engine::SplitOptions> TakeSnapshot();
  void OnWorkerEnded();
  void OnPreviewEnded();
  void UpdateProgress();

  QWidget* m_pPage;
  std::unique_ptr<CFormTemplate> m_pForm;
  FileChoosers m_choosers;
  CSplitWorker::RunFunction m_run;
  CSplitWorker::ThreadStarter m_starter;
  std::unique_ptr<CSplitWorker> m_pWorker;
  std::unique_ptr<CInspectWorker> m_pInspector;
  bool m_bPreviewing = false;  // the progress bar shows the preview, not a split
  QTimer m_progressTimer;
  std::int64_t m_nShownUpper = -1;
  int m_nProgressShift = 0;  // positions above the bar's int range are scaled down
  bool m_bClosing = false;
};

}  // namespace sekato::ui
