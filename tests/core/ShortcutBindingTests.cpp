#include "KestlesCore/keys/ShortcutBinding.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KestlesCore/coding/Lossy.hpp"

namespace kestles {
namespace {

using nlohmann::json;

TEST(ShortcutBinding, Coding) {
  struct Row {
    const char* json;
    std::optional<ShortcutBinding> binding;
  };
  const KeyCombo ctrlLeft{123, KeyModifiers{1}};
  for (const auto& row : std::initializer_list<Row>{
           {R"({"action": "leftHalf", "keys": {"keyCode": 123, "modifiers": 1}})",
            ShortcutBinding{SnapAction::leftHalf, ctrlLeft}},
           {R"({"action": "smaller", "keys": null})", ShortcutBinding{SnapAction::smaller, {}}},
           {R"({"action": "smaller"})", ShortcutBinding{SnapAction::smaller, {}}},
           {R"({"action": "smaller", "keys": {"keyCode": 1}})", std::nullopt},
           {R"({"action": "smaller", "keys": {"keyCode": 1, "modifiers": true}})", std::nullopt},
           {R"({"action": "sideways"})", std::nullopt},
           {R"({"keys": null})", std::nullopt},
       }) {
    auto decoded = Lossy<ShortcutBinding>::decoded(json::parse(row.json)).value;
    EXPECT_EQ(decoded, row.binding) << row.json;
    if (decoded) {
      EXPECT_EQ(json(*decoded).get<ShortcutBinding>(), *decoded) << row.json;
    }
  }
  EXPECT_EQ(json(ShortcutBinding{SnapAction::center, {}}).dump(),
            R"({"action":"center","keys":null})");
  EXPECT_EQ(json(ctrlLeft).dump(), R"({"keyCode":123,"modifiers":1})");
}

}  // namespace
}  // namespace kestles
