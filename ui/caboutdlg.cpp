#include "caboutdlg.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "dialogunits.h"
#include "programversion.h"
#include "siteaddresses.h"

namespace sekato::ui {

namespace {

// The box's controls by what they are for, as the form's are.
const QString kOkName = QStringLiteral("ok");
const QString kLinkName = QStringLiteral("forumLink");

QLabel* AddStatic(QWidget* parent, const DialogUnits& du, const QString& text, const QRect& rc,
                  const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);  // shown as written: no mnemonics, no rich text
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setGeometry(du.Rect(rc.x(), rc.y(), rc.width(), rc.height()));
  return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(tr("关于 sekato"));
  setModal(true);
  setFont(DialogUnits::DialogFont());  // its colours are every dialog's (CSekatoApp)

  CreateControls();
  DoDataExchange();
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::LinkMarkup() {
  return tr("[url=%1]岚溪软件论坛[/url]").arg(QString::fromLatin1(engine::SiteAddresses::kForum));
}

void CAboutDlg::CreateControls() {
  const DialogUnits du(font());
  setFixedSize(du.Size(253, 130));

  // The picture takes its image's own size; without the image the place stays empty.
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("picture"));
  const QPixmap image(QStringLiteral(":/res/about.png"));
  if (image.isNull()) {
    picture->setGeometry(du.Rect(11, 6, 80, 27));
  } else {
    picture->setPixmap(image);
    picture->setGeometry(QRect(QPoint(du.X(11), du.Y(6)), image.size()));
  }

  AddStatic(this, du, QString::fromUtf8(engine::ProgramVersion::kTitle), QRect(142, 24, 93, 12),
            "product");
  AddStatic(this, du, tr("最近更新:") + QLatin1String(engine::ProgramVersion::kReleaseDate),
            QRect(11, 48, 133, 11), "updated");

  auto* rule = new QFrame(this);
  rule->setObjectName(QStringLiteral("rule"));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  rule->setGeometry(du.Rect(11, 103, 230, 1));

  auto* ok = new QPushButton(tr("确定"), this);
  ok->setObjectName(kOkName);
  ok->setDefault(true);
  ok->setGeometry(du.Rect(197, 109, 43, 16));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  ok->setFocus();

  auto* link = new QLabel(LinkMarkup(), this);
  link->setObjectName(kLinkName);
  link->setTextFormat(Qt::PlainText);
  link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  link->setGeometry(du.Rect(11, 111, 64, 12));
}

void CAboutDlg::DoDataExchange() { m_link.Attach(findChild<QLabel*>(kLinkName)); }

}  // namespace sekato::ui
