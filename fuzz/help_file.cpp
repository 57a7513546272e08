// Feeds arbitrary bytes to the help file parser and, for what parses, renders every
// topic, builds the index and searches for words taken from the file.
#include "platform/help_file.h"

#include <cstddef>
#include <cstdint>

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::optional<HelpFile> file = ParseHelpFile(bytes);
  if (!file) return 0;
  for (const HelpTopic& topic : file->topics) TopicHtml(topic);
  HelpIndex(*file);
  const HelpTopic& first = file->topics.front();
  SearchTopics(*file, first.title);
  if (!first.paragraphs.isEmpty()) SearchTopics(*file, first.paragraphs.front().left(40));
  return 0;
}
