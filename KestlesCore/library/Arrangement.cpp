#include "KestlesCore/library/Arrangement.hpp"

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {

void to_json(nlohmann::json& json, const Arrangement& arrangement) {
  json = {{"screens", arrangement.screens}};
}

void from_json(const nlohmann::json& json, Arrangement& arrangement) {
  coding::requireObject(json, "an arrangement");
  arrangement.screens = coding::lossyList<KestleScreen>(json, "screens");
}

}  // namespace kestles
