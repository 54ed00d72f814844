#include "csekatoview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "appmessagebox.h"
#include "cconvertrow.h"
#include "cformdefaults.h"
#include "cformhelptips.h"
#include "cpreviewdlg.h"
#include "cqueuelist.h"
#include "crunchecks.h"
#include "csourcelook.h"
#include "dialogunits.h"
#include "enginemessages.h"
#include "resourceids.h"
#include "sekato/encodingdetector.h"
#include "sekato/headingrulecheck.h"

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

void SetText(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;
  edit->setText(text);
  edit->setCursorPosition(0);  // a long text shows its beginning, as a fresh field does
}

// Out, −1 (or an index past the group) leaves the group with no button checked.
void SetRadio(QButtonGroup* group, int index) {
  if (QAbstractButton* target = group->button(index)) {
    target->setChecked(true);
    return;
  }
  // An exclusive group refuses to uncheck its last checked button; lift that for a moment.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace

CSekatoView::CSekatoView(QWidget* parent)
    : QScrollArea(parent),
      m_pPage(NewPage(FormPalette(palette()))),
      m_pForm(std::make_unique<CFormTemplate>(m_pPage, DialogUnits(m_pPage->font()))),
      m_f(m_pForm->GetFields()),
      m_choosers(FileChoosers::Dialogs()) {
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

  ConnectControls();
  // Number fields take digits only: a letter or a sign typed there would read as 0.
  for (QLineEdit* number : {m_f.titleMax, m_f.chaptersPerFile, m_f.maxKB, m_f.parts}) {
    number->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), number));
  }
  CFormDefaults::NameControls(m_f);
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
  connect(m_f.newDir, &QLineEdit::textEdited, this, [this] {
    m_bNewDirChosen = true;
    m_strNewDirSource = m_strSrcPath;
  });
  // A text file dropped anywhere on the form becomes the source, also over a field that
  // would otherwise take the file's address as text.
  m_pPage->setAcceptDrops(true);
  for (QLineEdit* edit : m_pPage->findChildren<QLineEdit*>()) edit->setAcceptDrops(false);
  m_pHelpTips = std::make_unique<CFormHelpTips>(m_tip, m_fontTip, this, viewport());
  m_pRunControl = std::make_unique<CSplitRunControl>(m_bRunning, m_f.progress, this);
  m_pQueue = std::make_unique<CBookQueue>(m_bRunning);
  m_f.detected->installEventFilter(this);  // re-fitted to its width when that changes
  m_pLook = std::make_unique<CSourceLook>();
  m_pChecks = std::make_unique<CRunChecks>(this, *m_pLook, [this] { ShowDetection(); });
  m_pConvertRow = new CConvertRow(
      m_f, [this] { return GetSplitOptions(); }, m_pPage);
  // Headings are found in the text the rules leave: the look at the source is taken again.
  connect(m_pConvertRow, &CConvertRow::RulesChanged, this, [this] {
    if (!m_strSrcPath.isEmpty()) LookAtSource();
  });
  connect(m_pLook.get(), &CSourceLook::Finished, this, &CSekatoView::ShowDetection);
  ShowDetection();
  connect(m_pRunControl.get(), &CSplitRunControl::PreviewReady, this, &CSekatoView::ShowPreview);
  connect(m_pRunControl.get(), &CSplitRunControl::PreviewAsked, this, &CSekatoView::OnSplitPreview);
}

// The run control goes first: it stops a run and waits for it.
CSekatoView::~CSekatoView() = default;

void CSekatoView::ConnectControls() {
  const auto on = [this](QAbstractButton* button, void (CSekatoView::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, handler);
  };
  on(m_f.browseSource, &CSekatoView::OnBrowseSource);
  on(m_f.browseFolder, &CSekatoView::OnBrowseFolder);
  on(m_f.dirNew, &CSekatoView::OnDirNew);
  on(m_f.dirBeside, &CSekatoView::OnDirBesideSource);
  on(m_f.nameCustom, &CSekatoView::OnNameCustom);
  on(m_f.nameChapter, &CSekatoView::OnNameAuto);
  on(m_f.nameSource, &CSekatoView::OnNameAuto);
  on(m_f.modeChapter, &CSekatoView::OnModeChapter);
  on(m_f.modeSize, &CSekatoView::OnModeSize);
  on(m_f.modeEven, &CSekatoView::OnModeEven);
  on(m_f.addHead, &CSekatoView::OnAddHead);
  on(m_f.addTail, &CSekatoView::OnAddTail);
  // Any change of the choice, by the user or by the form itself, shows the fields it needs.
  connect(m_f.headingRule, &QComboBox::currentIndexChanged, this, &CSekatoView::OnHeadingRule);
  on(m_f.useDetected, &CSekatoView::OnUseDetected);
  connect(m_f.regex, &QLineEdit::textChanged, this, &CSekatoView::CheckRule);
  connect(m_f.splitMode, &QButtonGroup::idToggled, this, &CSekatoView::CheckRule);
}

void CSekatoView::ShowSourcePath() {
  // A long path keeps its file name in sight: the middle gives way, the tooltip has it all.
  QLineEdit* edit = m_f.srcPath;
  const int room = edit->contentsRect().width() -
                   2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
  SetText(edit, edit->fontMetrics().elidedText(m_strSrcPath, Qt::ElideMiddle, room));
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
  if (watched == m_f.detected && event->type() == QEvent::Resize) ElideDetected();
  if (watched != m_pPage && watched != window()) return QScrollArea::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Resize:
      if (watched == m_pPage) {
        m_pForm->Stretch(m_pPage->width());
        ElideDetected();
        ShowSourcePath();  // a wider field shows more of the path
      }
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {  // all three are drop events
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList paths = TextFilesFromDrop(drop->mimeData());
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

void CSekatoView::ElideDetected() {
  // The line has the form's width; a long finding is cut short there and told whole in its
  // tooltip.
  m_f.detected->setText(m_f.detected->fontMetrics().elidedText(
      m_f.detected->toolTip(), Qt::ElideRight, m_f.detected->width()));
}

QList<const QWidget*> CSekatoView::BookFields() const {
  return {m_f.srcPath, m_f.customName, m_f.newDir};
}

void CSekatoView::SetChoosers(FileChoosers choosers) { m_choosers = std::move(choosers); }

void CSekatoView::SetSource(const QString& path) {
  const QString previous = m_strSrcPath;
  m_strSrcPath = path;
  SetText(m_f.customName, CFormOptions::SourceTitle(path));
  // The new folder follows another book, so that its pieces do not land beside the last
  // one's, unless the user typed or chose it for this book (or before choosing any).
  const bool chosenForThis =
      m_bNewDirChosen && (m_strNewDirSource.isEmpty() || m_strNewDirSource == path);
  if (path != previous && !m_f.newDir->text().isEmpty() && !chosenForThis) {
    SetText(m_f.newDir, CFormOptions::SourceBase(path));
    m_bNewDirChosen = false;
  } else if (chosenForThis) {
    m_strNewDirSource = path;
  }
  m_pRunControl->SetSourceChosen(!m_strSrcPath.isEmpty());
  ShowSourcePath();
  ShowDetectedEncoding();
  if (!path.isEmpty()) emit SourceChosen(path);
}

void CSekatoView::ShowDetectedEncoding() {
  // A bounded prefix is read: milliseconds, so the window asks on the spot.
  QString text = tr("自动检测");
  std::string error;
  if (const auto found = engine::EncodingDetector::DetectFile(PathBytes(m_strSrcPath), error)) {
    const QString name = found->unmarkedUtf16
                             ? tr("UTF-16？")
                             : QString::fromUtf8(engine::Encodings::DisplayName(found->encoding));
    text += tr("（%1）").arg(name);
  }
  m_f.encoding->setItemText(0, text);
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
  if (m_pQueue->IsRunning()) return;
  m_pQueue->SetBooks(books.size() >= 2 ? books : QStringList());
  auto* frame = qobject_cast<QMainWindow*>(window());
  if (books.size() < 2 || frame == nullptr) {
    if (m_pQueueList) m_pQueueList->parentWidget()->hide();
    return;
  }
  if (!m_pQueueList) {
    // Under the form, in the frame's lower dock, so the form keeps its own layout.
    auto* dock = new QDockWidget(tr("待分割的书"), frame);
    dock->setObjectName(QStringLiteral("queueDock"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_pQueueList = new CQueueList(*m_pQueue, dock);
    dock->setWidget(m_pQueueList);
    frame->addDockWidget(Qt::BottomDockWidgetArea, dock);
  }
  m_pQueueList->setRowCount(0);
  for (int i = 0; i < m_pQueue->Count(); ++i) emit m_pQueue->RowChanged(i);
  m_pQueueList->parentWidget()->show();
}

void CSekatoView::StartQueue() {
  std::optional<engine::SplitOptions> options = TakeOptionsForRun();
  if (!options) return;
  QStringList books;
  for (const CBookQueue::Row& row : m_pQueue->Rows()) books << row.path;
  std::vector<engine::SplitOptions> runs = CBookQueue::OptionsFor(*options, books);
  // Two books writing into one folder would mix their pieces: such a queue is refused whole.
  if (!m_pChecks->ConfirmSeparateFolders(runs)) return;
  if (!m_pConvertRow->ConfirmFit(runs)) return;
  const qsizetype queued = books.size();
  if (!m_pChecks->ConfirmQueueHeadings(runs, books)) return;
  if (books.size() != queued) {
    // Skipped books leave the queue; the others keep their order and their rows.
    m_pQueue->SetBooks(books);
    m_pQueueList->setRowCount(0);
    for (int i = 0; i < m_pQueue->Count(); ++i) emit m_pQueue->RowChanged(i);
  }
  if (!m_pChecks->ConfirmQueueFolders(runs)) return;
  m_pRunControl->StartQueue(*m_pQueue, std::move(runs));
}

void CSekatoView::ChooseSource(const QString& path) {
  SetSource(QFileInfo(path).absoluteFilePath());
  ShowQueue({});
  LookAtSource();
}

void CSekatoView::LookAtSource() {
  m_pLook->Start(GetSplitOptions());
  ShowDetection();
}

void CSekatoView::ShowDetection() {
  const CSourceLook::Findings* found = m_pLook->Found();
  const bool forThis = found != nullptr && found->source == PathBytes(m_strSrcPath);
  const bool detected = forThis && found->detection.detected && found->detection.detection.found;
  QString text;
  if (m_pLook->IsRunning()) {
    text = tr("自动识别：正在查看源文件……");
  } else if (detected) {
    const engine::HeadingDetection& d = found->detection.detection;
    const QString unit = QString::fromStdString(d.chapters.unit);
    text = tr("自动识别：%1，%2 %3（标题最长 %4 字）")
               .arg(QString::fromStdString(d.chapters.description))
               .arg(d.chapters.lines)
               .arg(unit)
               .arg(d.longestTitle);
    if (!d.volumeLines.empty()) {
      text += tr("，%1 %2").arg(d.volumeLines.size()).arg(QString::fromStdString(d.volumes.unit));
    }
  } else if (forThis && found->detection.detected) {
    text = tr("自动识别：没有找到成串编号的标题");
  }
  m_f.detected->setToolTip(text);
  ElideDetected();
  m_f.detected->setVisible(!text.isEmpty());
  m_f.useDetected->setVisible(detected);
}

void CSekatoView::UseRule(const QString& pattern) {
  if (pattern.isEmpty()) {
    OnUseDetected();
    return;
  }
  SetText(m_f.regex, pattern);
  m_f.headingRule->setCurrentIndex(kRuleRegex);
  ChooseChapterMode();
}

void CSekatoView::OnUseDetected() {
  m_f.headingRule->setCurrentIndex(kRuleAuto);
  ChooseChapterMode();
}

void CSekatoView::ChooseChapterMode() {
  if (m_f.modeChapter->isChecked()) return;
  m_f.modeChapter->setChecked(true);
  EnableModeFields(0);
}

QStringList CSekatoView::TextFilesFromDrop(const QMimeData* mimeData) {
  QStringList paths;
  if (mimeData == nullptr) return paths;
  for (const QUrl& url : mimeData->urls()) {
    const QString path = url.toLocalFile();  // empty for an address elsewhere
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) paths << path;
  }
  return paths;
}

QString CSekatoView::TextFileFromDrop(const QMimeData* mimeData) {
  if (mimeData == nullptr) return {};
  for (const QUrl& url : mimeData->urls()) {
    const QString path = url.toLocalFile();  // empty for an address elsewhere
    if (path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) return path;
  }
  return {};
}

void CSekatoView::OnBrowseFolder() {
  const QString folder = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
  if (folder.isEmpty()) return;
  SetText(m_f.newDir, folder);
  m_bNewDirChosen = true;
  m_strNewDirSource = m_strSrcPath;
}

void CSekatoView::ChooseNewFolder(const QString& folder) {
  SetText(m_f.newDir, folder);
  m_bNewDirChosen = true;
  m_strNewDirSource = m_strSrcPath;
  SetRadio(m_f.dirMode, 0);
  EnableItems({m_f.newDir, m_f.browseFolder}, true);
}

// --- Enabling rules ------------------------------------------------------------------------

void CSekatoView::EnableItems(std::initializer_list<QWidget*> controls, bool bEnable) {
  for (QWidget* control : controls) control->setEnabled(bEnable);
}

void CSekatoView::OnDirNew() {
  EnableItems({m_f.newDir, m_f.browseFolder}, true);
  if (m_f.newDir->text().isEmpty()) SetText(m_f.newDir, CFormOptions::SourceBase(m_strSrcPath));
}

void CSekatoView::OnDirBesideSource() { EnableItems({m_f.newDir, m_f.browseFolder}, false); }

void CSekatoView::OnNameCustom() { EnableItems({m_f.customName}, true); }

void CSekatoView::OnNameAuto() { EnableItems({m_f.customName}, false); }

void CSekatoView::OnModeChapter() { EnableModeFields(0); }

void CSekatoView::OnModeSize() { OnModeWithoutChapters(1); }

void CSekatoView::OnModeEven() { OnModeWithoutChapters(2); }

void CSekatoView::OnModeWithoutChapters(int nMode) {
  EnableModeFields(nMode);
  // Names by chapter title need chapters.
  if (m_f.nameChapter->isChecked()) SetRadio(m_f.nameMode, 0);
}

void CSekatoView::OnHeadingRule() {
  const int rule = m_f.headingRule->currentIndex();
  for (QWidget* keywordField :
       {static_cast<QWidget*>(m_f.keywords), static_cast<QWidget*>(m_f.numeralsLabel),
        static_cast<QWidget*>(m_f.numerals)}) {
    keywordField->setVisible(rule == kRuleKeywords);
  }
  m_f.regex->setVisible(rule == kRuleRegex);
  CheckRule();
}

void CSekatoView::CheckRule() {
  const bool byRule = m_f.headingRule->currentIndex() == kRuleRegex && m_f.modeChapter->isChecked();
  QString problem;
  if (byRule && m_f.regex->text().isEmpty()) {
    problem = tr("请输入标题的正则表达式。");
  } else if (byRule) {
    if (auto refusal = engine::HeadingRuleCheck::Refusal(m_f.regex->text().toStdString())) {
      problem = EngineMessages::Text(*refusal);
    }
  }
  QPalette palette = m_f.regex->palette();
  palette.setColor(QPalette::Text, problem.isEmpty() ? m_f.keywords->palette().color(QPalette::Text)
                                                     : QColor(Qt::red));
  m_f.regex->setPalette(palette);
  m_f.regex->setToolTip(problem);
  m_f.regex->setAccessibleDescription(problem);
  m_pRunControl->SetRuleValid(problem.isEmpty());
}

void CSekatoView::EnableModeFields(int nMode) {
  EnableItems({m_f.nameChapter, m_f.keywords, m_f.titleMax, m_f.chaptersPerFile, m_f.headingRule,
               m_f.regex},
              nMode == 0);
  EnableItems({m_f.maxKB, m_f.keepLines}, nMode == 1);
  EnableItems({m_f.parts}, nMode == 2);
}

void CSekatoView::OnAddHead() { EnableItems({m_f.head}, m_f.addHead->isChecked()); }

void CSekatoView::OnAddTail() { EnableItems({m_f.tail}, m_f.addTail->isChecked()); }

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
    StartQueue();
    return;
  }
  StartChecked(true, [this](engine::SplitOptions& options) {
    // A kept list holds while the source is the one it was made for; the run refuses it
    // when the file has changed since.
    if (m_keptList && options.sourcePath != m_strKeptSource) DropKeptList();
    if (m_keptList && options.mode == engine::SplitMode::ByChapter) options.toc = m_keptList;
  });
}

void CSekatoView::SplitByList(const engine::ChapterList& list,
                              const engine::ChapterSelection& chosen, bool join) {
  StartChecked(false, [&](engine::SplitOptions& options) {
    options.mode = engine::SplitMode::ByChapter;
    options.toc = list;
    options.chapters = chosen;
    options.join = join;
  });
}

void CSekatoView::StartChecked(bool askSource,
                               const std::function<void(engine::SplitOptions&)>& prepare) {
  std::optional<engine::SplitOptions> options = TakeOptionsForRun();
  if (!options || (askSource && !m_pChecks->ConfirmSource(*options))) return;
  if (!m_pConvertRow->ConfirmFit(*options)) return;
  // Another folder chosen is checked in its turn.
  bool headingsChecked = !askSource;  // a list from the preview has its headings
  while (options) {
    prepare(*options);
    if (!headingsChecked) {
      headingsChecked = true;
      switch (m_pChecks->ConfirmHeadings(*options)) {
        case CRunChecks::HeadingsAnswer::Go:
          break;
        case CRunChecks::HeadingsAnswer::Preview:
          OnSplitPreview();
          return;
        case CRunChecks::HeadingsAnswer::Cancel:
          return;
      }
    }
    switch (m_pChecks->ConfirmFolder(*options)) {
      case CRunChecks::FolderAnswer::Go:
        m_pRunControl->Start(std::move(*options));
        return;
      case CRunChecks::FolderAnswer::Cancel:
        return;
      case CRunChecks::FolderAnswer::ChooseOther: {
        const QString other = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
        if (other.isEmpty()) return;
        ChooseNewFolder(other);
        options = TakeOptionsForRun();
        break;
      }
    }
  }
}

void CSekatoView::KeepList(const engine::ChapterList& list) {
  m_keptList = list;
  m_strKeptSource = PathBytes(m_strSrcPath);
  // The form's row under the progress bar, with the way back to the rule.
  if (!m_pKeptList) {
    m_pKeptList = m_f.keptList;
    m_pKeptList->setTextFormat(Qt::RichText);
    connect(m_pKeptList, &QLabel::linkActivated, this, [this] { DropKeptList(); });
  }
  m_pKeptList->setText(
      tr("按编辑后的目录（%1 章） <a href=\"rule\">改回按规则</a>").arg(list.entries.size()));
  m_pKeptList->show();
}

void CSekatoView::DropKeptList() {
  m_keptList.reset();
  m_strKeptSource.clear();
  if (m_pKeptList) m_pKeptList->hide();
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
  if (const CSourceLook::Findings* found = m_pLook->Found();
      found != nullptr && found->source == PathBytes(m_strSrcPath) && found->detection.detected) {
    dialog->ShowDetection(found->detection.detection);
  }
  dialog->open();
}

void CSekatoView::ApplyHint(const QString& keywords, std::int64_t titleMax) {
  if (!keywords.isEmpty()) {
    SetText(m_f.keywords, keywords);
    m_f.headingRule->setCurrentIndex(kRuleKeywords);  // a hint is keywords
  }
  if (titleMax > 0) SetText(m_f.titleMax, QString::number(titleMax));
  ChooseChapterMode();
}

void CSekatoView::OnSplitStop() { m_pRunControl->Stop(); }

void CSekatoView::StopAndWait() { m_pRunControl->StopAndWait(); }

}  // namespace sekato::ui
