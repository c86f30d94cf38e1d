#include "KestlesCore/keyboard/KeyRoute.hpp"

#include "KestlesCore/model/Hashing.hpp"

namespace kestles {

namespace {
constexpr const char* kThen = ", then ";
}

std::string KeyRoute::description() const {
  if (const auto* direct = std::get_if<Combo>(&value)) return direct->combo.description();
  const auto& arranging = std::get<Arranging>(value);
  return arranging.arrange.description() + kThen + arranging.then.description();
}

}  // namespace kestles

std::size_t std::hash<kestles::KeyRoute>::operator()(
    const kestles::KeyRoute& route) const noexcept {
  std::hash<kestles::KeyCombo> comboHash;
  std::size_t seed = route.value.index();
  if (const auto* direct = std::get_if<kestles::KeyRoute::Combo>(&route.value)) {
    kestles::hashCombine(seed, comboHash(direct->combo));
  } else {
    const auto& arranging = std::get<kestles::KeyRoute::Arranging>(route.value);
    kestles::hashCombine(seed, comboHash(arranging.arrange));
    kestles::hashCombine(seed, comboHash(arranging.then));
  }
  return seed;
}
