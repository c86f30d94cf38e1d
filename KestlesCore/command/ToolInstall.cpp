#include "KestlesCore/command/ToolInstall.hpp"

namespace kestles {
namespace {

std::string replacingAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

/// A path as one shell word: as it is when it holds only plain characters, else quoted.
std::string shellWord(const std::string& text) {
  for (char c : text) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '.' || c == '_' || c == '-' || c == '+';
    if (!plain) return ToolInstall::shellQuoted(text);
  }
  return text;
}

}  // namespace

const std::vector<std::string>& ToolInstall::candidates() {
  static const std::vector<std::string> folders{"/usr/local/bin", "/opt/homebrew/bin"};
  return folders;
}

std::vector<std::string> ToolInstall::linuxCandidates(const std::string& home) {
  return {home + "/.local/bin", "/usr/local/bin"};
}

ToolInstall::Plan ToolInstall::plan(const std::string& target, const std::vector<Place>& places,
                                    const std::string& administratorDirectory) {
  for (const auto& place : places)
    if (place.link == target) return {Plan::Installed{place.directory + "/kestles"}};
  for (const auto& place : places)
    if (place.exists && place.isWritable) return {Plan::Link{target, place.directory}};
  return {Plan::LinkAsAdministrator{target, administratorDirectory}};
}

std::string ToolInstall::administratorScript(const std::string& target,
                                             const std::string& directory) {
  auto escaped = replacingAll(replacingAll(target, "\\", "\\\\"), "\"", "\\\"");
  std::string script = "do shell script \"mkdir -p ";
  script.append(directory)
      .append(" && ln -sf \" & quoted form of \"")
      .append(escaped)
      .append("\" & \" ")
      .append(directory)
      .append("/kestles\" with prompt \"Kestles wants to add the kestles command to ")
      .append(directory)
      .append(".\" with administrator privileges");
  return script;
}

std::string ToolInstall::shellQuoted(const std::string& text) {
  std::string quoted = "'";
  return quoted.append(replacingAll(text, "'", "'\\''")).append("'");
}

std::string ToolInstall::terminalCommand(const std::string& target) {
  return linuxTerminalCommand(target, "/usr/local/bin", true);
}

std::string ToolInstall::linuxTerminalCommand(const std::string& target,
                                              const std::string& directory, bool asAdministrator) {
  std::string sudo = asAdministrator ? "sudo " : "";
  std::string command = sudo;
  command.append("mkdir -p ").append(shellWord(directory)).append(" && ").append(sudo);
  command.append("ln -sf ").append(shellQuoted(target)).append(" ");
  return command.append(shellWord(directory + "/kestles"));
}

}  // namespace kestles
