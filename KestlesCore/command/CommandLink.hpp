#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "KestlesCore/command/KestlesCommand.hpp"
#include "KestlesCore/command/RecordRequest.hpp"

namespace kestles {

/// The scheme of command links.
inline constexpr std::string_view kLinkScheme = "kestles";

/// Escapes every byte outside "A-Za-z0-9-._~" as %XX (upper-case hex), byte by byte in UTF-8.
std::string percentEscaped(std::string_view text);

/// Decodes %XX escapes; nothing when an escape is malformed or the result is not valid UTF-8
/// or holds a NUL.
std::optional<std::string> percentDecoded(std::string_view text);

/// The command link of a command ("kestles://tile?style=spiral").
std::string commandLink(const KestlesCommand& command);

/// Reads a command link back; nothing when the text is not a link to a command this app knows.
/// Never throws, whatever the text.
std::optional<KestlesCommand> decodeCommandLink(std::string_view link);

/// The link of a record request: "kestles://record/palette-recent?action=JSON" or
/// "kestles://record/kestle?kestle=JSON", the value in its stored JSON form.
std::string recordLink(const RecordRequest& request);

/// Reads a record link back; nothing for any other text, or a value that does not decode.
/// Never throws, whatever the text.
std::optional<RecordRequest> decodeRecordLink(std::string_view link);

/// Whether opening the command brings the app forward: only the commands that show the app's
/// own windows do, so that the user's front window stays in front while it is rearranged.
bool activates(const KestlesCommand& command);

}  // namespace kestles
