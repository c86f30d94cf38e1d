#include "KestlesApp/AssistantCommand.hpp"

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "KestlesApp/CommandLog.hpp"
#include "KestlesApp/DesktopSession.hpp"
#include "KestlesApp/LibraryFile.hpp"
#include "KestlesApp/RunningAppLink.hpp"
#include "KestlesApp/ServerAssistant.hpp"
#include "KestlesCore/assistant/EmbeddedAssistant.hpp"
#include "KestlesCore/coding/JSONFile.hpp"
#include "KestlesCore/command/CommandLink.hpp"
#include "KestlesCore/library/KestlesPaths.hpp"

namespace kestles::app {
namespace {

constexpr std::string_view kUsage =
    "assistant takes a sentence: kestles-app assistant [--save | --apply] \"Firefox on the left "
    "half and a terminal on the right\"";

struct AssistantOptions {
  bool save = false;
  bool apply = false;
  std::string sentence;
};

std::optional<AssistantOptions> parsed(std::span<const std::string_view> arguments) {
  AssistantOptions options;
  for (auto word : arguments) {
    if (word == "--save") {
      options.save = true;
    } else if (word == "--apply") {
      options.save = options.apply = true;
    } else if (word.starts_with("--")) {
      return std::nullopt;
    } else {
      if (!options.sentence.empty()) options.sentence += ' ';
      options.sentence += word;
    }
  }
  if (options.sentence.find_first_not_of(" \t\n") == std::string::npos) return std::nullopt;
  return options;
}

/// A server the user named, else the embedded model.
std::unique_ptr<AssistantModel> chosenModel() {
  if (auto server = AssistantServer::fromEnvironment())
    return std::make_unique<ServerAssistant>(std::move(*server));
  return std::make_unique<EmbeddedAssistant>();
}

/// Hands the kestle to the running app, the library's only writer, which adds it under a
/// unique name; the kestle as the app adds it (named against the library as it is on disk,
/// which the app keeps written), or nothing after a failure.
std::optional<Kestle> saved(const Kestle& kestle, Library library, std::ostream& err) {
  auto added = library.addKestle(kestle);
  if (auto failure = deliverToRunningApp(recordLink({RecordRequest::AddKestle{kestle}}))) {
    fail(err, *failure);
    return std::nullopt;
  }
  return added;
}

nlohmann::json printed(const AssistantIdea& idea, const Assistant::Result& result, bool save) {
  nlohmann::json json = {{"idea", idea}, {"kestle", result.kestle}, {"unknown", result.unknown}};
  if (save) json["saved"] = true;
  return json;
}

}  // namespace

int runAssistantCommand(std::span<const std::string_view> arguments, std::ostream& out,
                        std::ostream& err) {
  auto options = parsed(arguments);
  if (!options) return fail(err, kUsage);
  auto library = readLibrary(KestlesPaths::library(), err);
  if (!library) return 1;
  if (!library->settings.assistantEnabled)
    return fail(err, "The assistant is turned off in the settings.");
  auto desktop = DesktopSession::open(err, KestlesPaths::learnedSizes());
  if (!desktop) return 1;
  auto world = desktop->world();
  auto situation = Assistant::Situation::of(world.world, world.installedApps);
  auto answer = ask(*chosenModel(), AssistantRequest::about(options->sentence, situation));
  if (auto* trouble = std::get_if<AssistantTrouble>(&answer))
    return fail(err, trouble->message(Date::now()));
  const auto& idea = std::get<AssistantIdea>(answer);
  auto result = Assistant::convert(idea, situation);
  if (options->save) {
    auto added = saved(result.kestle, *library, err);
    if (!added) return 1;
    result.kestle = std::move(*added);
  }
  out << json_style::encode(printed(idea, result, options->save)) << '\n';
  out.flush();
  if (!options->apply) return 0;
  auto link = commandLink(KestlesCommand{KestlesCommand::Kestle{result.kestle.id.uuidString()}});
  if (auto failure = deliverToRunningApp(link)) return fail(err, *failure);
  return 0;
}

}  // namespace kestles::app
