#pragma once

#include <QCursor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "markuplabel.h"
#include "markuppointerhost.h"

class QLabel;

namespace sekato::controls {

/// A static text that shows a little bracket markup: plain text, [color=NAME] runs, CR LF
/// line breaks and [url=…] links that light up under the pointer (hand cursor) and open in
/// the web browser when clicked, turning the visited colour. It draws no background: what
/// lies under the text is the parent's.
///
/// Usually attached in place of an existing QLabel of a dialog (Attach), whose text becomes
/// the markup and whose alignment becomes the label's: horizontally centred or right-aligned
/// text, and vertical centring of the text block.
class CMarkupStatic final : public QWidget, private MarkupPointerHost {
  Q_OBJECT

 public:
  /// Opens a link in the web browser; true when the browser was started.
  using LinkOpener = std::function<bool(const QString& link)>;

  explicit CMarkupStatic(QWidget* parent = nullptr);
  ~CMarkupStatic() override;

  /// Takes the place of `control`: its parent, geometry, object name, font, alignment and
  /// text (the markup); `control` itself is deleted. The markup is parsed at once.
  void Attach(QLabel* control);

  /// Shows new markup. Visited marks and highlights start over. The text attached with stays
  /// what windowText() reports.
  void SetWindowText(const QString& markup);

  /// The text the label was attached with (as a static control keeps its own text).
  QString windowText() const { return m_strWindowText; }

  /// The parsed markup and the pointer state (tests look at it).
  const MarkupLabel& Label() const { return m_label; }

  /// Starts the browser on m_strLink of the label, telling the user when that is not possible
  /// ("提供的超级链接或者制定的文件无法执行 "). Only web addresses (http, https, ftp, mailto)
  /// are handed on: anything else could make the desktop run a local file.
  bool OpenLink();

  /// Replaces how links are opened, for every label (an empty opener restores the desktop's
  /// default browser); returns the previous opener. Tests use it so no browser starts.
  static LinkOpener SetLinkOpener(LinkOpener opener);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void PreSubclassWindow(std::uint32_t style, const QString& text);
  /// Shows `markup` (held as UTF-8) from now on.
  void ParseMarkup(const QString& markup);

  // How the pointer logic reaches the window system.
  void CapturePointer() override;
  void ReleasePointer() override;
  void Invalidate(const MarkupRect& rect) override;
  void InvalidateAll() override;
  void UpdateNow() override;
  bool OpenLink(const std::string& link) override;
  bool ParentIsCaptionlessWindow() const override;
  void StartParentDrag(MarkupPoint p) override;

  MarkupLabel m_label;
  QString m_strWindowText;
  QCursor m_hHandCursor{Qt::PointingHandCursor};
  bool m_bDragging = false;  ///< moving the parent ourselves (no window manager move)
  QPoint m_ptDragOffset;     ///< pointer position relative to the parent's top-left corner
};

}  // namespace sekato::controls
