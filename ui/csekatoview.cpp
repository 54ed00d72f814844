#include "csekatoview.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QUrl>
#include <algorithm>
#include <climits>

#include "appmessagebox.h"
#include "ccmdui.h"
#include "cdataexchange.h"
#include "cformtemplate.h"
#include "cpreviewdlg.h"
#include "dialogunits.h"
#include "encodingdetector.h"
#include "formhelptexts.h"
#include "resourceids.h"
#include "sourcepath.h"

namespace sekato::ui {

namespace {

constexpr int kProgressIntervalMs = 50;  // the bar is redrawn at most 20 times a second

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString PathText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

CSekatoView::CSekatoView(QWidget* parent)
    : QScrollArea(parent),
      m_pPage(new QWidget),
      m_choosers(FileChoosers::Dialogs()),
      m_run(CSplitWorker::EngineRun()),
      m_starter(CSplitWorker::SystemThreads()) {
  setObjectName(QStringLiteral("view"));
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(false);

  // The form is drawn like a dialog of this program: white, with black texts.
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  viewport()->setBackgroundRole(QPalette::Window);
  viewport()->setAutoFillBackground(true);

  m_pPage->setObjectName(IdName(IDD_SEKATO_FORM));
  m_pPage->setFont(DialogUnits::DialogFont());
  m_pPage->setPalette(palette);
  m_pPage->setAutoFillBackground(true);
  m_pForm = std::make_unique<CFormTemplate>(m_pPage, DialogUnits(m_pPage->font()));
  setWidget(m_pPage);

  ConnectControls();
  setAcceptDrops(true);  // a text file dropped on the form becomes the source
  installEventFilter(this);
  InstallPreTranslateHook(viewport());

  m_progressTimer.setInterval(kProgressIntervalMs);
  connect(&m_progressTimer, &QTimer::timeout, this, &CSekatoView::UpdateProgress);
}

CSekatoView::~CSekatoView() {
  StopAndWait();
  m_pWorker.reset();
  // The tip is a member and also a child window of the form. Left as it is, its destruction
  // (after this body, with the form half gone) would tell the form a child went away, and
  // the form would relay that to the tip being destroyed. Unhook it while all is whole.
  removeEventFilter(this);
  m_tip.removeEventFilter(this);
  m_tip.hide();
  m_tip.setParent(nullptr);
}

void CSekatoView::ConnectControls() {
  const auto on = [this](int nIDC, void (CSekatoView::*handler)()) {
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(nIDC));
    connect(button, &QAbstractButton::clicked, this, handler);
  };
  on(IDC_BROWSE_SRC, &CSekatoView::OnBrowseSource);
  on(IDC_BROWSE_DIR, &CSekatoView::OnBrowseFolder);
  on(IDC_DIR_NEW, &CSekatoView::OnDirNew);
  on(IDC_DIR_BESIDE, &CSekatoView::OnDirBesideSource);
  on(IDC_NAME_CUSTOM, &CSekatoView::OnNameCustom);
  on(IDC_NAME_CHAPTER, &CSekatoView::OnNameAuto);
  on(IDC_NAME_SOURCE, &CSekatoView::OnNameAuto);
  on(IDC_MODE_CHAPTER, &CSekatoView::OnModeChapter);
  on(IDC_MODE_SIZE, &CSekatoView::OnModeSize);
  on(IDC_MODE_EVEN, &CSekatoView::OnModeEven);
  on(IDC_ADDHEAD, &CSekatoView::OnAddHead);
  on(IDC_ADDTAIL, &CSekatoView::OnAddTail);
}

bool CSekatoView::OnCmdMsg(int nID, CmdCode code, CCmdUI* pCmdUI) {
  using Handler = void (CSekatoView::*)();
  using UpdateHandler = void (CSekatoView::*)(CCmdUI*);
  Handler handler = nullptr;
  UpdateHandler update = nullptr;
  switch (nID) {
    case ID_SPLIT_START:
      handler = &CSekatoView::OnSplitStart;
      update = &CSekatoView::OnUpdateSplitStart;
      break;
    case ID_SPLIT_STOP:
      handler = &CSekatoView::OnSplitStop;
      update = &CSekatoView::OnUpdateSplitStop;
      break;
    case ID_SPLIT_PREVIEW:
      handler = &CSekatoView::OnSplitPreview;
      update = &CSekatoView::OnUpdateSplitPreview;
      break;
    default:
      return false;
  }
  switch (code) {
    case CmdCode::Command: (this->*handler)(); return true;
    case CmdCode::UpdateUI: (this->*update)(pCmdUI); return true;
    case CmdCode::Probe: return true;
  }
  return false;
}

QWidget* CSekatoView::GetDlgItem(int nIDC) const { return m_pForm->Item(nIDC); }

void CSekatoView::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_NUMERALS, m_comboNumerals);
  DDX_Control(pDX, IDC_ENCODING, m_comboEncoding);
  DDX_Control(pDX, IDC_OUT_ENCODING, m_comboOutEncoding);
  DDX_Radio(pDX, IDC_DIR_NEW, m_nDirMode);
  DDX_Radio(pDX, IDC_MODE_CHAPTER, m_nSplitMode);
  DDX_Check(pDX, IDC_ADDTAIL, m_bAddTail);
  DDX_Check(pDX, IDC_ADDHEAD, m_bAddHead);
  DDX_Check(pDX, IDC_NOAD, m_bNoAd);
  DDX_Check(pDX, IDC_TRIMSPACES, m_bTrimSpaces);
  DDX_Check(pDX, IDC_KEEPLINES, m_bKeepLines);
  DDX_Text(pDX, IDC_TAIL, m_strTail);
  DDX_Text(pDX, IDC_HEAD, m_strHead);
  DDX_Text(pDX, IDC_PARTS, m_strParts);
  DDX_Text(pDX, IDC_KEYWORDS, m_strKeywords);
  DDX_Text(pDX, IDC_MAXKB, m_strMaxKB);
  DDX_Text(pDX, IDC_CUSTOMNAME, m_strCustomName);
  DDX_Text(pDX, IDC_SRCPATH, m_strSrcPath);
  DDX_Text(pDX, IDC_NEWDIR, m_strNewDir);
  DDX_Text(pDX, IDC_TITLEMAX, m_strTitleMax);
  DDX_Text(pDX, IDC_CHAPTERS_PER_FILE, m_strChaptersPerFile);
  DDX_Radio(pDX, IDC_NAME_SOURCE, m_nNameMode);
}

bool CSekatoView::UpdateData(bool bSaveAndValidate) {
  CDataExchange dx(*m_pForm, bSaveAndValidate);
  DoDataExchange(&dx);
  return true;
}

void CSekatoView::OnInitialUpdate() {
  // 1. What the form shows before the defaults: no radio selected, everything empty.
  UpdateData(false);

  // 2. The frame shrinks to the form; where it is already smaller, the form scrolls.
  ResizeParentToFit();

  // 3. Help tips over three fields, once the frame has its final size.
  m_tip.Create(this);
  m_fontTip = DialogUnits::DialogFont();
  m_tip.SetTextFont(m_fontTip);
  m_tip.AddTool(GetDlgItem(IDC_KEYWORDS), QString::fromUtf16(FormHelpTexts::kKeywordsHelp));
  m_tip.AddTool(GetDlgItem(IDC_TITLEMAX), QString::fromUtf16(FormHelpTexts::kTitleSizeHelp));
  m_tip.AddTool(GetDlgItem(IDC_KEEPLINES), QString::fromUtf16(FormHelpTexts::kKeepLinesHelp));
  m_tip.AddTool(GetDlgItem(IDC_ENCODING), QString::fromUtf16(FormHelpTexts::kEncodingHelp));
  m_tip.AddTool(GetDlgItem(IDC_OUT_ENCODING),
                QString::fromUtf16(FormHelpTexts::kOutEncodingHelp));

  // 4. Defaults.
  m_nNameMode = 0;
  m_nDirMode = 1;
  m_nSplitMode = 0;
  m_strChaptersPerFile = QStringLiteral("1");
  m_strTitleMax = QStringLiteral("20");
  m_strMaxKB = QStringLiteral("1000");
  m_strParts = QStringLiteral("5");
  m_strKeywords = QStringLiteral("第  章");

  // 5. The numeral series; none is selected.
  m_comboNumerals->clear();
  m_comboNumerals->addItem(QStringLiteral("1,2,3..."));
  m_comboNumerals->addItem(QStringLiteral("１,２，３..."));
  m_comboNumerals->addItem(QStringLiteral("一,二,三..."));
  m_comboNumerals->setCurrentIndex(-1);

  // The encodings, in the engine's order so an index is an Encoding: detect the source and
  // write the pieces in its encoding unless the user says otherwise.
  m_comboEncoding->clear();
  m_comboOutEncoding->clear();
  for (const engine::Encoding encoding : engine::Encodings::kAll) {
    const QString name = QString::fromUtf8(engine::Encodings::DisplayName(encoding));
    m_comboEncoding->addItem(encoding == engine::Encoding::Auto ? QStringLiteral("自动检测") : name);
    m_comboOutEncoding->addItem(encoding == engine::Encoding::Auto ? QStringLiteral("同源文件")
                                                                   : name);
  }
  m_comboEncoding->setCurrentIndex(0);
  m_comboOutEncoding->setCurrentIndex(0);

  // 6.
  UpdateData(false);
  emit CommandStateChanged();

  // Like any form, the keyboard starts at the first field (the source path), so Tab walks
  // the fields in template order from there.
  GetDlgItem(IDC_SRCPATH)->setFocus();
}

void CSekatoView::ResizeParentToFit() {
  QWidget* frame = window();
  if (frame == this) return;  // a view on its own has no frame to fit
  if (frame->layout() != nullptr) frame->layout()->activate();
  const QSize client = size();
  const QSize form = m_pPage->size();
  const QSize fitted(std::min(client.width(), form.width()),
                     std::min(client.height(), form.height()));
  frame->resize(frame->size() - client + fitted);
}

// --- Source and folder ---------------------------------------------------------------------

void CSekatoView::SetChoosers(FileChoosers choosers) { m_choosers = std::move(choosers); }

void CSekatoView::SetSourceMembers(const QString& path) {
  const std::string bytes = PathBytes(path);
  m_strSrcPath = path;
  m_strSrcTitle = PathText(engine::SourcePath::Title(bytes));
  m_strCustomName = m_strSrcTitle;
  m_strSrcBase = PathText(engine::SourcePath::Base(bytes));
  ShowDetectedEncoding();
}

void CSekatoView::ShowDetectedEncoding() {
  // A bounded prefix is read: milliseconds, so the window asks on the spot.
  QString text = QStringLiteral("自动检测");
  std::string error;
  if (const auto found = engine::EncodingDetector::DetectFile(PathBytes(m_strSrcPath), error)) {
    const QString name = found->unmarkedUtf16
                             ? QStringLiteral("UTF-16？")
                             : QString::fromUtf8(engine::Encodings::DisplayName(found->encoding));
    text += QStringLiteral("（%1）").arg(name);
  }
  m_comboEncoding->setItemText(0, text);
}

void CSekatoView::OnBrowseSource() {
  UpdateData(true);
  const QString path = m_choosers.chooseSourceFile ? m_choosers.chooseSourceFile(this) : QString();
  if (!path.isEmpty()) SetSourceMembers(path);
  UpdateData(false);
  emit CommandStateChanged();
}

void CSekatoView::ChooseSource(const QString& path) {
  UpdateData(true);
  SetSourceMembers(QFileInfo(path).absoluteFilePath());
  UpdateData(false);
  emit CommandStateChanged();
}

QString CSekatoView::TextFileFromDrop(const QMimeData* mimeData) {
  if (mimeData == nullptr || !mimeData->hasUrls()) return {};
  for (const QUrl& url : mimeData->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) return path;
  }
  return {};
}

void CSekatoView::OnBrowseFolder() {
  UpdateData(true);
  const QString folder = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
  if (!folder.isEmpty()) m_strNewDir = folder;
  UpdateData(false);
}

// --- Enabling rules ------------------------------------------------------------------------

void CSekatoView::EnableItems(std::initializer_list<int> ids, bool bEnable) {
  for (int nIDC : ids) GetDlgItem(nIDC)->setEnabled(bEnable);
}

void CSekatoView::OnDirNew() {
  EnableItems({IDC_NEWDIR, IDC_BROWSE_DIR}, true);
  if (m_strNewDir.isEmpty()) {
    auto* edit = static_cast<QLineEdit*>(GetDlgItem(IDC_NEWDIR));
    edit->setText(m_strSrcBase);
    edit->setCursorPosition(0);
  }
  UpdateData(true);
}

void CSekatoView::OnDirBesideSource() { EnableItems({IDC_NEWDIR, IDC_BROWSE_DIR}, false); }

void CSekatoView::OnNameCustom() { EnableItems({IDC_CUSTOMNAME}, true); }

void CSekatoView::OnNameAuto() { EnableItems({IDC_CUSTOMNAME}, false); }

void CSekatoView::OnModeChapter() {
  EnableItems({IDC_NAME_CHAPTER, IDC_KEYWORDS, IDC_TITLEMAX, IDC_CHAPTERS_PER_FILE}, true);
  EnableItems({IDC_MAXKB, IDC_KEEPLINES, IDC_PARTS}, false);
}

void CSekatoView::OnModeSize() {
  UpdateData(true);
  EnableItems({IDC_MAXKB, IDC_KEEPLINES}, true);
  EnableItems({IDC_NAME_CHAPTER, IDC_KEYWORDS, IDC_TITLEMAX, IDC_CHAPTERS_PER_FILE, IDC_PARTS},
              false);
  if (m_nNameMode == 2) m_nNameMode = 0;  // names by chapter title need chapters
  UpdateData(false);
}

void CSekatoView::OnModeEven() {
  UpdateData(true);
  EnableItems({IDC_PARTS}, true);
  EnableItems({IDC_NAME_CHAPTER, IDC_KEYWORDS, IDC_TITLEMAX, IDC_CHAPTERS_PER_FILE, IDC_MAXKB,
               IDC_KEEPLINES},
              false);
  if (m_nNameMode == 2) m_nNameMode = 0;
  UpdateData(false);
}

void CSekatoView::OnAddHead() {
  UpdateData(true);
  EnableItems({IDC_HEAD}, m_bAddHead);
}

void CSekatoView::OnAddTail() {
  UpdateData(true);
  EnableItems({IDC_TAIL}, m_bAddTail);
}

// --- Hooks ---------------------------------------------------------------------------------

void CSekatoView::InstallPreTranslateHook(QWidget* root) {
  // Every control reports the pointer moving over it, pressed or not, as the help tip needs.
  root->installEventFilter(this);
  root->setMouseTracking(true);
  for (QWidget* child : root->findChildren<QWidget*>()) {
    child->installEventFilter(this);
    child->setMouseTracking(true);
  }
}

bool CSekatoView::PreTranslateMessage(QObject* target, QEvent* event) {
  // The help tip sees every event of the form and its controls before they do, and never
  // eats one. Windows of their own (the tip itself, a drop-down list) are not the form's.
  if (target->isWidgetType() && static_cast<QWidget*>(target)->window() == window()) {
    m_tip.RelayEvent(event);
  }
  return false;
}

bool CSekatoView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) InstallPreTranslateHook(static_cast<QWidget*>(child));
  }
  if (PreTranslateMessage(watched, event)) return true;

  // A text file dropped anywhere on the form becomes the source, also over an edit field
  // that would otherwise take the file's address as text.
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (!TextFileFromDrop(drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
      break;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = TextFileFromDrop(drop->mimeData());
      if (!path.isEmpty()) {
        drop->acceptProposedAction();
        ChooseSource(path);
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QScrollArea::eventFilter(watched, event);
}


// --- Run control ---------------------------------------------------------------------------

void CSekatoView::SetRunFunction(CSplitWorker::RunFunction run) { m_run = std::move(run); }

void CSekatoView::SetThreadStarter(CSplitWorker::ThreadStarter starter) {
  m_starter = std::move(starter);
}

bool CSekatoView::IsWorkerActive() const {
  return (m_pWorker != nullptr && m_pWorker->IsActive()) ||
         (m_pInspector != nullptr && m_pInspector->IsActive());
}

void CSekatoView::OnUpdateSplitStart(CCmdUI* pCmdUI) {
  // A run's worker may outlive its flag (Stop, or a message still open): a new run waits for
  // it, so two runs never write at once and the old one cannot clear the new one's flag.
  pCmdUI->Enable(m_bRunning == 0 && !m_strSrcPath.isEmpty() && !IsWorkerActive() && !m_bClosing);
}

void CSekatoView::OnUpdateSplitStop(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bRunning != 0); }

void CSekatoView::OnUpdateSplitPreview(CCmdUI* pCmdUI) { OnUpdateSplitStart(pCmdUI); }

std::optional<engine::SplitOptions> CSekatoView::TakeSnapshot() {
  engine::SplitOptions options;
  options.m_strSrcPath = PathBytes(m_strSrcPath);
  options.m_strSrcBase = PathBytes(m_strSrcBase);
  options.m_strSrcTitle = PathBytes(m_strSrcTitle);
  options.m_nDirMode = m_nDirMode;
  options.m_strNewDir = PathBytes(m_strNewDir);
  options.m_nNameMode = m_nNameMode;
  options.m_strCustomName = PathBytes(m_strCustomName);
  options.m_nSplitMode = m_nSplitMode;
  options.m_strTitleMax = m_strTitleMax.toStdString();
  options.m_strChaptersPerFile = m_strChaptersPerFile.toStdString();
  options.m_strMaxKB = m_strMaxKB.toStdString();
  options.m_bKeepLines = m_bKeepLines;
  options.m_strParts = m_strParts.toStdString();
  options.m_bTrimSpaces = m_bTrimSpaces;
  options.m_bNoAd = m_bNoAd;
  options.m_bAddHead = m_bAddHead;
  options.m_bAddTail = m_bAddTail;

  // Book text stays UTF-8: the run writes it in the pieces' encoding, and refuses text that
  // encoding cannot hold, naming the character, before anything is written.
  options.m_textEncoding = engine::Encoding::Utf8;
  options.m_strKeywords = m_strKeywords.toStdString();
  options.m_strHead = m_strHead.toStdString();
  options.m_strTail = m_strTail.toStdString();
  const auto chosen = [](const QComboBox* combo) {
    const int index = combo->currentIndex();
    return index > 0 && index < static_cast<int>(std::size(engine::Encodings::kAll))
               ? engine::Encodings::kAll[index]
               : engine::Encoding::Auto;
  };
  options.m_encoding = chosen(m_comboEncoding);
  options.m_outEncoding = chosen(m_comboOutEncoding);
  return options;
}

void CSekatoView::OnSplitStart() {
  if (m_bClosing || IsWorkerActive()) return;  // one run at a time, none while closing
  UpdateData(true);
  if (m_strSrcPath.isEmpty()) {
    controls::AppMessageBox::Show(this, QStringLiteral("还未选择待分割的文件！"));
    return;
  }
  std::optional<engine::SplitOptions> options = TakeSnapshot();
  if (!options) return;

  m_pWorker.reset();  // the last run has ended and been joined
  // The flag is up before the thread exists, so the run's first look at it reads 1.
  m_bRunning = 1;
  m_bPreviewing = false;
  m_pWorker = std::make_unique<CSplitWorker>(m_bRunning, m_comboNumerals->currentIndex(), this);
  connect(m_pWorker.get(), &CSplitWorker::Ended, this, &CSekatoView::OnWorkerEnded);
  connect(m_pWorker.get(), &CSplitWorker::RunningCleared, this, &CSekatoView::CommandStateChanged);
  m_nShownUpper = -1;
  if (!m_pWorker->Start(std::move(*options), m_run, m_starter)) {
    m_bRunning = 0;
    controls::AppMessageBox::Show(this, QStringLiteral("无法启动分割线程，文件没有分割！"));
    emit CommandStateChanged();
    return;
  }
  m_progressTimer.start();
  emit CommandStateChanged();
}

void CSekatoView::OnSplitStop() {
  m_bRunning = 0;
  emit CommandStateChanged();
}

void CSekatoView::OnWorkerEnded() {
  m_progressTimer.stop();
  UpdateProgress();
  emit CommandStateChanged();
  if (m_pWorker && m_pWorker->PreviewAsked()) OnSplitPreview();
}

void CSekatoView::OnSplitPreview() {
  if (m_bClosing || IsWorkerActive() || m_bRunning != 0) return;
  UpdateData(true);
  if (m_strSrcPath.isEmpty()) {
    controls::AppMessageBox::Show(this, QStringLiteral("还未选择待分割的文件！"));
    return;
  }
  std::optional<engine::SplitOptions> options = TakeSnapshot();
  if (!options) return;

  m_pInspector.reset();
  // The preview holds the run flag like a split: Start waits, and Stop ends the preview.
  m_bRunning = 1;
  m_bPreviewing = true;
  m_pInspector = std::make_unique<CInspectWorker>(m_bRunning);
  connect(m_pInspector.get(), &CInspectWorker::Ended, this, &CSekatoView::OnPreviewEnded);
  m_nShownUpper = -1;
  if (!m_pInspector->Start(std::move(*options), m_comboNumerals->currentIndex(), m_starter)) {
    m_bRunning = 0;
    controls::AppMessageBox::Show(this, QStringLiteral("无法启动预览线程！"));
    emit CommandStateChanged();
    return;
  }
  m_progressTimer.start();
  emit CommandStateChanged();
}

void CSekatoView::OnPreviewEnded() {
  m_progressTimer.stop();
  UpdateProgress();
  m_bRunning = 0;
  emit CommandStateChanged();
  const engine::InspectionResult& result = m_pInspector->Result();
  switch (result.status) {
    case engine::InspectionResult::Status::Done: {
      auto* dialog = new CPreviewDlg(result, this);
      dialog->setAttribute(Qt::WA_DeleteOnClose);
      connect(dialog, &CPreviewDlg::HintApplied, this, &CSekatoView::ApplyHint);
      dialog->open();
      break;
    }
    case engine::InspectionResult::Status::Stopped:
      break;  // the user stopped it and wants nothing more
    case engine::InspectionResult::Status::Refused:
    case engine::InspectionResult::Status::Failed:
      controls::AppMessageBox::Show(this, QString::fromStdString(result.error));
      break;
  }
}

void CSekatoView::ApplyHint(const QString& keywords, std::int64_t titleMax) {
  UpdateData(true);
  if (!keywords.isEmpty()) m_strKeywords = keywords;
  if (titleMax > 0) m_strTitleMax = QString::number(titleMax);
  if (m_nSplitMode != 0) {
    m_nSplitMode = 0;
    OnModeChapter();
  }
  UpdateData(false);
}

void CSekatoView::StopAndWait() {
  m_bClosing = true;
  m_progressTimer.stop();
  if (m_pWorker) m_pWorker->Shutdown();
  if (m_pInspector) m_pInspector->Shutdown();
  m_bRunning = 0;
  emit CommandStateChanged();
}

void CSekatoView::UpdateProgress() {
  if (m_bPreviewing ? !m_pInspector : !m_pWorker) return;
  const std::int64_t upper =
      m_bPreviewing ? m_pInspector->ProgressUpper() : m_pWorker->ProgressUpper();
  if (upper < 0) return;  // the run has not measured its source (yet)
  auto* bar = static_cast<QProgressBar*>(GetDlgItem(IDC_PROGRESS));
  if (upper != m_nShownUpper) {
    m_nShownUpper = upper;
    m_nProgressShift = 0;
    while ((upper >> m_nProgressShift) > INT_MAX) ++m_nProgressShift;
    // An empty range would make the bar a busy indicator; an empty source shows an empty bar.
    bar->setRange(0, std::max(1, static_cast<int>(upper >> m_nProgressShift)));
  }
  const std::int64_t pos = std::clamp<std::int64_t>(
      m_bPreviewing ? m_pInspector->ProgressPos() : m_pWorker->ProgressPos(), 0, upper);
  const int value = static_cast<int>(pos >> m_nProgressShift);
  if (bar->value() != value) bar->setValue(value);
}

}  // namespace sekato::ui
