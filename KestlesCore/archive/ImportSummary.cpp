#include "KestlesCore/archive/ImportSummary.hpp"

#include <string_view>
#include <vector>

namespace kestles {
namespace {

std::string counted(int count, std::string_view one, std::string_view many) {
  std::string phrase = std::to_string(count);
  phrase.append(" ").append(count == 1 ? one : many);
  return phrase;
}

// Joins phrases as an English "and" list: "a", "a and b", "a, b and c".
std::string andList(const std::vector<std::string>& phrases) {
  std::string text;
  for (std::size_t i = 0; i < phrases.size(); ++i) {
    if (i > 0) text.append(i + 1 == phrases.size() ? " and " : ", ");
    text.append(phrases[i]);
  }
  return text;
}

}  // namespace

std::string ImportSummary::text() const {
  std::vector<std::string> phrases;
  if (int count = kestlesAdded + kestlesReplaced; count > 0)
    phrases.push_back(counted(count, "kestle", "kestles"));
  if (int count = layoutsAdded + layoutsReplaced; count > 0)
    phrases.push_back(counted(count, "layout", "layouts"));
  if (rules > 0) phrases.push_back(counted(rules, "display rule", "display rules"));
  if (settings) phrases.emplace_back("settings");
  return andList(phrases);
}

}  // namespace kestles
