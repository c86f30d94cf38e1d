#include "KestlesCore/keys/KeyCode.hpp"

#include <array>
#include <string_view>
#include <utility>

#include "KestlesCore/coding/Coding.hpp"

namespace kestles {
namespace {

using Entry = std::pair<int, std::string_view>;

constexpr std::array<Entry, 47> kPrintable{{
    {0, "A"},  {11, "B"}, {8, "C"},   {2, "D"},  {14, "E"}, {3, "F"},  {5, "G"},  {4, "H"},
    {34, "I"}, {38, "J"}, {40, "K"},  {37, "L"}, {46, "M"}, {45, "N"}, {31, "O"}, {35, "P"},
    {12, "Q"}, {15, "R"}, {1, "S"},   {17, "T"}, {32, "U"}, {9, "V"},  {13, "W"}, {7, "X"},
    {16, "Y"}, {6, "Z"},  {18, "1"},  {19, "2"}, {20, "3"}, {21, "4"}, {23, "5"}, {22, "6"},
    {26, "7"}, {28, "8"}, {25, "9"},  {29, "0"}, {24, "="}, {27, "-"}, {33, "["}, {30, "]"},
    {39, "'"}, {41, ";"}, {42, "\\"}, {43, ","}, {44, "/"}, {47, "."}, {50, "`"},
}};

constexpr std::array<Entry, 27> kSpecial{{
    {36, "↩"},  {48, "⇥"},   {49, "Space"}, {51, "⌫"},    {53, "⎋"},    {117, "⌦"},   {76, "⌤"},
    {123, "←"}, {124, "→"},  {125, "↓"},    {126, "↑"},   {115, "↖"},   {119, "↘"},   {116, "⇞"},
    {121, "⇟"}, {122, "F1"}, {120, "F2"},   {99, "F3"},   {118, "F4"},  {96, "F5"},   {97, "F6"},
    {98, "F7"}, {100, "F8"}, {101, "F9"},   {109, "F10"}, {103, "F11"}, {111, "F12"},
}};

template <std::size_t N>
const Entry* find(const std::array<Entry, N>& table, int code) {
  for (const auto& entry : table)
    if (entry.first == code) return &entry;
  return nullptr;
}

}  // namespace

std::string KeyCode::label() const {
  if (const auto* entry = find(kPrintable, rawValue)) return std::string(entry->second);
  if (const auto* entry = find(kSpecial, rawValue)) return std::string(entry->second);
  return "Key " + std::to_string(rawValue);
}

bool KeyCode::isSpecial() const {
  return find(kSpecial, rawValue) != nullptr;
}

void to_json(nlohmann::json& json, const KeyCode& code) {
  json = code.rawValue;
}

void from_json(const nlohmann::json& json, KeyCode& code) {
  code.rawValue = coding::decode<int>(json);
}

}  // namespace kestles
