#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace kestles::app {

/// `kestles-app assistant [--save | --apply] SENTENCE`: turns the sentence into an idea with
/// the assistant's model (a server named in the environment, else the embedded one) and
/// prints the idea, the kestle made of it and the app names that matched nothing, as JSON.
/// `--save` adds the kestle to the library; `--apply` also has the running app apply it.
/// Returns the exit status; failures print a sentence on `err`.
int runAssistantCommand(std::span<const std::string_view> arguments, std::ostream& out,
                        std::ostream& err);

}  // namespace kestles::app
