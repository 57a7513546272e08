#pragma once
// The program's help file: a UTF-8 text of topics, each with an id, a title, an
// optional book of the contents, keywords for the index and paragraphs that may link
// to other topics. docs/help-format.md describes the format. It stands in for the
// desktop's help engine, whose files the help command opens.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace platform {

struct HelpTopic {
  QString id;
  QString title;
  QString book;  // empty: the topic stands at the top of the contents
  QStringList keywords;
  // Paragraphs as written, lines joined by "\n"; a paragraph is a list (every line
  // starts with "- ") or text (no line does).
  QStringList paragraphs;
};

struct HelpFile {
  QString title;
  std::vector<HelpTopic> topics;

  // The index of the first topic with the id, or -1.
  int TopicIndex(const QString& id) const;
};

// The first line of every help file.
inline constexpr char kHelpFileMagic[] = "VELARIM-HILFE 1";
// Help files are small texts; a bigger file is not one.
inline constexpr qsizetype kMaxHelpFileSize = 4 * 1024 * 1024;

// The help file in `bytes`; nullopt, with a German reason in *error, when it is none.
std::optional<HelpFile> ParseHelpFile(QByteArrayView bytes, QString* error = nullptr);
// Reads and parses a help file; the reason names the file when it cannot be read.
std::optional<HelpFile> LoadHelpFile(const QString& fileName, QString* error = nullptr);

// A topic as HTML: its title, paragraphs and lists, links as "topic:<id>" anchors.
QString TopicHtml(const HelpTopic& topic);

// The topics whose title, keywords or text contain every word of `query` (letter case
// ignored), in file order. An empty query finds nothing.
std::vector<int> SearchTopics(const HelpFile& file, const QString& query);

// Keywords of the index in alphabetical order, each with the topics it leads to.
struct HelpIndexEntry {
  QString keyword;
  std::vector<int> topics;
};
std::vector<HelpIndexEntry> HelpIndex(const HelpFile& file);

}  // namespace platform
