#include "KestlesEngine/ipc/IpcSession.hpp"

#include <utility>

#include <nlohmann/json.hpp>

namespace kestles::ipc {

using nlohmann::json;

std::vector<CommandResult> parseCommandResults(const std::string& reply) {
  std::vector<CommandResult> results;
  auto parsed = json::parse(reply, nullptr, false);
  if (!parsed.is_array()) return results;
  for (const auto& item : parsed) {
    CommandResult result;
    if (item.is_object()) {
      result.success = item.value("success", false);
      auto error = item.find("error");
      if (error != item.end() && error->is_string()) result.error = error->get<std::string>();
    }
    results.push_back(std::move(result));
  }
  return results;
}

namespace {
constexpr auto kKeptFor = std::chrono::milliseconds(200);
}

std::optional<IpcTree> IpcSession::tree() {
  std::pair<Request, std::string> requests[] = {{Request::getTree, {}},
                                                {Request::getWorkspaces, {}}};
  std::lock_guard guard(mutex_);
  auto now = std::chrono::steady_clock::now();
  if (kept_ && now - keptAt_ < kKeptFor) return kept_;
  auto replies = connection_->exchange(requests);
  if (!replies) return std::nullopt;
  kept_ = parseTree(json::parse((*replies)[0], nullptr, false),
                    json::parse((*replies)[1], nullptr, false));
  if (appNames_) appNames_(*kept_);
  keptAt_ = now;
  return kept_;
}

void IpcSession::setAppNames(AppNames names) {
  std::lock_guard guard(mutex_);
  appNames_ = std::move(names);
  kept_.reset();
}

void IpcSession::invalidate() {
  std::lock_guard guard(mutex_);
  kept_.reset();
}

std::vector<DisplayInfo> IpcSession::displays() {
  std::pair<Request, std::string> requests[] = {{Request::getOutputs, {}},
                                                {Request::getWorkspaces, {}}};
  std::optional<std::vector<std::string>> replies;
  {
    std::lock_guard guard(mutex_);
    replies = connection_->exchange(requests);
  }
  if (!replies) return {};
  return parseDisplays(json::parse((*replies)[0], nullptr, false),
                       json::parse((*replies)[1], nullptr, false));
}

std::optional<std::vector<CommandResult>> IpcSession::run(const std::string& commands) {
  std::optional<std::string> reply;
  {
    std::lock_guard guard(mutex_);
    kept_.reset();
    reply = connection_->request(Request::runCommand, commands);
  }
  if (!reply) return std::nullopt;
  return parseCommandResults(*reply);
}

std::optional<std::string> IpcSession::config() {
  std::optional<std::string> reply;
  {
    std::lock_guard guard(mutex_);
    reply = connection_->request(Request::getConfig);
  }
  if (!reply) return std::nullopt;
  auto parsed = json::parse(*reply, nullptr, false);
  auto text = parsed.is_object() ? parsed.find("config") : parsed.end();
  if (!parsed.is_object() || text == parsed.end() || !text->is_string()) return std::nullopt;
  return text->get<std::string>();
}

bool IpcSession::alive() {
  std::lock_guard guard(mutex_);
  return !connection_->broken();
}

std::uint64_t IpcSession::roundTrips() {
  std::lock_guard guard(mutex_);
  return connection_->roundTrips();
}

}  // namespace kestles::ipc
