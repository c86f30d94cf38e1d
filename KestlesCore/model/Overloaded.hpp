#pragma once

namespace kestles {

/// One visitor from several lambdas, one per case of a variant: `std::visit(Overloaded{...}, v)`.
template <class... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <class... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

}  // namespace kestles
