#include "kestles/CLIRequest.hpp"

#include "KestlesCore/model/EnumTable.hpp"

namespace kestles::tool {
namespace {

constexpr EnumTable kListings{std::to_array<EnumWord<Listing>>({
    {Listing::all, "all"},
    {Listing::kestles, "kestles"},
    {Listing::layouts, "layouts"},
})};

}  // namespace

std::string_view rawValue(Listing listing) {
  return kListings[listing].word;
}

std::optional<Listing> listingFromRawValue(std::string_view raw) {
  return kListings.find(&EnumWord<Listing>::word, raw);
}

}  // namespace kestles::tool
