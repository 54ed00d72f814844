#include "csekatoview.h"

#include <QAbstractItemView>
#include <QApplication>
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
#include <QUrl>
#include <algorithm>
#include <utility>

#include "appmessagebox.h"
#include "cformhelptips.h"
#include "cpreviewdlg.h"
#include "cqueuelist.h"
#include "csourcelook.h"
#include "dialogunits.h"
#include "enginemessages.h"
#include "queueheadingcheck.h"
#include "resourceids.h"
#include "sekato/encodingdetector.h"
#include "sekato/headingrulecheck.h"
#include "sekato/numberparse.h"
#include "sekato/olderpieces.h"
#include "sekato/outputfolders.h"
#include "sekato/scanreport.h"
#include "sekato/sourceclassifier.h"
#include "sekato/sourcepath.h"

namespace sekato::ui {

namespace {

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString PathText(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QWidget* NewPage(const QPalette& palette) {
  auto* page = new QWidget;
  page->setObjectName(IdName(IDD_SEKATO_FORM));
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
  m_comboNumerals = m_f.numerals;
  m_comboEncoding = m_f.encoding;
  m_comboOutEncoding = m_f.outEncoding;

  ConnectControls();
  // Number fields take digits only: a letter or a sign typed there would read as 0.
  for (QLineEdit* number : {m_f.titleMax, m_f.chaptersPerFile, m_f.maxKB, m_f.parts}) {
    number->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), number));
  }
  NameControls();
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
  m_pInspection = std::make_unique<CSourceLook>();
  connect(m_pInspection.get(), &CSourceLook::Finished, this, &CSekatoView::ShowDetection);
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
  connect(m_f.headingRule, &QComboBox::activated, this, &CSekatoView::OnHeadingRule);
  on(m_f.useDetected, &CSekatoView::OnUseDetected);
  connect(m_f.regex, &QLineEdit::textChanged, this, &CSekatoView::CheckRule);
  connect(m_f.splitMode, &QButtonGroup::idToggled, this, &CSekatoView::CheckRule);
}

void CSekatoView::NameControls() {
  // What a screen reader says for each input: its caption, and for the two "…" buttons
  // what they choose.
  const std::pair<QWidget*, QString> names[] = {
      {m_f.srcPath, tr("源文件")},
      {m_f.browseSource, tr("选择源文件")},
      {m_f.newDir, tr("新目录")},
      {m_f.browseFolder, tr("选择保存目录")},
      {m_f.customName, tr("自定义文件名")},
      {m_f.headingRule, tr("章节标题的找法")},
      {m_f.keywords, tr("关键字")},
      {m_f.regex, tr("正则表达式")},
      {m_f.numerals, tr("替换?的自增符")},
      {m_f.titleMax, tr("章节标题大小")},
      {m_f.chaptersPerFile, tr("每个文件放入的章数")},
      {m_f.maxKB, tr("每个文件最大（KB）")},
      {m_f.parts, tr("平均分配的份数")},
      {m_f.head, tr("文件首添加字符")},
      {m_f.tail, tr("文件尾添加字符")},
      {m_f.encoding, tr("源文件编码")},
      {m_f.outEncoding, tr("输出编码")},
      {m_f.progress, tr("分割进度")},
      {m_f.detected, tr("自动识别的结果")},
      {m_f.useDetected, tr("使用自动识别的标题")},
  };
  for (const auto& [control, name] : names) control->setAccessibleName(name);
  m_f.browseSource->setToolTip(tr("选择源文件"));
  m_f.browseFolder->setToolTip(tr("选择保存目录"));
}

QWidget* CSekatoView::GetDlgItem(int nIDC) const { return m_pForm->Item(nIDC); }

void CSekatoView::UpdateData(bool bSaveAndValidate) {
  // The source path is no field to type in: only the chooser sets it.
  using F = CFormTemplate::Fields;
  using V = CSekatoView;
  static constexpr std::pair<QButtonGroup* const F::*, int V::*> kRadios[] = {
      {&F::dirMode, &V::m_nDirMode},
      {&F::splitMode, &V::m_nSplitMode},
      {&F::nameMode, &V::m_nNameMode}};
  static constexpr std::pair<QCheckBox* const F::*, bool V::*> kChecks[] = {
      {&F::addTail, &V::m_bAddTail},
      {&F::addHead, &V::m_bAddHead},
      {&F::noAd, &V::m_bNoAd},
      {&F::trimSpaces, &V::m_bTrimSpaces},
      {&F::keepLines, &V::m_bKeepLines}};
  static constexpr std::pair<QLineEdit* const F::*, QString V::*> kTexts[] = {
      {&F::tail, &V::m_strTail},
      {&F::head, &V::m_strHead},
      {&F::parts, &V::m_strParts},
      {&F::keywords, &V::m_strKeywords},
      {&F::regex, &V::m_strRegex},
      {&F::maxKB, &V::m_strMaxKB},
      {&F::customName, &V::m_strCustomName},
      {&F::newDir, &V::m_strNewDir},
      {&F::titleMax, &V::m_strTitleMax},
      {&F::chaptersPerFile, &V::m_strChaptersPerFile}};
  for (const auto& [field, member] : kRadios) {
    if (bSaveAndValidate)
      this->*member = (m_f.*field)->checkedId();
    else
      SetRadio(m_f.*field, this->*member);
  }
  for (const auto& [field, member] : kChecks) {
    if (bSaveAndValidate)
      this->*member = (m_f.*field)->isChecked();
    else
      (m_f.*field)->setChecked(this->*member);
  }
  for (const auto& [field, member] : kTexts) {
    if (bSaveAndValidate)
      this->*member = (m_f.*field)->text();
    else
      SetText(m_f.*field, this->*member);
  }
  if (bSaveAndValidate) {
    m_nHeadingRule = m_f.headingRule->currentIndex();
  } else {
    m_f.headingRule->setCurrentIndex(m_nHeadingRule);
    OnHeadingRule();
    ShowSourcePath();
  }
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
  // 1. What the form shows before the defaults: no radio selected, everything empty.
  UpdateData(false);

  // 2. The frame shrinks to the form; where it is already smaller, the form scrolls.
  ResizeParentToFit();

  // 3. Help tips over three fields, once the frame has its final size.
  m_pHelpTips->Setup(m_f);

  // 4. Defaults.
  m_nNameMode = 0;
  m_nDirMode = 1;
  m_nSplitMode = 0;
  m_strChaptersPerFile = QStringLiteral("1");
  m_strTitleMax = QStringLiteral("20");
  m_strMaxKB = QStringLiteral("1000");
  m_strParts = QStringLiteral("5");
  m_strKeywords = QStringLiteral("第  章");
  m_f.headingRule->clear();
  m_f.headingRule->addItem(tr("自动识别"));
  m_f.headingRule->addItem(tr("关键字"));
  m_f.headingRule->addItem(tr("正则表达式"));
  // The closed box is as narrow as the label it replaces; the list shows the names whole.
  m_f.headingRule->view()->setMinimumWidth(
      m_f.headingRule->fontMetrics().horizontalAdvance(tr("正则表达式")) +
      m_f.headingRule->fontMetrics().height() * 2);
  m_nHeadingRule = kRuleKeywords;  // what scripts and habits expect: the keywords 第  章

  // 5. The numeral series; none is selected.
  m_comboNumerals->clear();
  m_comboNumerals->addItem(QStringLiteral("1,2,3..."));
  m_comboNumerals->addItem(tr("１,２，３..."));
  m_comboNumerals->addItem(tr("一,二,三..."));
  m_comboNumerals->setCurrentIndex(-1);

  // The encodings, in the engine's order so an index is an Encoding: detect the source and
  // write the pieces in its encoding unless the user says otherwise.
  m_comboEncoding->clear();
  m_comboOutEncoding->clear();
  for (const engine::Encoding encoding : engine::Encodings::kAll) {
    const QString name = QString::fromUtf8(engine::Encodings::DisplayName(encoding));
    m_comboEncoding->addItem(encoding == engine::Encoding::Auto ? tr("自动检测") : name);
    m_comboOutEncoding->addItem(encoding == engine::Encoding::Auto ? tr("同源文件") : name);
  }
  m_comboEncoding->setCurrentIndex(0);
  m_comboOutEncoding->setCurrentIndex(0);

  // 6.
  UpdateData(false);

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

void CSekatoView::SetSourceMembers(const QString& path) {
  const std::string bytes = PathBytes(path);
  const QString previous = m_strSrcPath;
  m_strSrcPath = path;
  m_strSrcTitle = PathText(engine::SourcePath::Title(bytes));
  m_strCustomName = m_strSrcTitle;
  m_strSrcBase = PathText(engine::SourcePath::Base(bytes));
  // The new folder follows another book, so that its pieces do not land beside the last
  // one's, unless the user typed or chose it for this book (or before choosing any).
  const bool chosenForThis =
      m_bNewDirChosen && (m_strNewDirSource.isEmpty() || m_strNewDirSource == path);
  if (path != previous && !m_strNewDir.isEmpty() && !chosenForThis) {
    m_strNewDir = m_strSrcBase;
    m_bNewDirChosen = false;
  } else if (chosenForThis) {
    m_strNewDirSource = path;
  }
  m_pRunControl->SetSourceChosen(!m_strSrcPath.isEmpty());
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
  m_comboEncoding->setItemText(0, text);
}

void CSekatoView::OnBrowseSource() {
  if (m_choosers.chooseSourceFiles) {
    const QStringList paths = m_choosers.chooseSourceFiles(this);
    if (!paths.isEmpty()) ChooseSources(paths);
    return;
  }
  UpdateData(true);
  const QString path = m_choosers.chooseSourceFile ? m_choosers.chooseSourceFile(this) : QString();
  if (!path.isEmpty()) {
    SetSourceMembers(path);
    ShowQueue({});
  }
  UpdateData(false);
  if (!path.isEmpty()) InspectSource();
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
  if (const auto clash = engine::OutputFolders::FindClash(runs)) {
    controls::AppMessageBox::Show(
        this, EngineMessages::Text(
                  engine::Message(engine::MessageId::SharedFolder,
                                  {runs[clash->first].sourcePath, runs[clash->second].sourcePath,
                                   engine::OutputFolders::Of(runs[clash->second])})));
    return;
  }
  if (!ConfirmQueueHeadings(runs, books)) return;
  // Older pieces in any book's folder are asked about once, for the whole queue.
  QStringList concerned;
  std::vector<std::vector<std::string>> older(runs.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    older[i] = engine::OlderPieces::Find(runs[i], 0);
    if (!older[i].empty()) {
      concerned << tr("%1：%n 个旧文件", nullptr, static_cast<int>(older[i].size()))
                       .arg(PathText(engine::OutputFolders::Of(runs[i])));
    }
  }
  if (!concerned.isEmpty()) {
    const QString text = tr("这些目录中已有以前分割留下的文件，新旧文件会混在一起：\n%1")
                             .arg(concerned.join(QLatin1Char('\n')));
    if (controls::AppMessageBox::Ask(this, text, {tr("清空旧文件后继续"), tr("取消")}) != 0) return;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      std::string reason;
      if (!older[i].empty() &&
          !engine::OlderPieces::Remove(engine::OutputFolders::Of(runs[i]), older[i], reason)) {
        controls::AppMessageBox::Show(this, tr("无法删除旧文件：%1").arg(PathText(reason)));
        return;
      }
    }
  }
  m_pRunControl->StartQueue(*m_pQueue, std::move(runs));
}

bool CSekatoView::ConfirmQueueHeadings(std::vector<engine::SplitOptions>& runs,
                                       QStringList& books) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::vector<std::size_t> without = QueueHeadingCheck::BooksWithoutHeadings(runs);
  QApplication::restoreOverrideCursor();
  if (without.empty()) return true;
  QStringList names;
  for (std::size_t i : without) names << QFileInfo(books[static_cast<int>(i)]).fileName();
  const QString text =
      tr("按现在的设置，这些书找不到章节标题，每本都会整本写进一个文件：\n%1")
          .arg(names.join(QLatin1Char('\n')));
  const bool all = without.size() == runs.size();
  const QStringList choices = all ? QStringList{tr("仍然写出"), tr("取消")}
                                  : QStringList{tr("仍然写出"), tr("跳过这些书"), tr("取消")};
  const int chosen = controls::AppMessageBox::Ask(this, text, choices);
  if (chosen == 0) return true;
  if (all || chosen != 1) return false;
  // Skipped books leave the queue; the others keep their order and their rows.
  for (auto it = without.rbegin(); it != without.rend(); ++it) {
    runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(*it));
    books.removeAt(static_cast<int>(*it));
  }
  m_pQueue->SetBooks(books);
  m_pQueueList->setRowCount(0);
  for (int i = 0; i < m_pQueue->Count(); ++i) emit m_pQueue->RowChanged(i);
  return true;
}

void CSekatoView::ChooseSource(const QString& path) {
  UpdateData(true);
  SetSourceMembers(QFileInfo(path).absoluteFilePath());
  ShowQueue({});
  UpdateData(false);
  InspectSource();
}

void CSekatoView::InspectSource() {
  m_pInspection->Start(GetSplitOptions());
  ShowDetection();
}

void CSekatoView::ShowDetection() {
  const CSourceLook::Findings* found = m_pInspection->Found();
  const bool forThis = found != nullptr && found->source == PathBytes(m_strSrcPath);
  const bool detected = forThis && found->detection.detected && found->detection.detection.found;
  QString text;
  if (m_pInspection->IsRunning()) {
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
  UpdateData(true);
  m_nHeadingRule = kRuleRegex;
  m_strRegex = pattern;
  if (m_nSplitMode != 0) {
    m_nSplitMode = 0;
    EnableModeFields(0);
  }
  UpdateData(false);
}

void CSekatoView::OnUseDetected() {
  UpdateData(true);
  m_nHeadingRule = kRuleAuto;
  if (m_nSplitMode != 0) {
    m_nSplitMode = 0;
    EnableModeFields(0);
  }
  UpdateData(false);
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
  UpdateData(true);
  const QString folder = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
  if (!folder.isEmpty()) {
    m_strNewDir = folder;
    m_bNewDirChosen = true;
    m_strNewDirSource = m_strSrcPath;
  }
  UpdateData(false);
}

void CSekatoView::ChooseNewFolder(const QString& folder) {
  UpdateData(true);
  m_strNewDir = folder;
  m_bNewDirChosen = true;
  m_strNewDirSource = m_strSrcPath;
  m_nDirMode = 0;
  UpdateData(false);
  EnableItems({m_f.newDir, m_f.browseFolder}, true);
}

// --- Enabling rules ------------------------------------------------------------------------

void CSekatoView::EnableItems(std::initializer_list<QWidget*> controls, bool bEnable) {
  for (QWidget* control : controls) control->setEnabled(bEnable);
}

void CSekatoView::OnDirNew() {
  EnableItems({m_f.newDir, m_f.browseFolder}, true);
  if (m_strNewDir.isEmpty()) SetText(m_f.newDir, m_strSrcBase);
  UpdateData(true);
}

void CSekatoView::OnDirBesideSource() { EnableItems({m_f.newDir, m_f.browseFolder}, false); }

void CSekatoView::OnNameCustom() { EnableItems({m_f.customName}, true); }

void CSekatoView::OnNameAuto() { EnableItems({m_f.customName}, false); }

void CSekatoView::OnModeChapter() { EnableModeFields(0); }

void CSekatoView::OnModeSize() { OnModeWithoutChapters(1); }

void CSekatoView::OnModeEven() { OnModeWithoutChapters(2); }

void CSekatoView::OnModeWithoutChapters(int nMode) {
  UpdateData(true);
  EnableModeFields(nMode);
  if (m_nNameMode == 2) m_nNameMode = 0;  // names by chapter title need chapters
  UpdateData(false);
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

void CSekatoView::OnAddHead() {
  UpdateData(true);
  EnableItems({m_f.head}, m_bAddHead);
}

void CSekatoView::OnAddTail() {
  UpdateData(true);
  EnableItems({m_f.tail}, m_bAddTail);
}

// --- Start and Stop ------------------------------------------------------------------------

engine::SplitOptions CSekatoView::GetSplitOptions() const {
  engine::SplitOptions options;
  options.sourcePath = PathBytes(m_strSrcPath);
  options.sourceBase = PathBytes(m_strSrcBase);
  options.sourceTitle = PathBytes(m_strSrcTitle);
  options.folder =
      m_nDirMode == 0 ? engine::FolderChoice::NewFolder : engine::FolderChoice::BesideSource;
  options.newFolder = PathBytes(m_strNewDir);
  options.naming = static_cast<engine::PieceNaming>(std::clamp(m_nNameMode, 0, 2));
  options.customName = PathBytes(m_strCustomName);
  // The radio group holds one of the modes, in their order, whenever a run starts.
  options.mode = static_cast<engine::SplitMode>(std::clamp(m_nSplitMode, 0, 2));
  options.titleMax = engine::ParseNumber(m_strTitleMax.toStdString());
  options.chaptersPerPiece = engine::ParseNumber(m_strChaptersPerFile.toStdString());
  options.maxKb = engine::ParseNumber(m_strMaxKB.toStdString());
  options.keepLines = m_bKeepLines;
  options.parts = engine::ParseNumber(m_strParts.toStdString());
  options.trimSpaces = m_bTrimSpaces;
  options.noPromotion = m_bNoAd;
  options.addHead = m_bAddHead;
  options.addTail = m_bAddTail;

  // Book text stays UTF-8: the run writes it in the pieces' encoding, and refuses text that
  // encoding cannot hold, naming the character, before anything is written.
  options.textEncoding = engine::Encoding::Utf8;
  options.keywords = m_strKeywords.toStdString();
  if (m_nHeadingRule == kRuleRegex) options.regex = m_strRegex.toStdString();
  options.autoDetect = m_nHeadingRule == kRuleAuto;
  options.numerals = engine::Numerals::FromIndex(m_comboNumerals->currentIndex());
  options.head = m_strHead.toStdString();
  options.tail = m_strTail.toStdString();
  const auto chosen = [](const QComboBox* combo) {
    const int index = combo->currentIndex();
    return index > 0 && index < static_cast<int>(std::size(engine::Encodings::kAll))
               ? engine::Encodings::kAll[index]
               : engine::Encoding::Auto;
  };
  options.encoding = chosen(m_comboEncoding);
  options.outEncoding = chosen(m_comboOutEncoding);
  return options;
}

std::optional<engine::SplitOptions> CSekatoView::TakeOptionsForRun() {
  if (m_pRunControl->IsBusy() || m_pRunControl->IsClosed()) return {};  // one at a time
  UpdateData(true);
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
  if (!options || (askSource && !ConfirmSource(*options))) return;
  // Another folder chosen is checked in its turn.
  bool headingsChecked = !askSource;  // a list from the preview has its headings
  while (options) {
    prepare(*options);
    if (!headingsChecked) {
      headingsChecked = true;
      switch (ConfirmHeadings(*options)) {
        case HeadingsAnswer::Go:
          break;
        case HeadingsAnswer::Preview:
          OnSplitPreview();
          return;
        case HeadingsAnswer::Cancel:
          return;
      }
    }
    switch (ConfirmFolder(*options)) {
      case FolderAnswer::Go:
        m_pRunControl->Start(std::move(*options));
        return;
      case FolderAnswer::Cancel:
        return;
      case FolderAnswer::Changed:
        options = TakeOptionsForRun();
        break;
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

bool CSekatoView::ConfirmSource(const engine::SplitOptions& options) {
  using Kind = engine::SourceClassifier::Kind;
  if (engine::SourceClassifier::OfFile(options.sourcePath) != Kind::Empty) return true;
  const QString text = tr("源文件“%1”是空的，分割只会建立一个空目录。").arg(m_strSrcPath);
  return controls::AppMessageBox::Ask(this, text, {tr("仍然分割"), tr("取消")}) == 0;
}

CSekatoView::HeadingsAnswer CSekatoView::ConfirmHeadings(const engine::SplitOptions& options) {
  // Only a chapter split by the form's rule needs the look; any other leaves the disk to the
  // split at once.
  if (options.mode != engine::SplitMode::ByChapter || options.toc) {
    if (m_pInspection->IsRunning()) {  // what a finished look found stays on the form
      m_pInspection->Cancel();
      ShowDetection();
    }
    return HeadingsAnswer::Go;
  }
  m_pInspection->Wait();
  const CSourceLook::Findings* found = m_pInspection->Found();
  if (found == nullptr || !CSourceLook::Answers(*found, options)) {
    // The form's rule changed since the source was chosen: look again by the new one.
    m_pInspection->Start(options);
    m_pInspection->Wait();
    found = m_pInspection->Found();
  }
  // A source that cannot be looked at is the split's to refuse, with its reason.
  if (found == nullptr || !CSourceLook::Answers(*found, options)) return HeadingsAnswer::Go;
  const engine::ScanResult& detection = found->detection;
  const bool detected = detection.detected && detection.detection.found;
  QStringList lines;
  QStringList choices;
  if (options.autoDetect) {
    if (detected) return HeadingsAnswer::Go;
    lines << tr("自动识别没有找到成串编号的标题，无法按章节分割。");
    choices << tr("预览章节") << tr("取消");
  } else {
    const engine::ScanResult& byRule = *found->byRule;
    if (byRule.headingCount > 0) return HeadingsAnswer::Go;
    lines << tr("按现在的设置找不到章节标题，全文会写进一个文件。");
    lines << QString::fromStdString(engine::ScanReport::Summary(byRule));
    for (const engine::ScanHint& hint : engine::ScanReport::Hints(byRule)) {
      lines << QString::fromStdString(hint.text);
    }
    if (detected) {
      lines << tr("%1：选择“自动识别”可以按它分割")
                   .arg(QString::fromStdString(engine::ScanReport::Detection(detection)));
    }
    choices << tr("仍然写出") << tr("预览章节") << tr("取消");
  }
  const int chosen = controls::AppMessageBox::Ask(this, lines.join(QLatin1Char('\n')), choices);
  const int preview = static_cast<int>(choices.size()) - 2;
  if (chosen == preview) return HeadingsAnswer::Preview;
  if (chosen == 0 && choices.size() == 3) return HeadingsAnswer::Go;
  return HeadingsAnswer::Cancel;
}

CSekatoView::FolderAnswer CSekatoView::ConfirmFolder(const engine::SplitOptions& options) {
  // How many pieces the split writes is known only afterwards: every piece-like name counts,
  // and clearing one the split would overwrite anyway loses nothing.
  const std::vector<std::string> older = engine::OlderPieces::Find(options, 0);
  if (older.empty()) return FolderAnswer::Go;
  const std::string folder = engine::OutputFolders::Of(options);
  constexpr std::size_t kListed = 10;
  QStringList names;
  for (std::size_t i = 0; i < older.size() && i < kListed; ++i) names << PathText(older[i]);
  if (older.size() > kListed) names << tr("……");
  const QString text = tr("目录“%1”中已有 %n 个以前分割留下的文件。这次分割不一定会覆盖它们，"
                          "新旧文件会混在一起：\n%2",
                          nullptr, static_cast<int>(older.size()))
                           .arg(PathText(folder), names.join(QLatin1Char('\n')));
  const int chosen = controls::AppMessageBox::Ask(
      this, text, {tr("清空旧文件后继续"), tr("换一个文件夹"), tr("取消")});
  if (chosen == 0) {
    std::string reason;
    if (engine::OlderPieces::Remove(folder, older, reason)) return FolderAnswer::Go;
    controls::AppMessageBox::Show(this, tr("无法删除旧文件：%1").arg(PathText(reason)));
    return FolderAnswer::Cancel;
  }
  if (chosen == 1) {
    const QString other = m_choosers.chooseFolder ? m_choosers.chooseFolder(this) : QString();
    if (other.isEmpty()) return FolderAnswer::Cancel;
    ChooseNewFolder(other);
    return FolderAnswer::Changed;
  }
  return FolderAnswer::Cancel;
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
  auto* dialog = new CPreviewDlg(result, this, PathBytes(m_strSrcPath),
                                 engine::ParseNumber(m_strChaptersPerFile.toStdString()));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &CPreviewDlg::HintApplied, this, &CSekatoView::ApplyHint);
  connect(dialog, &CPreviewDlg::SplitByList, this, &CSekatoView::SplitByList);
  connect(dialog, &CPreviewDlg::KeepList, this, &CSekatoView::KeepList);
  connect(dialog, &CPreviewDlg::RuleChosen, this, &CSekatoView::UseRule);
  // The look taken when the source was chosen knows the book's rule and its alternatives.
  if (const CSourceLook::Findings* found = m_pInspection->Found();
      found != nullptr && found->source == PathBytes(m_strSrcPath) && found->detection.detected) {
    dialog->ShowDetection(found->detection.detection);
  }
  dialog->open();
}

void CSekatoView::ApplyHint(const QString& keywords, std::int64_t titleMax) {
  UpdateData(true);
  if (!keywords.isEmpty()) {
    m_strKeywords = keywords;
    m_nHeadingRule = kRuleKeywords;  // a hint is keywords
  }
  if (titleMax > 0) m_strTitleMax = QString::number(titleMax);
  if (m_nSplitMode != 0) {
    m_nSplitMode = 0;
    OnModeChapter();
  }
  UpdateData(false);
}

void CSekatoView::OnSplitStop() { m_pRunControl->Stop(); }

void CSekatoView::StopAndWait() { m_pRunControl->StopAndWait(); }

}  // namespace sekato::ui
