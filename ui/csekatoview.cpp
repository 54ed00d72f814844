#include "csekatoview.h"

#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <algorithm>
#include <utility>

#include "appmessagebox.h"
#include "cconvertrow.h"
#include "cformdefaults.h"
#include "cformenabling.h"
#include "cformhelptips.h"
#include "ckeptlist.h"
#include "cnewfolderrule.h"
#include "cpreviewdlg.h"
#include "cqueuedock.h"
#include "crunchecks.h"
#include "crunstarter.h"
#include "csourcefindings.h"
#include "csourcelook.h"
#include "dialogunits.h"
#include "droppedfiles.h"
#include "fieldsetters.h"
#include "resourceids.h"

namespace sekato::ui {

namespace {

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QWidget* NewPage(const QPalette& palette) {
  auto* page = new QWidget;
  page->setObjectName(ControlName(IDD_SEKATO_FORM));
  page->setFont(DialogUnits::DialogFont());
  page->setPalette(palette);
  page->setAutoFillBackground(true);
  return page;
}

// The form is drawn like a dialog of this program: white, with black texts.
QPalette FormPalette(QPalette palette) {
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  return palette;
}

}  // namespace

CSekatoView::CSekatoView(QWidget* parent)
    : QScrollArea(parent),
      m_pPage(NewPage(FormPalette(palette()))),
      m_pForm(std::make_unique<CFormTemplate>(m_pPage, DialogUnits(m_pPage->font()))),
      m_f(m_pForm->GetFields()),
      m_choosers(FileChoosers::Dialogs()) {
  ShowPage();
  ConnectControls();
  PrepareFields();
  CreateHelpers();
}

// The run control goes first: it stops a run and waits for it.
CSekatoView::~CSekatoView() = default;

void CSekatoView::ShowPage() {
  setObjectName(QStringLiteral("view"));
  setFrameShape(QFrame::NoFrame);
  // The page follows the view: wider, its fields and progress bar stretch; never smaller
  // than the form, where the view scrolls instead.
  setWidgetResizable(true);
  setFocusPolicy(Qt::NoFocus);  // the fields take the keyboard, never the page around them
  setPalette(FormPalette(palette()));
  viewport()->setBackgroundRole(QPalette::Window);
  viewport()->setAutoFillBackground(true);
  setWidget(m_pPage);
}

void CSekatoView::ConnectControls() {
  connect(m_f.browseSource, &QAbstractButton::clicked, this, &CSekatoView::OnBrowseSource);
  connect(m_f.browseFolder, &QAbstractButton::clicked, this, &CSekatoView::OnBrowseFolder);
  m_pEnabling = std::make_unique<CFormEnabling>(
      m_f, m_strSrcPath, [this](bool valid) { m_pRunControl->SetRuleValid(valid); });
  connect(m_f.useDetected, &QAbstractButton::clicked, this, &CSekatoView::OnUseDetected);
}

void CSekatoView::PrepareFields() {
  // Number fields take digits only: a letter or a sign typed there would read as 0.
  for (QLineEdit* number : {m_f.titleMax, m_f.chaptersPerFile, m_f.maxKB, m_f.parts}) {
    number->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), number));
  }
  CFormDefaults::NameControls(m_f);
  AddRuleShortcut();
  m_pNewFolder = std::make_unique<CNewFolderRule>(m_f.newDir, m_strSrcPath);
  // A text file dropped anywhere on the form becomes the source, also over a field that
  // would otherwise take the file's address as text.
  m_pPage->setAcceptDrops(true);
  for (QLineEdit* edit : m_pPage->findChildren<QLineEdit*>()) edit->setAcceptDrops(false);
}

void CSekatoView::AddRuleShortcut() {
  // The heading rule's field has no label of its own (the box before it says what it holds):
  // Alt+K, as 关键字(&K), puts the keyboard into whichever of keywords and rule is shown.
  auto* toRule = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_K), m_pPage);
  toRule->setContext(Qt::WindowShortcut);
  connect(toRule, &QShortcut::activated, this, [this] {
    if (m_f.keywords->isVisible() && m_f.keywords->isEnabled()) {
      m_f.keywords->setFocus(Qt::ShortcutFocusReason);
    } else if (m_f.regex->isVisible() && m_f.regex->isEnabled()) {
      m_f.regex->setFocus(Qt::ShortcutFocusReason);
    } else {
      m_f.headingRule->setFocus(Qt::ShortcutFocusReason);
    }
  });
}

void CSekatoView::CreateHelpers() {
  m_pHelpTips = std::make_unique<CFormHelpTips>(m_tip, m_fontTip, this, viewport());
  m_pRunControl = std::make_unique<CSplitRunControl>(m_bRunning, m_f.progress, this);
  m_pQueue = std::make_unique<CBookQueue>(m_bRunning);
  m_pQueueDock = std::make_unique<CQueueDock>(*m_pQueue);
  m_pKept = std::make_unique<CKeptList>(m_f.keptList);
  m_f.detected->installEventFilter(this);  // re-fitted to its width when that changes
  m_pLook = std::make_unique<CSourceLook>();
  m_pFindings = std::make_unique<CSourceFindings>(m_f, *m_pLook, m_strSrcPath);
  CSourceFindings* findings = m_pFindings.get();
  m_pChecks =
      std::make_unique<CRunChecks>(this, *m_pLook, [findings] { findings->ShowHeadings(); });
  m_pConvertRow = new CConvertRow(
      m_f, [this] { return GetSplitOptions(); }, m_pPage);
  m_pStarter = std::make_unique<CRunStarter>(
      *m_pChecks, *m_pConvertRow, *m_pRunControl,
      CRunStarter::Form{[this] { return TakeOptionsForRun(); },
                        [this] { return ChooseOtherFolder(); }, [this] { OnSplitPreview(); }});
  // Headings are found in the text the rules leave: the look at the source is taken again.
  connect(m_pConvertRow, &CConvertRow::RulesChanged, this, [this] {
    if (!m_strSrcPath.isEmpty()) LookAtSource();
  });
  connect(m_pLook.get(), &CSourceLook::Finished, findings, &CSourceFindings::ShowHeadings);
  findings->ShowHeadings();
  connect(m_pRunControl.get(), &CSplitRunControl::PreviewReady, this, &CSekatoView::ShowPreview);
  connect(m_pRunControl.get(), &CSplitRunControl::PreviewAsked, this, &CSekatoView::OnSplitPreview);
}

void CSekatoView::ShowSourcePath() {
  // A long path keeps its file name in sight: the middle gives way, the tooltip has it all.
  QLineEdit* edit = m_f.srcPath;
  const int room = edit->contentsRect().width() -
                   2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
  FieldSetters::SetText(edit, edit->fontMetrics().elidedText(m_strSrcPath, Qt::ElideMiddle, room));
  edit->setToolTip(m_strSrcPath);
}

void CSekatoView::OnInitialUpdate() {
  // 1. The form starts with no radio selected and every field empty; the chapter row shows
  //    the fields of its choice.
  OnHeadingRule();

  // 2. The frame shrinks to the form; where it is already smaller, the form scrolls.
  ResizeParentToFit();

  // 3. Help tips over three fields, once the frame has its final size.
  m_pHelpTips->Setup(m_f);

  // 4. The lists of the boxes, and the values every start shows.
  CFormDefaults::Fill(m_f);

  // Like any form, the keyboard starts at the first field (the source path).
  m_f.srcPath->setFocus();
}

void CSekatoView::ResizeParentToFit() {
  QWidget* frame = window();
  if (frame == this) return;  // a view on its own has no frame to fit
  if (frame->layout() != nullptr) frame->layout()->activate();
  const QSize client = size();
  const QSize form = m_pForm->PixelSize();
  // A form taller than the screen scrolls up and down only: room for that scroll bar, so
  // that no second one appears beneath.
  const int scrollBar = client.height() < form.height()
                            ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this)
                            : 0;
  const QSize fitted(std::min(client.width(), form.width() + scrollBar),
                     std::min(client.height(), form.height()));
  frame->resize(frame->size() - client + fitted);
  // Taller than the form would only add white space beneath it.
  if (fitted.height() == form.height()) frame->setMaximumHeight(frame->height());
}

bool CSekatoView::eventFilter(QObject* watched, QEvent* event) {
  // The page (QScrollArea watches it already) and the frame around the view.
  if (watched == m_f.detected && event->type() == QEvent::Resize) {
    CSourceFindings::Elide(m_f.detected);
  }
  if (watched != m_pPage && watched != window()) return QScrollArea::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Resize:
      if (watched == m_pPage) {
        m_pForm->Stretch(m_pPage->width());
        CSourceFindings::Elide(m_f.detected);
        ShowSourcePath();  // a wider field shows more of the path
      }
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {  // all three are drop events
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList paths = DroppedFiles::TextFiles(drop->mimeData());
      if (paths.isEmpty()) return true;
      drop->acceptProposedAction();
      if (event->type() == QEvent::Drop) ChooseSources(paths);
      return true;
    }
    default:
      break;
  }
  return QScrollArea::eventFilter(watched, event);
}

// --- Source and folder ---------------------------------------------------------------------

QList<const QWidget*> CSekatoView::BookFields() const {
  return {m_f.srcPath, m_f.customName, m_f.newDir};
}

void CSekatoView::SetChoosers(FileChoosers choosers) { m_choosers = std::move(choosers); }

QLabel* CSekatoView::KeptListLabel() const { return m_pKept->Note(); }

CQueueList* CSekatoView::QueueList() const { return m_pQueueDock->List(); }

void CSekatoView::OnHeadingRule() { m_pEnabling->OnHeadingRule(); }

void CSekatoView::SetSource(const QString& path) {
  const QString previous = m_strSrcPath;
  m_strSrcPath = path;
  FieldSetters::SetText(m_f.customName, CFormOptions::SourceTitle(path));
  m_pNewFolder->SourceChanged(previous, path);
  m_pRunControl->SetSourceChosen(!m_strSrcPath.isEmpty());
  ShowSourcePath();
  m_pFindings->ShowEncoding();
  if (!path.isEmpty()) emit SourceChosen(path);
}

void CSekatoView::OnBrowseSource() {
  if (m_choosers.chooseSourceFiles) {
    const QStringList paths = m_choosers.chooseSourceFiles(this);
    if (!paths.isEmpty()) ChooseSources(paths);
    return;
  }
  const QString path = m_choosers.chooseSourceFile ? m_choosers.chooseSourceFile(this) : QString();
  if (path.isEmpty()) return;
  SetSource(path);
  ShowQueue({});
  LookAtSource();
}

void CSekatoView::ChooseSources(const QStringList& paths) {
  if (paths.isEmpty() || m_pQueue->IsRunning()) return;
  ChooseSource(paths.front());
  QStringList books;
  for (const QString& path : paths) books << QFileInfo(path).absoluteFilePath();
  books.removeDuplicates();
  ShowQueue(books);
}

void CSekatoView::ShowQueue(const QStringList& books) {
  m_pQueueDock->Show(books, qobject_cast<QMainWindow*>(window()));
}

void CSekatoView::ChooseSource(const QString& path) {
  SetSource(QFileInfo(path).absoluteFilePath());
  ShowQueue({});
  LookAtSource();
}

void CSekatoView::LookAtSource() {
  m_pLook->Start(GetSplitOptions());
  m_pFindings->ShowHeadings();
}

void CSekatoView::UseRule(const QString& pattern) {
  if (pattern.isEmpty()) {
    OnUseDetected();
    return;
  }
  FieldSetters::SetText(m_f.regex, pattern);
  m_f.headingRule->setCurrentIndex(kRuleRegex);
  m_pEnabling->ChooseChapterMode();
}

void CSekatoView::OnUseDetected() {
  m_f.headingRule->setCurrentIndex(kRuleAuto);
  m_pEnabling->ChooseChapterMode();
}

void CSekatoView::OnBrowseFolder() {
  const QString folder = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
  if (folder.isEmpty()) return;
  m_pNewFolder->Choose(folder);
}

QString CSekatoView::ChooseOtherFolder() {
  const QString other = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
  if (other.isEmpty()) return other;
  // As the folder chooser does, and 新目录 is checked with it.
  m_pNewFolder->Choose(other);
  m_pEnabling->OpenNewFolder();
  return other;
}

// --- Start and Stop ------------------------------------------------------------------------

engine::SplitOptions CSekatoView::GetSplitOptions() const {
  engine::SplitOptions options = CFormOptions(m_f).Read(m_strSrcPath);
  m_pConvertRow->ApplyTo(options);
  return options;
}

std::optional<engine::SplitOptions> CSekatoView::TakeOptionsForRun() {
  if (m_pRunControl->IsBusy() || m_pRunControl->IsClosed()) return {};  // one at a time
  if (m_strSrcPath.isEmpty()) {
    controls::AppMessageBox::Show(this, tr("还未选择待分割的文件！"));
    return {};
  }
  return GetSplitOptions();
}

void CSekatoView::OnSplitStart() {
  if (m_pQueue->Count() >= 2) {
    m_pStarter->StartQueue(*m_pQueue, [this] { m_pQueueDock->Relist(); });
    return;
  }
  m_pStarter->Start(true, [this](engine::SplitOptions& options) { m_pKept->ApplyTo(options); });
}

void CSekatoView::SplitByList(const engine::ChapterList& list,
                              const engine::ChapterSelection& chosen, bool join) {
  m_pStarter->Start(false, [&](engine::SplitOptions& options) {
    options.mode = engine::SplitMode::ByChapter;
    options.toc = list;
    options.chapters = chosen;
    options.join = join;
  });
}

void CSekatoView::KeepList(const engine::ChapterList& list) {
  m_pKept->Keep(list, PathBytes(m_strSrcPath));
}

void CSekatoView::OnSplitPreview() {
  if (std::optional<engine::SplitOptions> options = TakeOptionsForRun()) {
    m_pRunControl->StartPreview(std::move(*options));
  }
}

void CSekatoView::ShowPreview(const engine::ScanResult& result) {
  auto* dialog =
      new CPreviewDlg(result, this, PathBytes(m_strSrcPath), CFormOptions(m_f).ChaptersPerPiece());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &CPreviewDlg::HintApplied, this, &CSekatoView::ApplyHint);
  connect(dialog, &CPreviewDlg::SplitByList, this, &CSekatoView::SplitByList);
  connect(dialog, &CPreviewDlg::KeepList, this, &CSekatoView::KeepList);
  connect(dialog, &CPreviewDlg::RuleChosen, this, &CSekatoView::UseRule);
  // The look taken when the source was chosen knows the book's rule and its alternatives.
  if (const CSourceLook::Findings* found = m_pFindings->ForSource();
      found != nullptr && found->detection.detected) {
    dialog->ShowDetection(found->detection.detection);
  }
  dialog->open();
}

void CSekatoView::ApplyHint(const QString& keywords, std::int64_t titleMax) {
  if (!keywords.isEmpty()) {
    FieldSetters::SetText(m_f.keywords, keywords);
    m_f.headingRule->setCurrentIndex(kRuleKeywords);  // a hint is keywords
  }
  if (titleMax > 0) FieldSetters::SetText(m_f.titleMax, QString::number(titleMax));
  m_pEnabling->ChooseChapterMode();
}

void CSekatoView::OnSplitStop() { m_pRunControl->Stop(); }

void CSekatoView::StopAndWait() { m_pRunControl->StopAndWait(); }

}  // namespace sekato::ui
