#pragma once

#include <QString>

#include "cformtemplate.h"
#include "sekato/splitoptions.h"

namespace sekato::ui {

/// Reads a split's options from the form's fields as they stand, so that the fields are the
/// only place the form's state lives: nothing is copied out of them before a run starts.
///
/// Number fields read as the command line reads numbers: leading digits count, so "1.5" is 1
/// and an empty field is 0 (which the run then refuses).
class CFormOptions final {
 public:
  /// The chapter row's choices, in the order of its list.
  static constexpr int kRuleAuto = 0;
  static constexpr int kRuleKeywords = 1;
  static constexpr int kRuleRegex = 2;

  explicit CFormOptions(const CFormTemplate::Fields& fields) : m_f(fields) {}

  /// The options for splitting `sourcePath` (a local path) as the form is filled in now.
  /// The source's folder and title follow from the path: "/books/novel.txt" gives the base
  /// "/books/novel" and the title "novel".
  engine::SplitOptions Read(const QString& sourcePath) const;

  /// The chapters per piece the form asks for (the preview groups its list by them).
  std::int64_t ChaptersPerPiece() const;

  /// The folder beside `sourcePath` named after it ("/books/novel"), and its title ("novel").
  static QString SourceBase(const QString& sourcePath);
  static QString SourceTitle(const QString& sourcePath);

 private:
  const CFormTemplate::Fields& m_f;
};

}  // namespace sekato::ui
