#include "KestlesCore/apply/KestleSetup.hpp"

#include <algorithm>
#include <cctype>

#include "KestlesCore/text/Text.hpp"

namespace kestles {
namespace {

std::vector<std::string> idsOf(const std::string& fingerprint) {
  std::vector<std::string> ids;
  if (fingerprint.empty()) return ids;
  std::size_t start = 0;
  while (true) {
    auto plus = fingerprint.find('+', start);
    ids.push_back(fingerprint.substr(start, plus - start));
    if (plus == std::string::npos) return ids;
    start = plus + 1;
  }
}

/// The names an arrangement keeps for the displays of a fingerprint, built-in first.
std::string savedTitle(const std::string& fingerprint, const Arrangement& arrangement) {
  std::vector<std::string> builtIn, others;
  for (const auto& id : idsOf(fingerprint)) {
    auto screen = std::find_if(arrangement.screens.begin(), arrangement.screens.end(),
                               [&](const auto& s) { return s.display.displayID == id; });
    if (screen == arrangement.screens.end())
      others.push_back(id);
    else
      (screen->display.isBuiltIn ? builtIn : others).push_back(screen->display.name);
  }
  builtIn.insert(builtIn.end(), others.begin(), others.end());
  return text::joined(builtIn, " + ");
}

bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool standardOrderLess(const std::string& a, const std::string& b) {
  auto x = text::folded(a), y = text::folded(b);
  std::size_t i = 0, j = 0;
  while (i < x.size() && j < y.size()) {
    if (isDigit(x[i]) && isDigit(y[j])) {
      auto endI = i, endJ = j;
      while (endI < x.size() && isDigit(x[endI]))
        ++endI;
      while (endJ < y.size() && isDigit(y[endJ]))
        ++endJ;
      auto numberI = x.substr(i, endI - i), numberJ = y.substr(j, endJ - j);
      numberI.erase(0, std::min(numberI.find_first_not_of('0'), numberI.size()));
      numberJ.erase(0, std::min(numberJ.find_first_not_of('0'), numberJ.size()));
      if (numberI.size() != numberJ.size()) return numberI.size() < numberJ.size();
      if (numberI != numberJ) return numberI < numberJ;
      i = endI;
      j = endJ;
      continue;
    }
    if (x[i] != y[j]) return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[j]);
    ++i;
    ++j;
  }
  if (x.size() - i != y.size() - j) return x.size() - i < y.size() - j;
  return a < b;  // equal when folded: a fixed order all the same
}

std::vector<KestleSetup> KestleSetup::list(const Kestle& kestle, const DisplaySetup& current) {
  auto currentFingerprint = current.fingerprint();
  std::vector<std::pair<std::size_t, KestleSetup>> entries;
  for (const auto& [fingerprint, arrangement] : kestle.arrangements) {
    bool isCurrent = fingerprint == currentFingerprint;
    auto title = isCurrent ? current.title() : savedTitle(fingerprint, arrangement);
    entries.push_back({idsOf(fingerprint).size(), {fingerprint, title, isCurrent, true}});
  }
  if (!kestle.arrangements.count(currentFingerprint))
    entries.push_back(
        {current.displays.size(), {currentFingerprint, current.title(), true, false}});
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return standardOrderLess(a.second.title, b.second.title);
  });
  std::vector<KestleSetup> setups;
  for (auto& entry : entries)
    setups.push_back(std::move(entry.second));
  return setups;
}

}  // namespace kestles
