#include "KestlesCore/coding/JSONStream.hpp"

#include "KestlesCore/coding/Coding.hpp"
#include "KestlesCore/coding/JSONStyle.hpp"
#include "KestlesCore/coding/NumberMasking.hpp"

namespace kestles::json_style {
namespace {

// Documents nested deeper than any real file are refused, so that decoding (which
// recurses) cannot run out of stack on hostile bytes.
constexpr std::size_t kMaxDepth = 256;

// Builds the document like the standard parser, except that the items of streamed
// top-level arrays are built one at a time, handed over and dropped.
class StreamingBuilder {
 public:
  using json = nlohmann::json;
  using Dom = nlohmann::detail::json_sax_dom_parser<json>;

  StreamingBuilder(json& rest, std::span<const std::string_view> streamed,
                   const std::function<void(std::string_view)>& onList,
                   const std::function<void(std::string_view, json&&)>& onItem)
      : rest_(rest, true), streamed_(streamed), onList_(onList), onItem_(onItem) {}

  bool null() {
    return scalar([](Dom& dom) { return dom.null(); }, [] { return json(); });
  }
  bool boolean(bool value) {
    return scalar([&](Dom& dom) { return dom.boolean(value); }, [&] { return json(value); });
  }
  bool number_integer(json::number_integer_t value) {
    return scalar([&](Dom& dom) { return dom.number_integer(value); }, [&] { return json(value); });
  }
  bool number_unsigned(json::number_unsigned_t value) {
    return scalar([&](Dom& dom) { return dom.number_unsigned(value); },
                  [&] { return json(value); });
  }
  bool number_float(json::number_float_t value, const json::string_t& text) {
    return scalar([&](Dom& dom) { return dom.number_float(value, text); },
                  [&] { return json(value); });
  }
  bool string(json::string_t& value) {
    return scalar([&](Dom& dom) { return dom.string(value); },
                  [&] { return json(std::move(value)); });
  }
  bool binary(json::binary_t& value) {
    return scalar([&](Dom& dom) { return dom.binary(value); },
                  [&] { return json::binary(std::move(value)); });
  }
  bool key(json::string_t& value) {
    if (item_) return item_->key(value);
    if (depth() == 1 && isStreamed(value)) {
      onList_(value);
      pendingKey_ = std::move(value);
      return true;
    }
    return rest_.key(value);
  }
  bool start_object(std::size_t size) {
    enter();
    if (startItem()) return item_->start_object(size);
    flushPendingKey();
    return rest_.start_object(size);
  }
  bool start_array(std::size_t size) {
    enter();
    if (startItem()) return item_->start_array(size);
    if (pendingKey_ && depth() == 2) {
      listKey_ = std::move(pendingKey_);
      pendingKey_.reset();
      return true;
    }
    return rest_.start_array(size);
  }
  bool end_object() { return leave(false); }
  bool end_array() { return leave(true); }
  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& error) {
    return rest_.parse_error(position, token, error);
  }

 private:
  std::size_t depth() const { return depth_; }
  bool isStreamed(std::string_view key) const {
    return std::find(streamed_.begin(), streamed_.end(), key) != streamed_.end();
  }
  bool atListLevel() const { return listKey_.has_value() && depth() == 2; }

  void enter() {
    if (++depth_ > kMaxDepth)
      throw coding::DecodeError("the data is nested more than " + std::to_string(kMaxDepth) +
                                " levels deep");
  }

  // Whether the container that just opened belongs to an item, starting one when it opens
  // right inside a streamed list.
  bool startItem() {
    if (item_) return true;
    if (!listKey_ || depth() != 3) return false;
    itemValue_ = json();
    item_.emplace(itemValue_, true);
    return true;
  }

  void flushPendingKey() {
    if (!pendingKey_) return;
    rest_.key(*pendingKey_);
    pendingKey_.reset();
  }

  bool leave(bool array) {
    bool ok = true;
    if (item_) {
      ok = array ? item_->end_array() : item_->end_object();
      if (depth() == 3) {
        item_.reset();
        onItem_(*listKey_, std::move(itemValue_));
      }
    } else if (atListLevel()) {
      listKey_.reset();
    } else {
      ok = array ? rest_.end_array() : rest_.end_object();
    }
    --depth_;
    return ok;
  }

  template <class ToDom, class ToJSON>
  bool scalar(ToDom toDom, ToJSON toJSON) {
    if (item_) return toDom(*item_);
    if (atListLevel()) {
      onItem_(*listKey_, toJSON());
      return true;
    }
    flushPendingKey();
    return toDom(rest_);
  }

  Dom rest_;
  std::span<const std::string_view> streamed_;
  const std::function<void(std::string_view)>& onList_;
  const std::function<void(std::string_view, json&&)>& onItem_;
  std::size_t depth_ = 0;
  std::optional<std::string> pendingKey_;
  std::optional<std::string> listKey_;
  json itemValue_;
  std::optional<Dom> item_;
};

}  // namespace

nlohmann::json parseStreaming(
    std::string_view bytes, std::span<const std::string_view> streamed,
    const std::function<void(std::string_view key)>& onList,
    const std::function<void(std::string_view key, nlohmann::json&& item)>& onItem) {
  auto parseOnce = [&](std::string_view text) {
    nlohmann::json rest;
    StreamingBuilder builder(rest, streamed, onList, onItem);
    nlohmann::json::sax_parse(text, &builder);
    return rest;
  };
  try {
    try {
      return parseOnce(bytes);
    } catch (const nlohmann::json::exception& error) {
      // The parser rethrows its errors as the base type, so the id tells which one it was.
      if (error.id != kNumberOverflow) throw;
      // Every list is started afresh as its key comes round again.
      auto masked = withOverflowingNumbersMasked(bytes);
      return parseOnce(masked);
    }
  } catch (const nlohmann::json::exception& error) {
    throw coding::DecodeError(describe(error));
  }
}

}  // namespace kestles::json_style
