#include "KestlesApp/CommandLog.hpp"

#include "KestlesCore/text/Text.hpp"

namespace kestles::app {

int fail(std::ostream& err, std::string_view sentence) {
  // Sentences quote titles, names and paths that other programs chose.
  err << "kestles-app: " << text::escapedControls(sentence, text::Backslash::kept) << '\n';
  return 1;
}

void CommandLog::write(const platform::LogRecord& record) {
  if (record.level >= minimum_) stream_.write(record);
}

}  // namespace kestles::app
