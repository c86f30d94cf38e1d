#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace kestles {

namespace enum_table_detail {

/// Whether `V` is one of its enum's named cases. The compilers spell a named case as
/// "V = Enum::name" and any other value as a cast, "V = (Enum)4"; this is the only place
/// that relies on that spelling, and the tables' own checks fail to compile if it changes.
template <auto V>
consteval bool namesACase() {
  std::string_view signature = __PRETTY_FUNCTION__;
  auto at = signature.find("V = ");
  return at != std::string_view::npos && signature[at + 4] != '(';
}

}  // namespace enum_table_detail

/// The words of a case: the row of the simplest tables.
template <class Enum>
struct EnumWord {
  Enum value;
  std::string_view word;
};

/// An enum's whole vocabulary: one row per case, in case order, each row starting with its
/// case (`value`) and holding that case's words. Everything that reads or writes the enum
/// goes through its table, so a case can't be half added: a table whose rows skip, repeat
/// or reorder a case, or that lacks a row for a case, does not compile.
template <class Row, std::size_t N>
class EnumTable {
 public:
  using Enum = std::remove_cvref_t<decltype(std::declval<Row>().value)>;
  static_assert(std::is_enum_v<Enum>, "a row starts with its case, `value`");
  static_assert(!enum_table_detail::namesACase<static_cast<Enum>(N)>(),
                "every case of the enum needs a row");

  consteval explicit EnumTable(const std::array<Row, N>& rows) : rows_(rows) {
    for (std::size_t i = 0; i < N; ++i) {
      // Not a constant expression, so a row out of case order stops the build here.
      if (rows_[i].value != static_cast<Enum>(i)) throw "rows must list the cases in order";
      cases_[i] = rows_[i].value;
    }
  }

  /// The row of a case.
  constexpr const Row& operator[](Enum value) const {
    return rows_[static_cast<std::size_t>(value)];
  }

  /// Every case, in case order.
  constexpr std::span<const Enum, N> cases() const { return cases_; }

  /// Every row, in case order.
  constexpr std::span<const Row, N> rows() const { return rows_; }

  /// The first case whose `field` equals `key`, or nothing.
  template <class Field, class Key>
  constexpr std::optional<Enum> find(Field Row::*field, const Key& key) const {
    for (const auto& row : rows_)
      if (row.*field == key) return row.value;
    return std::nullopt;
  }

 private:
  std::array<Row, N> rows_;
  std::array<Enum, N> cases_{};
};

template <class Row, std::size_t N>
EnumTable(const std::array<Row, N>&) -> EnumTable<Row, N>;

}  // namespace kestles
