#pragma once

#include <QCoreApplication>

#include "cformtemplate.h"

namespace sekato::ui {

/// What the form holds when the program starts, and what a screen reader calls its inputs.
/// The texts are the form's own (translated with the form's).
class CFormDefaults final {
  Q_DECLARE_TR_FUNCTIONS(sekato::ui::CSekatoView)

 public:
  /// Fills the boxes' lists and puts in the defaults: pieces beside the source, named after
  /// it, by chapter with the keywords "第  章" (headings up to 20 characters, 1 chapter a
  /// piece), 1000 KB by size, 5 parts when even, the source's encoding detected and kept,
  /// no numeral series chosen.
  static void Fill(const CFormTemplate::Fields& f);

  /// Gives every input, button and the progress bar a name of its own for screen readers;
  /// the two "…" buttons say what they choose.
  static void NameControls(const CFormTemplate::Fields& f);
};

}  // namespace sekato::ui
