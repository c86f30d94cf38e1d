#pragma once

#include <string>
#include <variant>

namespace kestles {

/// Why something that a user asked for could not be done: one whole sentence for them, with
/// typographic quotes around what they typed. The one failure value of the system wherever a
/// failure reaches a user; `std::optional<Failure>` is "nothing, or the failure" for an
/// operation that gives nothing back.
struct Failure {
  std::string message;
  bool operator==(const Failure&) const = default;
};

/// A value, or the failure that says why there is none.
template <class T>
using Outcome = std::variant<T, Failure>;

/// The failure an outcome holds, or null when it holds its value.
template <class T>
const Failure* failureOf(const Outcome<T>& outcome) {
  return std::get_if<Failure>(&outcome);
}

}  // namespace kestles
