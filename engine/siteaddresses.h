#pragma once

namespace sekato::engine {

/// Every web address the program shows or opens, kept together so the project's home can be
/// moved in one place. The domain is a placeholder until the project has a home.
struct SiteAddresses final {
  /// The home page, named in the line at the end of every piece.
  static constexpr const char* kHome = "http://sekato.example.org/";
  /// The forum where users leave feedback (Help menu and the About box's link).
  static constexpr const char* kForum = "http://sekato.example.org/forum/";
  /// This product's page, where new versions are published.
  static constexpr const char* kProduct = "http://sekato.example.org/txtsplitter/";
  /// The index of the maker's software.
  static constexpr const char* kSoftList = "http://sekato.example.org/software/";
};

}  // namespace sekato::engine
