#include "KestlesEngine/sim/SimPermissions.hpp"

namespace kestles::sim {

bool SimPermissions::isProcessTrusted(bool prompt) {
  if (prompt && !trusted_) ++trustPrompts_;
  return trusted_;
}

bool SimPermissions::openURL(const std::string& url) {
  openedURLs_.push_back(url);
  return true;
}

}  // namespace kestles::sim
